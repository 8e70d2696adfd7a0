#include "land/land_mask.hpp"

#include <cstddef>
#include <cstdint>

namespace bmp2land::land {

void buildMask(Bytes pixels, MutableBytes mask) {
    // Eight pixels at a time: a byte's top bit ends up set when the byte is not
    // zero, and one multiply gathers those eight bits into the mask byte with
    // the first pixel in the least significant bit.
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kGather = 0x0102040810204080ULL;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const std::uint64_t group = loadU64(pixels, i * 8);
        const std::uint64_t nonZero = (((group & kLow7) + kLow7) | group) & kHigh;
        mask[i] = static_cast<std::uint8_t>(((nonZero >> 7) * kGather) >> 56);
    }
}

}  // namespace bmp2land::land
