// Interruptions on Windows: Ctrl-C, Ctrl-Break and a console window closed.

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include "platform/interrupt_cleanup.hpp"

namespace bmp2land::platform {
namespace {

HANDLE writer = nullptr;  // the thread that writes the files

BOOL WINAPI onConsoleEvent(DWORD event) {
    const bool armed = std::any_of(interruptSlots.begin(), interruptSlots.end(),
                                   [](const InterruptSlot& slot) { return slot.path != nullptr; });
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) ||
        !armed) {
        return FALSE;  // the system's own handling
    }
    // The handler runs on a thread of its own. The writer is stopped, so that
    // the file can be closed under it and removed; a handle it closed itself
    // meanwhile is closed again in vain, which harms nothing here.
    (void)SuspendThread(writer);
    for (InterruptSlot& slot : interruptSlots) {
        if (void* handle = slot.handle.exchange(nullptr)) {
            (void)CloseHandle(handle);
        }
        if (const NativeChar* path = slot.path.exchange(nullptr)) {
            (void)DeleteFileW(path);
        }
    }
    // The status the system's own handling ends a program with, without the
    // C library's exit code, which could wait for a lock the writer holds.
    (void)TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
    return TRUE;
}

void install() {
    (void)DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &writer,
                          THREAD_SUSPEND_RESUME, FALSE, 0);
    (void)SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace

void installInterruptHandler() {
    static const bool installed = (install(), true);
    (void)installed;
}

void* interruptHandleOf(std::FILE* file) {
    return reinterpret_cast<void*>(_get_osfhandle(_fileno(file)));
}

void removeNativeFile(const NativeChar* path) {
    (void)DeleteFileW(path);
}

}  // namespace bmp2land::platform
