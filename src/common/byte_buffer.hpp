#pragma once

// The bytes of a whole input file. A plain byte vector, so that the reader can
// take the file's buffer over as the picture's instead of copying the picture
// into a second 1.3 MB buffer.

#include <cstdint>
#include <vector>

namespace bmp2land {

using ByteBuffer = std::vector<std::uint8_t>;

}  // namespace bmp2land
