#include "platform/interrupt_cleanup.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include "platform/native_path.hpp"

namespace bmp2land::platform {
namespace {

// The handler reads these with nothing but lock-free atomic loads: it may run
// in the middle of any other code of the program.
using NativeChar = std::filesystem::path::value_type;
struct Slot {
    std::atomic<const NativeChar*> path{nullptr};
    std::atomic<void*> handle{nullptr};  // Windows only
};
static_assert(std::atomic<const NativeChar*>::is_always_lock_free);
static_assert(std::atomic<void*>::is_always_lock_free);

// One file is written at a time; a few more leave room for tests.
std::array<Slot, 4> slots;

#ifdef _WIN32
HANDLE writer = nullptr;  // the thread that writes the files

BOOL WINAPI onConsoleEvent(DWORD event) {
    const bool armed = std::any_of(slots.begin(), slots.end(),
                                   [](const Slot& slot) { return slot.path != nullptr; });
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) ||
        !armed) {
        return FALSE;  // the system's own handling
    }
    // The handler runs on a thread of its own. The writer is stopped, so that
    // the file can be closed under it and removed; a handle it closed itself
    // meanwhile is closed again in vain, which harms nothing here.
    (void)SuspendThread(writer);
    for (Slot& slot : slots) {
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
#else
// Every signal whose default action ends the process and that a user, a
// shell or a script sends to stop one: Ctrl-C, Ctrl-backslash, kill, a closed
// terminal, a closed pipe, a timer, the user signals.
constexpr std::array<int, 8> kInterruptions = {SIGINT,  SIGQUIT, SIGTERM, SIGHUP,
                                               SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2};

// Only async-signal-safe calls: unlink, sigaction, raise. The signal comes
// again once the handler returns, now with its default action.
void onInterruption(int signal) {
    for (Slot& slot : slots) {
        if (const NativeChar* path = slot.path.exchange(nullptr)) {
            (void)::unlink(path);
        }
    }
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    (void)::sigaction(signal, &byDefault, nullptr);
    (void)::raise(signal);
}

void install() {
    // A file-size limit then makes the write fail with EFBIG, which the
    // program reports, instead of killing it with its output unprinted.
    (void)::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onInterruption;
    (void)::sigemptyset(&action.sa_mask);
    for (const int signal : kInterruptions) {
        (void)::sigaddset(&action.sa_mask, signal);
    }
    for (const int signal : kInterruptions) {
        // An interruption the program was started to ignore (nohup) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && (previous.sa_flags & SA_SIGINFO) == 0 &&
            previous.sa_handler == SIG_DFL) {
            (void)::sigaction(signal, &action, nullptr);
        }
    }
}
#endif

}  // namespace

RemovalOnInterrupt::RemovalOnInterrupt(const std::string& path) {
    static const bool installed = (install(), true);
    (void)installed;
    const std::filesystem::path::string_type native = nativePath(path).native();
    path_ = std::make_unique<NativeChar[]>(native.size() + 1);
    std::copy(native.c_str(), native.c_str() + native.size() + 1, path_.get());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const NativeChar* empty = nullptr;
        if (slots[i].path.compare_exchange_strong(empty, path_.get())) {
            slot_ = static_cast<int>(i);
            return;
        }
    }
}

RemovalOnInterrupt::RemovalOnInterrupt(RemovalOnInterrupt&& other) noexcept
    : slot_(other.slot_), path_(std::move(other.path_)) {
    other.slot_ = -1;
}

void RemovalOnInterrupt::watch(std::FILE* file) const {
    if (slot_ < 0) {
        return;
    }
#ifdef _WIN32
    slots[static_cast<std::size_t>(slot_)].handle =
        reinterpret_cast<void*>(_get_osfhandle(_fileno(file)));
#else
    (void)file;  // POSIX removes an open file as well as a closed one
#endif
}

void RemovalOnInterrupt::disarm() {
    if (slot_ >= 0) {
        Slot& slot = slots[static_cast<std::size_t>(slot_)];
        slot.handle = nullptr;
        slot.path = nullptr;
        slot_ = -1;
    }
}

}  // namespace bmp2land::platform
