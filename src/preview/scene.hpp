#pragma once

// What a preview shows: a level's picture, its colours and objects, and what is
// wrong with it. Plain data, filled from a land file, a level bitmap or a
// drawing by whoever reads those; the renderer knows none of them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmp2land::preview {

inline constexpr std::uint32_t kWidth = 1920;
inline constexpr std::uint32_t kHeight = 696;
inline constexpr std::size_t kPixelCount = std::size_t{kWidth} * kHeight;
inline constexpr std::size_t kLandColours = 95;  // entries 1 to 95; 0 is sky

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Counted from the top-left corner, as the land file counts.
struct Point {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Scene {
    // The level's palette indexes, top row first, with the object markers
    // already taken out (as the land file holds them). 0 is sky, 1 to 95 land
    // in `colours`, 96 to 254 land whose colour is not stored, and 255 the
    // objects' own index: such a pixel left in a land file's picture becomes
    // an object when the level is converted again. Shorter
    // than kPixelCount when only the start of the picture could be read, empty
    // when none of it could; the rest is drawn as unknown.
    std::vector<std::uint8_t> picture;
    // colours[i] is entry i + 1's colour.
    std::array<Rgb, kLandColours> colours{};
    // In the land file's order (for a bitmap, the conversion's); numbered from
    // 1 in that order. Any number of them, anywhere, several at one place.
    std::vector<Point> objects;
    // One byte a pixel, top row first, non-zero where a mask disagrees with
    // the picture; empty (or shorter) where they agree.
    std::vector<std::uint8_t> maskDisagrees;
    // A bitmap that does not convert: the verdict, as one line of text.
    std::string verdict;
    // A damaged file: what could not be read, as one line of text.
    std::string unreadable;
    // What else is wrong that the picture can't point at (a level without
    // sky, spots of magenta kept as land), a line of text each.
    std::vector<std::string> notes;
};

}  // namespace bmp2land::preview
