#pragma once

// Every message goes out through here, as UTF-8. On a Windows console it is
// written as UTF-16, so a path shows as typed whatever the code page; into a
// pipe or a file the bytes are UTF-8, with "\r\n" line ends on Windows. On
// POSIX the bytes go to the stream unchanged.

#include <string_view>

namespace bmp2land::platform {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);

#ifdef _WIN32
enum class StandardStream { Input, Output, Error };
// False when the stream is redirected to a file or a pipe, or there is none.
bool isConsole(StandardStream stream);
#endif

}  // namespace bmp2land::platform
