#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/byte_order.hpp"

namespace bmp2land {

// Appends the rows of `picture` to `out` last row first: this turns a
// bottom-up bitmap picture top-down, and back.
inline void appendRowsReversed(Bytes picture, std::size_t rowLength,
                               std::vector<std::uint8_t>& out) {
    for (std::size_t end = picture.size(); end >= rowLength; end -= rowLength) {
        const Bytes row = picture.subspan(end - rowLength, rowLength);
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace bmp2land
