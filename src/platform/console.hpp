#pragma once

// The console: every message goes out through here, as UTF-8. On a Windows
// console it is written as UTF-16, so a path shows as typed whatever the code
// page; into a pipe or a file the bytes are UTF-8, with "\r\n" line ends on
// Windows. On POSIX the bytes go to the stream unchanged.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bmp2land::platform {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);

// A console program started from Explorer (a double click, a bitmap dropped
// on it) gets a console window of its own, which closes the moment the
// program ends. Then, and only then, the program waits for Enter, so that its
// last message can be read. A console the user opened, redirected output and
// input that is not a console (scripts, tests) never wait.
struct ConsoleFacts {
    std::size_t processesOnConsole = 0;  // 0: no console at all
    bool outputIsConsole = false;
    bool inputIsConsole = false;
};

// A console of its own is one that no other process (no cmd.exe, no
// PowerShell) is attached to.
inline bool windowIsOwn(const ConsoleFacts& facts) {
    return facts.processesOnConsole == 1 && facts.outputIsConsole && facts.inputIsConsole;
}

// What follows is Windows' alone (console_windows.cpp).

ConsoleFacts consoleFacts();
// Says "Press Enter to close this window." and reads a line.
void waitForEnter();

// Windows hands the arguments over in UTF-16 (wmain); the program takes them
// as UTF-8, in the form main's argv has.
class CommandLine {
  public:
    CommandLine(int argc, wchar_t** argv);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    std::span<const char* const> arguments() const { return pointers_; }

  private:
    std::vector<std::string> strings_;
    std::vector<const char*> pointers_;
};

}  // namespace bmp2land::platform
