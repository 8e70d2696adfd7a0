#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

enum class ConversionError : std::uint8_t { WrongObjectCount };

// The picture top row first with every marker (index 255) cleared to 0.
struct MarkedPicture {
    std::vector<std::uint8_t> pixels;
    std::size_t markers = 0;  // all of them, however many
};

// The conversion's scan: takes the markers out of the picture, bottom row
// first and left to right, storing the first positions.size() of them.
MarkedPicture takeMarkers(const bitmap::BitmapImage& image, std::span<ObjectPosition> positions);

// Turns the picture top row first, takes the 30 markers out of it as object
// positions and builds the mask. Fails unless there are exactly 30 markers.
Expected<LandModel, ConversionError> convert(const bitmap::BitmapImage& image);
// The same, reusing the image's picture buffer for the land picture.
Expected<LandModel, ConversionError> convert(bitmap::BitmapImage&& image);

// Sets bit (k mod 8) of mask byte (k div 8) for every non-zero pixel k.
// `mask` holds pixels.size() / 8 bytes.
void buildMask(Bytes pixels, MutableBytes mask);

}  // namespace bmp2land::land
