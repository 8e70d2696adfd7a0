#pragma once

// The input bitmap as loaded: its two headers, its 256-entry colour table and
// its 1920 x 696 picture of palette indexes in the usual stored row order (row
// 0 is the bottom of the picture), whichever order the file kept them in.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp2land::bitmap {

inline constexpr std::int32_t kWidth = 1920;
inline constexpr std::int32_t kHeight = 696;
inline constexpr std::uint16_t kBitCount = 8;
inline constexpr std::size_t kPixelCount = std::size_t{kWidth} * kHeight;  // 1336320

inline constexpr std::size_t kFileHeaderSize = 14;  // BITMAPFILEHEADER
inline constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER, the fields read here
inline constexpr std::size_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER of OS/2 1.x and Windows 2
inline constexpr std::size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;  // 54
inline constexpr std::size_t kPaletteEntries = 256;
inline constexpr std::size_t kPaletteEntrySize = 4;      // RGBQUAD
inline constexpr std::size_t kCorePaletteEntrySize = 3;  // RGBTRIPLE, after a core header
// Where the palette and the pixels sit when the header's offsets can't be trusted.
inline constexpr std::size_t kFixedPaletteOffset = kHeadersSize;
inline constexpr std::size_t kFixedPixelOffset =
    kFixedPaletteOffset + kPaletteEntries * kPaletteEntrySize;  // 1078

// biCompression values.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiBitFields = 3;
inline constexpr std::uint32_t kBiAlphaBitFields = 6;

struct FileHeader {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

// A core header is held in these fields too: biSize 12, its 16-bit width and
// height, planes and bit count, no compression, the rest 0.
struct InfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};

struct BitmapHeaders {
    FileHeader file;
    InfoHeader info;
};

struct BitmapImage {
    FileHeader fileHeader;
    InfoHeader infoHeader;  // as read, but a top-down file's biHeight is given as kHeight
    std::array<RgbQuad, kPaletteEntries> palette{};
    std::vector<std::uint8_t> pixels;  // kPixelCount indexes, stored row order
};

}  // namespace bmp2land::bitmap
