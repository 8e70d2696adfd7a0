#pragma once

// Paths travel through the program as UTF-8 strings. This is where one
// becomes the system's own form: unchanged on POSIX, UTF-16 on Windows, whose
// narrow file calls would take the ANSI code page and lose every character
// outside it. Every file name goes through here, so the name a file is
// created under is the name it is renamed or removed by.

#include <filesystem>
#include <string>
#include <string_view>

namespace bmp2land::platform {

std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

#ifdef _WIN32
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);
#endif

}  // namespace bmp2land::platform
