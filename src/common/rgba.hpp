#pragma once

// One pixel of a picture as colours: red, green, blue and opacity, 8 bits each
// whatever the file stored.

#include <cstdint>

namespace bmp2land {

inline constexpr std::uint8_t kOpaque = 255;

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = kOpaque;

    bool operator==(const Rgba&) const = default;
};

}  // namespace bmp2land
