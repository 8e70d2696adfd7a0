#pragma once

#include <cstddef>
#include <cstdint>

#include "common/byte_order.hpp"

namespace bmp2land::bitmap {

enum class Rle8Status : std::uint8_t { Ok, Truncated, Corrupt };

// How decoding ended, and where: on failure, the code that failed starts at
// `codeOffset` in the stream, with the picture reached up to `row`, `column`.
struct Rle8Result {
    Rle8Status status = Rle8Status::Ok;
    std::size_t codeOffset = 0;
    std::uint32_t row = 0;  // stored row, 0 = first in the stream
    std::uint32_t column = 0;
};

// Decodes a BI_RLE8 stream into `picture` (kWidth x kHeight indexes, stored
// row order), which the caller has filled with 0: pixels the stream skips keep
// that value. Stops at end-of-bitmap or once every row has been reached; what
// follows is ignored.
Rle8Result decodeRle8(Bytes stream, MutableBytes picture);

}  // namespace bmp2land::bitmap
