#pragma once

// The object markers, pixels of the marker index: the conversion takes them
// out of the picture as the object positions, and landinfo counts them in a
// bitmap the same way.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

// The picture top row first with every marker (index 255) cleared to 0.
struct MarkedPicture {
    std::vector<std::uint8_t> pixels;
    std::size_t markers = 0;  // all of them, however many
};

// Takes the markers out of a top-down picture of kPixelCount indexes, bottom
// row first and left to right, storing the first positions.size() of them.
MarkedPicture markTopDown(std::vector<std::uint8_t> pixels, std::span<ObjectPosition> positions);

// The same on a bitmap's picture, turned top row first in a copy of it.
MarkedPicture takeMarkers(const bitmap::BitmapImage& image, std::span<ObjectPosition> positions);

}  // namespace bmp2land::land
