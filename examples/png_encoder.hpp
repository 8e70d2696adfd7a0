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

// The IHDR fields a PNG can vary: the tests make one of every kind.
struct PngLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 8;
    std::uint8_t colourType = 2;
    bool interlaced = false;
};

// Signature, header, the PLTE and tRNS chunks when not empty, `scanlines`
// (the rows as PNG stores them, each with its filter byte, every pass of an
// interlaced picture in turn) in stored deflate blocks, and the end.
std::vector<std::uint8_t> assemblePng(const PngLayout& layout, std::span<const std::uint8_t> plte,
                                      std::span<const std::uint8_t> trns,
                                      std::span<const std::uint8_t> scanlines);

}  // namespace examples
