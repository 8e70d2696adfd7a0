#include "bitmap/rle8.hpp"

#include <algorithm>
#include <cstddef>

#include "bitmap/bitmap_image.hpp"

namespace bmp2land::bitmap {
namespace {

constexpr std::uint8_t kEscape = 0;
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

// A literal of `count` indexes is stored padded to an even number of bytes.
std::size_t literalBytes(RleCodes codes, std::size_t count) {
    const std::size_t bytes = codes == RleCodes::Rle8 ? count : (count + 1) / 2;
    return bytes + (bytes & 1U);
}

// Index `i` of an RLE4 run or literal: the high nibble first.
std::uint8_t nibble(std::uint8_t packed, std::size_t i) {
    return static_cast<std::uint8_t>((i & 1U) == 0 ? packed >> 4 : packed & 0x0FU);
}

}  // namespace

Rle8Result decodeRle(Bytes stream, RleCodes codes, std::size_t columns, std::size_t rows,
                     MutableBytes picture) {
    std::size_t at = 0;
    std::size_t row = 0;
    std::size_t column = 0;
    std::size_t code = 0;  // where the code being decoded starts
    const auto available = [&](std::size_t count) { return stream.size() - at >= count; };
    // row and column never pass rows and columns, so they fit.
    const auto stop = [&](Rle8Status status) {
        return Rle8Result{status, code, static_cast<std::uint32_t>(row),
                          static_cast<std::uint32_t>(column)};
    };

    while (row < rows) {
        code = at;
        if (!available(2)) {
            return stop(Rle8Status::Truncated);
        }
        const std::size_t count = stream[at];
        const std::uint8_t second = stream[at + 1];
        at += 2;

        if (count != kEscape) {  // a run of `count` pixels of index `second`
            if (column + count > columns) {
                return stop(Rle8Status::Corrupt);
            }
            const auto out = picture.begin() + static_cast<std::ptrdiff_t>(row * columns + column);
            if (codes == RleCodes::Rle8) {
                std::fill_n(out, count, second);
            } else {
                for (std::size_t i = 0; i < count; ++i)
                    out[static_cast<std::ptrdiff_t>(i)] = nibble(second, i);
            }
            column += count;
        } else if (second == kEndOfLine) {
            ++row;
            column = 0;
        } else if (second == kEndOfBitmap) {
            return stop(Rle8Status::Ok);
        } else if (second == kDelta) {
            if (!available(2)) {
                return stop(Rle8Status::Truncated);
            }
            const std::size_t newColumn = column + stream[at];
            const std::size_t newRow = row + stream[at + 1];
            at += 2;
            if (newColumn > columns || newRow > rows || (newRow == rows && newColumn != 0)) {
                return stop(Rle8Status::Corrupt);
            }
            row = newRow;
            column = newColumn;
        } else {  // `second` literal indexes, padded to an even length
            const std::size_t literal = second;
            const std::size_t stored = literalBytes(codes, literal);
            if (column + literal > columns) {
                return stop(Rle8Status::Corrupt);
            }
            if (!available(stored)) {
                return stop(Rle8Status::Truncated);
            }
            const auto out = picture.begin() + static_cast<std::ptrdiff_t>(row * columns + column);
            if (codes == RleCodes::Rle8) {
                std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(at), literal, out);
            } else {
                for (std::size_t i = 0; i < literal; ++i)
                    out[static_cast<std::ptrdiff_t>(i)] = nibble(stream[at + i / 2], i);
            }
            column += literal;
            at += stored;
        }
    }
    return stop(Rle8Status::Ok);
}

Rle8Result decodeRle8(Bytes stream, MutableBytes picture) {
    return decodeRle(stream, RleCodes::Rle8, static_cast<std::size_t>(kWidth),
                     static_cast<std::size_t>(kHeight), picture);
}

}  // namespace bmp2land::bitmap
