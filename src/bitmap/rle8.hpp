#pragma once

#include <cstdint>

#include "common/byte_order.hpp"

namespace bmp2land::bitmap {

enum class Rle8Status : std::uint8_t { Ok, Truncated, Corrupt };

// Decodes a BI_RLE8 stream into `picture` (kWidth x kHeight indexes, stored
// row order), which the caller has filled with 0: pixels the stream skips keep
// that value. Stops at end-of-bitmap or once every row has been reached; what
// follows is ignored.
Rle8Status decodeRle8(Bytes stream, MutableBytes picture);

}  // namespace bmp2land::bitmap
