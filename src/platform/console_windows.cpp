// The console on Windows: UTF-16 to a console, the window Explorer opens, and
// the command line in UTF-16.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/console.hpp"
#include "platform/utf16.hpp"

namespace bmp2land::platform {
namespace {

enum class StandardStream { Input, Output, Error };

HANDLE handleOf(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::Output:
            return GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::Error:
            break;
    }
    return GetStdHandle(STD_ERROR_HANDLE);
}

// False when the stream is redirected to a file or a pipe, or there is none.
bool isConsole(StandardStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(handleOf(stream), &mode) != 0;
}

// The console gets the line ends that the C library's text mode writes.
std::wstring consoleText(std::string_view utf8) {
    std::string lines;
    lines.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        if (c == '\n') {
            lines += '\r';
        }
        lines += c;
    }
    return widen(lines);
}

// Nowhere is left to report a failed write to, so none is looked at.
void print(std::string_view utf8, std::FILE* stream, StandardStream which) {
    if (!isConsole(which)) {
        (void)std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    (void)std::fflush(stream);  // whatever the C library still holds comes first
    const std::wstring text = consoleText(utf8);
    DWORD written = 0;
    (void)WriteConsoleW(handleOf(which), text.data(), static_cast<DWORD>(text.size()), &written,
                        nullptr);
}

}  // namespace

void printOut(std::string_view utf8) {
    print(utf8, stdout, StandardStream::Output);
}

void printErr(std::string_view utf8) {
    print(utf8, stderr, StandardStream::Error);
}

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

CommandLine::CommandLine(int argc, wchar_t** argv) {
    const std::span<wchar_t* const> wide(argv, static_cast<std::size_t>(argc));
    std::transform(wide.begin(), wide.end(), std::back_inserter(strings_),
                   [](const wchar_t* argument) { return narrow(argument); });
    std::transform(strings_.begin(), strings_.end(), std::back_inserter(pointers_),
                   [](const std::string& argument) { return argument.c_str(); });
}

}  // namespace bmp2land::platform
