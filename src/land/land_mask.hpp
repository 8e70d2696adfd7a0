#pragma once

#include "common/byte_order.hpp"

namespace bmp2land::land {

// The land file's mask of a picture, which the conversion writes and landinfo
// compares a land file's masks with: sets bit (k mod 8) of mask byte (k div 8)
// for every non-zero pixel k. `mask` holds pixels.size() / 8 bytes.
void buildMask(Bytes pixels, MutableBytes mask);

}  // namespace bmp2land::land
