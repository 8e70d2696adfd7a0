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

// BI_RLE8 codes one index a byte; BI_RLE4 two a byte, high nibble first.
enum class RleCodes : std::uint8_t { Rle8, Rle4 };

// Decodes a run-length stream into `picture` (columns x rows indexes, one a
// byte, stored row order), which the caller has filled: pixels the stream
// skips keep their value. Stops at end-of-bitmap or once every row has been
// reached; what follows is ignored.
Rle8Result decodeRle(Bytes stream, RleCodes codes, std::size_t columns, std::size_t rows,
                     MutableBytes picture);

// The same for a BI_RLE8 stream of the level's size, kWidth x kHeight.
Rle8Result decodeRle8(Bytes stream, MutableBytes picture);

}  // namespace bmp2land::bitmap
