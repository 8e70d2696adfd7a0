#pragma once

#include "bitmap/bitmap_image.hpp"
#include "common/byte_sink.hpp"

namespace bmp2land::bitmap {

// Writes `image` as a bitmap with a 40-byte info header, its 256-entry
// palette and its pixels, in that order. The headers are written as they are
// given.
[[nodiscard]] bool writeBitmap(const BitmapImage& image, ByteSink& out);

// The headers of a plain 1920 x 696 8-bit bitmap with a full palette.
BitmapHeaders plainHeaders();

}  // namespace bmp2land::bitmap
