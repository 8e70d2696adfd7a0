#pragma once

// Little-endian reads and writes on byte spans. Both file formats this program
// touches are little-endian and packed, so every field goes through these
// helpers instead of a struct laid over a buffer.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace bmp2land {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

inline std::uint16_t loadU16(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::uint32_t loadU32(Bytes bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

inline std::int32_t loadI32(Bytes bytes, std::size_t offset) {
    return static_cast<std::int32_t>(loadU32(bytes, offset));
}

// One 8-byte load rather than eight byte loads: used in the mask loop.
inline std::uint64_t loadU64(Bytes bytes, std::size_t offset) {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes.subspan(offset, 8).data(), 8);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i, value >>= 8) {
            swapped = (swapped << 8) | (value & 0xFFU);
        }
        value = swapped;
    }
    return value;
}

inline void storeU16(MutableBytes bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeU32(MutableBytes bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 2] = static_cast<std::uint8_t>(value >> 16);
    bytes[offset + 3] = static_cast<std::uint8_t>(value >> 24);
}

}  // namespace bmp2land
