#pragma once

// A small built-in font for the preview's numbers, legend and messages: five
// by eight pixels a character, printable ASCII, kept as data here so that no
// font file is needed.

#include <array>
#include <cstdint>
#include <string_view>

#include "preview/image.hpp"

namespace bmp2land::preview::font {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 8;
inline constexpr int kAdvance = 6;  // a column of space between characters

// Rows top first; bit 4 of a row is its leftmost pixel.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// Anything but printable ASCII has the glyph of '?'.
const Glyph& glyph(char c);

// Each glyph pixel is drawn as a `scale` x `scale` square.
std::int64_t textWidth(std::string_view text, int scale);
inline std::int64_t textHeight(int scale) {
    return std::int64_t{kGlyphHeight} * scale;
}
void drawText(Image& image, std::int64_t left, std::int64_t top, std::string_view text, int scale,
              Rgb colour);

}  // namespace bmp2land::preview::font
