#pragma once

// Between UTF-8, the one encoding of text and paths inside the program, and
// UTF-16, the encoding of Windows' wide API. Windows allows a lone surrogate
// in a file name; it travels as a three-byte sequence of its own, so every
// name Windows hands over converts back to itself.

#include <string>
#include <string_view>

namespace bmp2land::platform {

// Bytes that begin no well-formed sequence become U+FFFD, one per byte.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// The same for Windows' wide strings, whose wchar_t is a UTF-16 unit there.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

}  // namespace bmp2land::platform
