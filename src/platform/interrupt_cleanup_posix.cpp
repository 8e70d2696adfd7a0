// Interruptions on POSIX systems: the signals that stop a program.

#include <signal.h>
#include <unistd.h>

#include "platform/interrupt_cleanup.hpp"

namespace bmp2land::platform {
namespace {

// Every signal whose default action ends the process and that a user, a
// shell or a script sends to stop one: Ctrl-C, Ctrl-backslash, kill, a closed
// terminal, a closed pipe, a timer, the user signals.
constexpr std::array<int, 8> kInterruptions = {SIGINT,  SIGQUIT, SIGTERM, SIGHUP,
                                               SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2};

// Only async-signal-safe calls: unlink, sigaction, raise. The signal comes
// again once the handler returns, now with its default action.
void onInterruption(int signal) {
    for (InterruptSlot& slot : interruptSlots) {
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

}  // namespace

void installInterruptHandler() {
    static const bool installed = (install(), true);
    (void)installed;
}

void* interruptHandleOf(std::FILE* /*file*/) {
    return nullptr;
}

void removeNativeFile(const NativeChar* path) {
    (void)::unlink(path);
}

}  // namespace bmp2land::platform
