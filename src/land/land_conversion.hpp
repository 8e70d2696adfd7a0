#pragma once

#include <cstdint>

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

enum class ConversionError : std::uint8_t { WrongObjectCount };

// Turns the picture top row first, takes the 30 markers out of it as object
// positions and builds the mask. Fails unless there are exactly 30 markers.
Expected<LandModel, ConversionError> convert(const bitmap::BitmapImage& image);

// Sets bit (k mod 8) of mask byte (k div 8) for every non-zero pixel k.
// `mask` holds pixels.size() / 8 bytes.
void buildMask(Bytes pixels, MutableBytes mask);

}  // namespace bmp2land::land
