#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "land/land_model.hpp"

namespace bmp2land::landinfo {

inline constexpr bitmap::RgbQuad kExportMarkerColour{255, 0, 255, 0};  // magenta
inline constexpr bitmap::RgbQuad kExportUnusedColour{128, 128, 128, 0};

// The bitmap a level maker would have drawn for `model`: its picture with
// every object position painted in the marker index, colours 1 to 95 from the
// land file, 0 black, 255 the marker colour and the rest grey. Converting it
// gives back the same land file when that file is one bmp2land wrote.
bitmap::BitmapImage toBitmap(const land::LandModel& model);

// That bitmap as the bytes of a file.
std::vector<std::uint8_t> exportBitmap(const land::LandModel& model);
// Any level bitmap as the bytes of a file.
std::vector<std::uint8_t> exportBitmap(const bitmap::BitmapImage& image);

}  // namespace bmp2land::landinfo
