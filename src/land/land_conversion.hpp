#pragma once

#include <cstdint>

#include "bitmap/bitmap_image.hpp"
#include "common/expected.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

enum class ConversionError : std::uint8_t { WrongObjectCount };

// Turns the picture top row first, takes the 30 markers out of it as object
// positions and builds the mask. Fails unless there are exactly 30 markers.
Expected<LandModel, ConversionError> convert(const bitmap::BitmapImage& image);
// The same, reusing the image's picture buffer for the land picture.
Expected<LandModel, ConversionError> convert(bitmap::BitmapImage&& image);

}  // namespace bmp2land::land
