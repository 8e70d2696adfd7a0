#pragma once

// Reads a bitmap from its bytes in memory, in two steps so that the caller can
// report progress between them: the header checks, then the palette and pixels.

#include <cstdint>

#include "bitmap/bitmap_image.hpp"
#include "common/byte_buffer.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"

namespace bmp2land::bitmap {

enum class ReadError : std::uint8_t {
    Truncated,               // the file ends before a block it needs
    TooLarge,                // a block it needs lies past the bytes read of a longer file
    NotEightBit,             // biBitCount is not 8
    WrongSize,               // not 1920 x 696
    UnsupportedCompression,  // neither plain indexes nor RLE8
    Corrupt,                 // RLE8 data that leaves the picture
};

// What a truncated file ran out in.
enum class BitmapPart : std::uint8_t { Headers, Palette, Pixels, Rle8Data };

// The failure and where it happened, so that a diagnosis can point at it.
struct ReadFailure {
    ReadError kind = ReadError::Truncated;
    BitmapPart part = BitmapPart::Headers;  // Truncated, TooLarge: what was cut short
    std::uint64_t offset = 0;  // Corrupt: file offset where the failing RLE8 code begins
    std::uint32_t row = 0;     // Corrupt: stored row reached (0 = first stored row)
    std::uint32_t column = 0;  // Corrupt: column reached in that row

    bool operator==(const ReadFailure&) const = default;
};

// Where the palette and pixels lie in the file and how many colours it stores.
struct BodyLayout {
    std::uint64_t paletteOffset = kFixedPaletteOffset;
    std::uint64_t paletteEntries = kPaletteEntries;
    std::uint64_t paletteEntrySize = kPaletteEntrySize;  // 3 after a core header
    std::uint64_t pixelOffset = kFixedPixelOffset;

    [[nodiscard]] std::uint64_t paletteEnd() const {
        return paletteOffset + paletteEntries * paletteEntrySize;
    }
};

// A failure on the first `readSize` bytes of a file of `fileSize` bytes, as it
// is for the whole file: a block cut short by the end of what was read, not
// by the end of the file, makes the file too large for the reading, not
// truncated.
ReadFailure inWholeFile(ReadFailure failure, std::uint64_t readSize, std::uint64_t fileSize);

// Decodes both headers and checks, in this order: length, bit count, size
// (1920 x 696, bottom-up or top-down), compression (plain indexes, or RLE8
// bottom-up).
Expected<BitmapHeaders, ReadFailure> readHeaders(Bytes file);

// Trusts the header's offsets only when they describe a sane file. After a
// core header the palette has 3-byte entries, as many as fit before the pixels.
BodyLayout bodyLayout(const BitmapHeaders& headers);

// Loads the palette and the picture the accepted headers describe, with the
// rows bottom row first even when the file stores them top row first.
Expected<BitmapImage, ReadFailure> readBody(Bytes file, const BitmapHeaders& headers);
// The same, taking over the file's buffer as the picture's where the pixels
// are stored plain and bottom row first, so that they are not copied.
Expected<BitmapImage, ReadFailure> readBody(ByteBuffer&& file, const BitmapHeaders& headers);

}  // namespace bmp2land::bitmap
