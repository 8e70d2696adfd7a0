#pragma once

// Reads a bitmap from its bytes in memory, in two steps so that the caller can
// report progress between them: the header checks, then the palette and pixels.

#include <cstdint>

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"

namespace bmp2land::bitmap {

enum class ReadError : std::uint8_t {
    Truncated,               // the file ends before a block it needs
    NotEightBit,             // biBitCount is not 8
    WrongSize,               // not 1920 x 696 (bottom-up)
    UnsupportedCompression,  // neither plain indexes nor RLE8
    Corrupt,                 // RLE8 data that leaves the picture
};

// Where the palette and pixels lie in the file and how many colours it stores.
struct BodyLayout {
    std::uint64_t paletteOffset = kFixedPaletteOffset;
    std::uint64_t paletteEntries = kPaletteEntries;
    std::uint64_t pixelOffset = kFixedPixelOffset;
};

// Decodes both headers and checks, in this order: length, bit count, size,
// compression.
Expected<BitmapHeaders, ReadError> readHeaders(Bytes file);

// Trusts the header's offsets only when they describe a sane file.
BodyLayout bodyLayout(const BitmapHeaders& headers);

// Loads the palette and the picture the accepted headers describe.
Expected<BitmapImage, ReadError> readBody(Bytes file, const BitmapHeaders& headers);

}  // namespace bmp2land::bitmap
