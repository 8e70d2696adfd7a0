#pragma once

// Every message goes out through here, as UTF-8. On a Windows console it is
// written as UTF-16, so a path shows as typed whatever the code page; into a
// pipe or a file the bytes are UTF-8, with "\r\n" line ends on Windows. On
// POSIX the bytes go to the stream unchanged.

#include <string_view>

namespace bmp2land::platform {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);

// printf's formatting, then printOut. The compiler checks the arguments
// against the format; mingw-w64's printf is the C99 one, not msvcrt's.
#if defined(__MINGW32__)
#define BMP2LAND_PRINTF_LIKE [[gnu::format(gnu_printf, 1, 2)]]
#elif defined(__GNUC__)
#define BMP2LAND_PRINTF_LIKE [[gnu::format(printf, 1, 2)]]
#else
#define BMP2LAND_PRINTF_LIKE
#endif
BMP2LAND_PRINTF_LIKE void printOutFormatted(const char* format, ...);

#ifdef _WIN32
enum class StandardStream { Input, Output, Error };
// False when the stream is redirected to a file or a pipe, or there is none.
bool isConsole(StandardStream stream);
#endif

}  // namespace bmp2land::platform
