#include "text_reading.hpp"

#include <cstdint>

#include "preview/bitmap_font.hpp"
#include "preview/preview.hpp"

namespace testing_support {

using namespace bmp2land::preview;

std::string readText(const Image& image, const Box& box) {
    constexpr int kStep = font::kAdvance * kTextScale;
    const std::int64_t count =
        (box.width + (font::kAdvance - font::kGlyphWidth) * kTextScale) / kStep;
    std::string text;
    for (std::int64_t i = 0; i < count; ++i) {
        font::Glyph seen{};
        for (int row = 0; row < font::kGlyphHeight; ++row) {
            for (int column = 0; column < font::kGlyphWidth; ++column) {
                const auto x =
                    static_cast<std::uint32_t>(box.left + i * kStep + column * kTextScale);
                const auto y = static_cast<std::uint32_t>(box.top + row * kTextScale);
                if (image.at(x, y) == kTextColour)
                    seen[static_cast<std::size_t>(row)] |=
                        static_cast<std::uint8_t>(1U << (4 - column));
            }
        }
        char found = '\x7f';
        for (char c = ' '; c <= '~'; ++c) {
            if (font::glyph(c) == seen)
                found = c;
        }
        text += found;
    }
    return text;
}

}  // namespace testing_support
