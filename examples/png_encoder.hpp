#pragma once

// A minimal PNG encoder for 8-bit pictures, indexed or RGB: enough to hand a
// palette to programs that read PNG but not GIMP palettes, and for the tests
// to hand paint programs a drawing.

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

// `rgb` holds `width` x `height` pixels of red, green and blue, top row first.
std::vector<std::uint8_t> encodeRgbPng(std::uint32_t width, std::uint32_t height,
                                       std::span<const Rgb> rgb);

}  // namespace examples
