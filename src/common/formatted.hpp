#pragma once

#include <cstdio>
#include <string>

namespace bmp2land {

// printf's formatting, into a string; `format` is always a literal.
template <typename... Args>
std::string formatted(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    (void)std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace bmp2land
