#pragma once

// The converted level: everything the land file needs from the bitmap.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bitmap/bitmap_image.hpp"

namespace bmp2land::land {

inline constexpr std::uint32_t kWidth = bitmap::kWidth;
inline constexpr std::uint32_t kHeight = bitmap::kHeight;
inline constexpr std::uint32_t kPixelCount = kWidth * kHeight;  // 1336320
inline constexpr std::uint32_t kMaskLength = kPixelCount / 8;   // 167040
inline constexpr std::size_t kColourCount = 95;                 // palette entries 1 to 95
inline constexpr std::size_t kObjectCount = 30;
inline constexpr std::uint8_t kMarkerIndex = 255;
inline constexpr std::uint8_t kClearedMarkerIndex = 0;

struct RgbTriplet {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ObjectPosition {
    std::uint32_t x = 0;  // column from the left edge
    std::uint32_t y = 0;  // row from the top edge
};

struct LandModel {
    std::uint32_t width = kWidth;
    std::uint32_t height = kHeight;
    std::uint8_t bitsPerPixel = 8;
    std::array<RgbTriplet, kColourCount> colours{};
    std::uint32_t pixelCount = kPixelCount;
    std::vector<std::uint8_t> pixels;  // top row first
    std::array<ObjectPosition, kObjectCount> positions{};
    std::uint32_t maskLength = kMaskLength;
    std::vector<std::uint8_t> mask;  // bit (k mod 8) of byte (k div 8) set when pixel k != 0
};

}  // namespace bmp2land::land
