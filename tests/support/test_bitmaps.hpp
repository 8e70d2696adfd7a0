#pragma once

// Test-only bitmap writer and the reference land file, built independently of
// the program's reader, conversion and writer.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using ByteVector = std::vector<std::uint8_t>;

inline constexpr std::size_t kW = 1920;
inline constexpr std::size_t kH = 696;
inline constexpr std::size_t kPixels = kW * kH;

// A picture of palette indexes in the order a bitmap stores them: stored row
// 0 is the bottom of the picture.
struct Picture {
    ByteVector indexes = ByteVector(kPixels, 0);

    // (x, y) counted from the top-left corner, as in the land file.
    std::uint8_t& at(std::size_t x, std::size_t y) { return indexes[(kH - 1 - y) * kW + x]; }
};

// A level-like picture with `markers` object markers spread over it.
Picture samplePicture(int markers = 30);

struct Colour {
    std::uint8_t red, green, blue;
};
std::vector<Colour> samplePalette();  // 256 distinct colours

struct BmpOptions {
    std::uint32_t infoHeaderSize = 40;  // 12: a core header, 16-bit sizes, 3-byte colours
    std::int32_t width = 1920;
    std::int32_t height = 696;
    bool topDown = false;  // height stored negated, whole rows written top row first
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::optional<std::uint32_t> sizeImage;  // default: the pixel data's length
    std::uint32_t clrUsed = 0;
    std::size_t storedColours = 256;       // palette entries written to the file
    std::size_t maskBytes = 0;             // colour masks after the info header (12 or 16)
    std::size_t gapAfterPalette = 0;       // bytes between the palette and the pixels
    std::optional<std::uint32_t> offBits;  // default: where the pixels really start
    std::uint16_t signature = 0x4D42;      // "BM"
    // Bit-field masks, red, green, blue, alpha: written after a 40-byte header
    // (maskBytes of them), or inside a V2 to V5 header.
    std::array<std::uint32_t, 4> masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
};

// Headers, palette and `pixelData` laid out as `options` say. `pixelData` is
// in stored order, bottom row first, also for a top-down file (whose rows
// are then written in the reverse order).
ByteVector makeBmp(const BmpOptions& options, const std::vector<Colour>& palette,
                   const ByteVector& pixelData);
// A conforming bitmap of `picture` with the sample palette.
ByteVector makeBmp(const Picture& picture);

// Encodes rows as runs, each row closed by end-of-line, then end-of-bitmap.
ByteVector encodeRle8(const Picture& picture);

// The land file the program must write for `picture` and `palette`, laid out
// from the format's offsets with no shared code.
ByteVector expectedLandFile(const Picture& picture, const std::vector<Colour>& palette);

// Success when `got` is `expected`; else the first differing offset, rather
// than two megabytes of bytes.
::testing::AssertionResult sameBytes(const ByteVector& got, const ByteVector& expected);

ByteVector readFile(const std::string& path);
void writeFile(const std::string& path, const ByteVector& bytes);

}  // namespace testing_support
