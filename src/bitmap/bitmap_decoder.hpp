#pragma once

// Decodes a bitmap of any kind a paint program writes into colours: 1, 2, 4
// and 8 bits with a palette, 16 and 32 bits with or without bit fields (and
// alpha), 24 bits, RLE4 and RLE8, core, 40-byte and V2 to V5 headers, bottom-up
// or top-down, of any size up to the caller's limit. The converter's own
// reader (bitmap_reader.hpp) stays as it is; the 8-bit files it reads are
// laid out here by its rules, so both read the same palette and indexes.

#include <cstdint>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "common/rgba.hpp"

namespace bmp2land::bitmap {

inline constexpr std::uint32_t kBiRle4 = 2;

enum class DecodeError : std::uint8_t {
    Truncated,               // the file ends before a block it needs (`part`)
    UnsupportedHeader,       // a header size other than 12 or at least 40
    UnsupportedBitCount,     // not 1, 2, 4, 8, 16, 24 or 32
    UnsupportedCompression,  // JPEG, PNG, or a compression the bit count can't have
    BadSize,                 // no pixels (a width or height of 0, a negative width)
    TooLarge,                // more pixels than the caller allows
    Corrupt,                 // run-length codes that leave the picture
};

struct DecodeFailure {
    DecodeError kind = DecodeError::Truncated;
    BitmapPart part = BitmapPart::Headers;  // Truncated: what was cut short

    bool operator==(const DecodeFailure&) const = default;
};

// What the headers say, read before any pixel memory is taken.
struct BitmapShape {
    std::int32_t width = 0;
    std::int32_t height = 0;  // rows, as a positive count
    bool topDown = false;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t headerSize = 0;  // biSize: 12, 40, 52, 56, 108, 124...
    bool alphaChannel = false;     // bit fields with an alpha mask

    [[nodiscard]] bool paletted() const { return bitCount <= kBitCount; }
    [[nodiscard]] std::uint64_t pixelCount() const {
        return std::uint64_t(static_cast<std::uint32_t>(width)) *
               static_cast<std::uint32_t>(height);
    }
};

struct ColourBitmap {
    BitmapShape shape;
    std::vector<RgbQuad> palette;       // the entries the file stores (paletted only)
    std::vector<std::uint8_t> indexes;  // paletted only: one a pixel, top row first
    std::vector<Rgba> pixels;           // top row first
};

// Decodes the headers alone; needs no more of the file than they take.
Expected<BitmapShape, DecodeFailure> inspectBitmap(Bytes file);

// Decodes the whole picture, refusing before it allocates pixel memory one
// of more than `maxPixels` pixels, or one the file is too short to hold.
// Indexes past the stored palette, and pixels an RLE stream skips (index 0,
// as the converter takes them), take that entry's colour or black. The
// fourth byte of 32-bit pixels without bit fields is alpha, as RGBA writers
// use it; 32-bit pixels whose alpha is 0 everywhere are opaque: writers that
// leave the byte unused write 0. The shape's alphaChannel then says whether
// the pixels kept an alpha channel.
Expected<ColourBitmap, DecodeFailure> decodeBitmap(Bytes file, std::uint64_t maxPixels);

}  // namespace bmp2land::bitmap
