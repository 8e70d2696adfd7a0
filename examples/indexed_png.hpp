#pragma once

// A minimal PNG encoder for 8-bit indexed pictures: enough to hand a palette
// to programs that read PNG but not GIMP palettes.

#include <cstdint>
#include <span>
#include <vector>

namespace examples {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// `indexes` holds `width` x `height` palette indexes, top row first; the
// palette has at most 256 entries. The pixels are stored uncompressed.
std::vector<std::uint8_t> encodeIndexedPng(std::uint32_t width, std::uint32_t height,
                                           std::span<const Rgb> palette,
                                           std::span<const std::uint8_t> indexes);

}  // namespace examples
