#pragma once

// Land that keeps its entry but has no colour: pixels of entries 96 to 254.
// The land file stores the colours of entries 1 to 95 only, so such pixels
// convert without a word, yet they are not what the level maker saw: often a
// sky that a paint program turned into a grey when it removed transparency,
// or a grey picked by hand.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/byte_order.hpp"

namespace bmp2land::landinfo {

inline constexpr std::size_t kShownPlaces = 3;

// x and y from the top-left corner, as in the land file.
struct PixelPlace {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
};

struct UncolouredLand {
    std::size_t pixels = 0;
    std::array<bool, 256> entries{};  // those the pixels use
    PixelPlace topLeft{};             // the box around the pixels, both corners in it
    PixelPlace bottomRight{};
    std::vector<PixelPlace> first;  // top row first, left to right; at most kShownPlaces
};

// `picture` holds a whole land picture of palette indexes, top row first.
UncolouredLand findUncolouredLand(Bytes picture);

}  // namespace bmp2land::landinfo
