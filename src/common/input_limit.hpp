#pragma once

#include <cstddef>

namespace bmp2land {

// How much of an input file is read, by the programs and by the page alike.
// Neither a 1920 x 696 bitmap (under 3 MB in any encoding) nor a land file
// comes near it; an endless input such as /dev/zero or a pipe stops here
// instead of taking all memory.
inline constexpr std::size_t kMaxInputSize = std::size_t{64} << 20;

}  // namespace bmp2land
