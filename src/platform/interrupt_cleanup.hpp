#pragma once

// Removing a file that is being written when the program is interrupted. The
// handler is each system's own (interrupt_cleanup_posix.cpp,
// interrupt_cleanup_windows.cpp); what it removes is kept here.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/files.hpp"

namespace bmp2land::platform {

using NativeChar = std::filesystem::path::value_type;

// A file to remove. The handler reads the slots with nothing but lock-free
// atomic loads: it may run in the middle of any other code of the program.
struct InterruptSlot {
    std::atomic<const NativeChar*> path{nullptr};
    std::atomic<void*> handle{nullptr};  // Windows: closed before the file is removed
};
static_assert(std::atomic<const NativeChar*>::is_always_lock_free);
static_assert(std::atomic<void*>::is_always_lock_free);

// One file is written at a time; a few more leave room for tests.
inline std::array<InterruptSlot, 4> interruptSlots;

// Installs the handler the first time it is called. From then on a file-size
// limit makes a write fail instead of killing the program (SIGXFSZ is
// ignored).
void installInterruptHandler();
// The handle the Windows handler closes; none on POSIX, which removes an open
// file as well as a closed one.
void* interruptHandleOf(std::FILE* file);
// Removes the file at `path`, in the system's own form, allocating nothing.
void removeNativeFile(const NativeChar* path);

// While one of these is armed, an interruption (Ctrl-C, SIGTERM, SIGHUP, a
// console window closed) first removes the file at its path and then ends
// the program as that interruption would have.
class RemovalOnInterrupt {
  public:
    RemovalOnInterrupt() = default;
    RemovalOnInterrupt(const RemovalOnInterrupt&) = delete;
    RemovalOnInterrupt& operator=(const RemovalOnInterrupt&) = delete;
    ~RemovalOnInterrupt() { disarm(); }

    // Armed for `path` from now on, whether or not the file exists yet, so
    // that no moment after its creation leaves it behind. It allocates, so
    // it comes before the file is made.
    void arm(const std::string& path) {
        disarm();
        installInterruptHandler();
        // In the system's own form (UTF-16 on Windows), prepared here: the
        // handler can't allocate.
        const std::filesystem::path::string_type native = nativePath(path).native();
        path_ = std::make_unique<NativeChar[]>(native.size() + 1);
        std::copy(native.c_str(), native.c_str() + native.size() + 1, path_.get());
        for (std::size_t i = 0; i < interruptSlots.size(); ++i) {
            const NativeChar* empty = nullptr;
            if (interruptSlots[i].path.compare_exchange_strong(empty, path_.get())) {
                slot_ = static_cast<int>(i);
                return;
            }
        }
    }

    // The file open at the path: Windows can't remove an open file, so an
    // interruption there closes it first.
    void watch(std::FILE* file) const {
        if (slot_ >= 0) {
            interruptSlots[static_cast<std::size_t>(slot_)].handle = interruptHandleOf(file);
        }
    }

    // Removes the file now, once it is closed, and disarms. Nothing is
    // allocated: what failed may have been an allocation.
    void removeNow() {
        if (path_) {
            removeNativeFile(path_.get());
        }
        disarm();
    }

    void disarm() {
        if (slot_ >= 0) {
            InterruptSlot& slot = interruptSlots[static_cast<std::size_t>(slot_)];
            slot.handle = nullptr;
            slot.path = nullptr;
            slot_ = -1;
        }
        path_.reset();
    }

  private:
    int slot_ = -1;
    std::unique_ptr<NativeChar[]> path_;
};

}  // namespace bmp2land::platform
