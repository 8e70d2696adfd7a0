#include "platform/utf16.hpp"

#include <array>
#include <cstdint>

namespace bmp2land::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLargest = 0x10FFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kHighSurrogates = 0xD800;
constexpr char32_t kLowSurrogates = 0xDC00;
constexpr char32_t kSurrogateBits = 10;

bool isHighSurrogate(char32_t unit) {
    return unit >= kHighSurrogates && unit < kLowSurrogates;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= kLowSurrogates && unit < kLowSurrogates + (1U << kSurrogateBits);
}

struct Decoded {
    char32_t code;
    std::size_t length;
};

// The length of the sequence that `lead` begins; 0 when it begins none.
std::size_t sequenceLength(std::uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0U) == 0xE0) {
        return 3;
    }
    return (lead & 0xF8U) == 0xF0 ? 4 : 0;
}

// The code point that starts `bytes`; U+FFFD over one byte when none does.
// An overlong form or a value past U+10FFFF is not well-formed.
Decoded decodeOne(std::string_view bytes) {
    constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, kFirstSupplementary};
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
    const std::size_t length = sequenceLength(byte(0));
    if (length == 1) {
        return {byte(0), 1};
    }
    if (length == 0 || bytes.size() < length) {
        return {kReplacement, 1};
    }
    char32_t code = byte(0) & (0x7FU >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0U) != 0x80) {
            return {kReplacement, 1};
        }
        code = (code << 6U) | (byte(k) & 0x3FU);
    }
    if (code < kSmallest[length] || code > kLargest) {
        return {kReplacement, 1};
    }
    return {code, length};
}

void appendUtf8(char32_t code, std::string& out) {
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    const auto tail = [&](unsigned shift) { put(0x80U | ((code >> shift) & 0x3FU)); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0U | (code >> 6U));
        tail(0);
    } else if (code < kFirstSupplementary) {
        put(0xE0U | (code >> 12U));
        tail(6);
        tail(0);
    } else {
        put(0xF0U | (code >> 18U));
        tail(12);
        tail(6);
        tail(0);
    }
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Decoded decoded = decodeOne(utf8);
        utf8.remove_prefix(decoded.length);
        if (decoded.code < kFirstSupplementary) {
            out += static_cast<char16_t>(decoded.code);
        } else {
            const char32_t offset = decoded.code - kFirstSupplementary;
            out += static_cast<char16_t>(kHighSurrogates + (offset >> kSurrogateBits));
            out += static_cast<char16_t>(kLowSurrogates + (offset & 0x3FFU));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (isHighSurrogate(code) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
            code = kFirstSupplementary + ((code - kHighSurrogates) << kSurrogateBits) +
                   (utf16[i + 1] - kLowSurrogates);
            ++i;
        }
        appendUtf8(code, out);
    }
    return out;
}

std::wstring widen(std::string_view utf8) {
    const std::u16string wide = utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

std::string narrow(std::wstring_view wide) {
    return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace bmp2land::platform
