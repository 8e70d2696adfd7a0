#include "platform/console.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

#include "platform/console_output.hpp"
#endif

namespace bmp2land::platform {

// A console of its own is one that no other process (no cmd.exe, no
// PowerShell) is attached to.
bool windowIsOwn(const ConsoleFacts& facts) {
    return facts.processesOnConsole == 1 && facts.outputIsConsole && facts.inputIsConsole;
}

#ifdef _WIN32
ConsoleFacts consoleFacts() {
    DWORD processes[2] = {};  // the count comes back whole even when it needs more room
    ConsoleFacts facts;
    facts.processesOnConsole = GetConsoleProcessList(processes, 2);
    facts.outputIsConsole = isConsole(StandardStream::Output);
    facts.inputIsConsole = isConsole(StandardStream::Input);
    return facts;
}

void waitForEnter() {
    printOut("Press Enter to close this window.\n");
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
}
#endif

}  // namespace bmp2land::platform
