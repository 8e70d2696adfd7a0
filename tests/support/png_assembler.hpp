#pragma once

// Test-only PNG files: the chunks laid out by hand around rows given as PNG
// stores them, in stored (uncompressed) deflate blocks or compressed with
// deflate's fixed codes, so that the tests can make a PNG of any colour type,
// bit depth or interlace without the encoder under test.

#include <cstdint>
#include <span>
#include <vector>

namespace testing_support {

// The IHDR fields a PNG can vary.
struct PngLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 8;
    std::uint8_t colourType = 2;
    bool interlaced = false;
    // Repeats coded as deflate's matches, as a paint program's file is: the
    // file much smaller than its pixels.
    bool compressed = false;
};

// Signature, header, the PLTE and tRNS chunks when not empty, `scanlines`
// (the rows as PNG stores them, each with its filter byte, every pass of an
// interlaced picture in turn) in deflate blocks, and the end.
std::vector<std::uint8_t> assemblePng(const PngLayout& layout, std::span<const std::uint8_t> plte,
                                      std::span<const std::uint8_t> trns,
                                      std::span<const std::uint8_t> scanlines);

}  // namespace testing_support
