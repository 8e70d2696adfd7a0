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

constexpr std::size_t kColumns = static_cast<std::size_t>(kWidth);
constexpr std::size_t kRows = static_cast<std::size_t>(kHeight);

}  // namespace

Rle8Result decodeRle8(Bytes stream, MutableBytes picture) {
    std::size_t at = 0;
    std::size_t row = 0;
    std::size_t column = 0;
    std::size_t code = 0;  // where the code being decoded starts
    const auto available = [&](std::size_t count) { return stream.size() - at >= count; };
    // row and column never pass kRows and kColumns, so they fit.
    const auto stop = [&](Rle8Status status) {
        return Rle8Result{status, code, static_cast<std::uint32_t>(row),
                          static_cast<std::uint32_t>(column)};
    };

    while (row < kRows) {
        code = at;
        if (!available(2)) {
            return stop(Rle8Status::Truncated);
        }
        const std::size_t count = stream[at];
        const std::uint8_t second = stream[at + 1];
        at += 2;

        if (count != kEscape) {  // a run of `count` pixels of index `second`
            if (column + count > kColumns) {
                return stop(Rle8Status::Corrupt);
            }
            std::fill_n(picture.begin() + static_cast<std::ptrdiff_t>(row * kColumns + column),
                        count, second);
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
            if (newColumn > kColumns || newRow > kRows || (newRow == kRows && newColumn != 0)) {
                return stop(Rle8Status::Corrupt);
            }
            row = newRow;
            column = newColumn;
        } else {  // `second` literal indexes, padded to an even length
            const std::size_t literal = second;
            const std::size_t stored = literal + (literal & 1U);
            if (column + literal > kColumns) {
                return stop(Rle8Status::Corrupt);
            }
            if (!available(stored)) {
                return stop(Rle8Status::Truncated);
            }
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(at), literal,
                        picture.begin() + static_cast<std::ptrdiff_t>(row * kColumns + column));
            column += literal;
            at += stored;
        }
    }
    return stop(Rle8Status::Ok);
}

}  // namespace bmp2land::bitmap
