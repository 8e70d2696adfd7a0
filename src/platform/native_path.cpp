#include "platform/native_path.hpp"

#ifdef _WIN32
#include "platform/utf16.hpp"
#endif

namespace bmp2land::platform {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring widen(std::string_view utf8) {
    const std::u16string wide = utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

std::string narrow(std::wstring_view wide) {
    return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::filesystem::path nativePath(const std::string& utf8) {
    return {widen(utf8)};
}

std::string utf8Path(const std::filesystem::path& path) {
    return narrow(path.native());
}
#else
std::filesystem::path nativePath(const std::string& utf8) {
    return {utf8};
}

std::string utf8Path(const std::filesystem::path& path) {
    return path.string();
}
#endif

}  // namespace bmp2land::platform
