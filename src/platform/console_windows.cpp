#include "platform/console_output.hpp"

#include <cstdio>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/native_path.hpp"
#endif

namespace bmp2land::platform {
namespace {

// Nowhere is left to report a failed write to, so none is looked at.
void writeBytes(std::string_view utf8, std::FILE* stream) {
    (void)std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

#ifdef _WIN32
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

void print(std::string_view utf8, std::FILE* stream, StandardStream which) {
    if (!isConsole(which)) {
        writeBytes(utf8, stream);
        return;
    }
    (void)std::fflush(stream);  // whatever the C library still holds comes first
    const std::wstring text = consoleText(utf8);
    DWORD written = 0;
    (void)WriteConsoleW(handleOf(which), text.data(), static_cast<DWORD>(text.size()), &written,
                        nullptr);
}
#endif

}  // namespace

#ifdef _WIN32
bool isConsole(StandardStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(handleOf(stream), &mode) != 0;
}

void printOut(std::string_view utf8) {
    print(utf8, stdout, StandardStream::Output);
}

void printErr(std::string_view utf8) {
    print(utf8, stderr, StandardStream::Error);
}
#else
void printOut(std::string_view utf8) {
    writeBytes(utf8, stdout);
}

void printErr(std::string_view utf8) {
    writeBytes(utf8, stderr);
}
#endif

}  // namespace bmp2land::platform
