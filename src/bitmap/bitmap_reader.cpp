#include "bitmap/bitmap_reader.hpp"

#include <algorithm>
#include <cstddef>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/rle8.hpp"
#include "common/rows.hpp"

namespace bmp2land::bitmap {
namespace {

// After a core header: the palette right after it, and where the pixels are
// taken to start when the pixel offset leaves no room for a palette.
constexpr std::uint64_t kCorePaletteOffset = kFileHeaderSize + kCoreHeaderSize;  // 26
constexpr std::uint64_t kCoreFixedPixelOffset =
    kCorePaletteOffset + kPaletteEntries * kCorePaletteEntrySize;  // 794

// Colour masks that follow a 40-byte info header.
constexpr std::uint64_t kBitFieldMasksSize = 12;       // red, green, blue
constexpr std::uint64_t kAlphaBitFieldMasksSize = 16;  // and alpha

bool isPlainIndexes(std::uint32_t compression) {
    // Bit fields carry no meaning at 8 bits, so such files hold plain indexes.
    return compression == kBiRgb || compression == kBiBitFields || compression == kBiAlphaBitFields;
}

bool isTopDown(const InfoHeader& info) {
    return info.biHeight < 0;
}

bool isOurSize(const InfoHeader& info) {
    return info.biWidth == kWidth && (info.biHeight == kHeight || info.biHeight == -kHeight);
}

// RLE8 has no top-down form.
bool isSupportedCompression(const InfoHeader& info) {
    return isPlainIndexes(info.biCompression) ||
           (info.biCompression == kBiRle8 && !isTopDown(info));
}

std::uint64_t masksSize(std::uint32_t compression) {
    switch (compression) {
        case kBiBitFields:
            return kBitFieldMasksSize;
        case kBiAlphaBitFields:
            return kAlphaBitFieldMasksSize;
        default:
            return 0;
    }
}

BodyLayout coreLayout(const FileHeader& file) {
    BodyLayout layout;
    layout.paletteOffset = kCorePaletteOffset;
    layout.paletteEntrySize = kCorePaletteEntrySize;
    if (file.bfOffBits < kCorePaletteOffset + kCorePaletteEntrySize) {
        layout.paletteEntries = kPaletteEntries;
        layout.pixelOffset = kCoreFixedPixelOffset;
        return layout;
    }
    layout.paletteEntries = std::min<std::uint64_t>(
        kPaletteEntries, (file.bfOffBits - kCorePaletteOffset) / kCorePaletteEntrySize);
    layout.pixelOffset = file.bfOffBits;
    return layout;
}

// Whether the bytes from `paletteOffset` to the pixels hold a whole table:
// many writers store all 256 entries whatever biClrUsed says.
bool holdsFullPalette(const FileHeader& file, std::uint64_t paletteOffset) {
    return paletteOffset + kPaletteEntries * kPaletteEntrySize <= file.bfOffBits;
}

BodyLayout infoLayout(const BitmapHeaders& headers) {
    const InfoHeader& info = headers.info;
    if (info.biSize < kInfoHeaderSize) {
        return BodyLayout{};  // the fixed layout
    }
    BodyLayout layout;
    layout.paletteOffset = std::uint64_t{kFileHeaderSize} + info.biSize;
    layout.pixelOffset = headers.file.bfOffBits;
    // A 40-byte header may be followed by colour masks.
    const std::uint64_t masks = info.biSize == kInfoHeaderSize ? masksSize(info.biCompression) : 0;
    if (holdsFullPalette(headers.file, layout.paletteOffset + masks)) {
        layout.paletteOffset += masks;
        return layout;
    }
    if (holdsFullPalette(headers.file, layout.paletteOffset)) {
        return layout;
    }
    // Fewer bytes than a whole table: as many entries as biClrUsed says, and
    // the masks only if that palette still fits before the pixels after them.
    layout.paletteEntries = (info.biClrUsed >= 1 && info.biClrUsed <= kPaletteEntries)
                                ? info.biClrUsed
                                : kPaletteEntries;
    if (layout.paletteEnd() + masks <= layout.pixelOffset) {
        layout.paletteOffset += masks;
    }
    if (layout.paletteEnd() > layout.pixelOffset) {
        return BodyLayout{};  // the fixed layout
    }
    return layout;
}

void readPalette(Bytes file, const BodyLayout& layout, BitmapImage& image) {
    const std::size_t entries = static_cast<std::size_t>(layout.paletteEntries);
    const std::size_t offset = static_cast<std::size_t>(layout.paletteOffset);
    const std::size_t entrySize = static_cast<std::size_t>(layout.paletteEntrySize);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = offset + i * entrySize;
        const std::uint8_t reserved = entrySize == kPaletteEntrySize ? file[at + 3] : 0;
        image.palette[i] = RgbQuad{file[at], file[at + 1], file[at + 2], reserved};
    }
    // Entries the file does not store stay black.
}

// Plain indexes, handed over bottom row first.
void readPlainPixels(Bytes pixelData, bool topDown, BitmapImage& image) {
    const Bytes picture = pixelData.first(kPixelCount);
    if (topDown) {
        image.pixels.reserve(kPixelCount);
        appendRowsReversed(picture, static_cast<std::size_t>(kWidth), image.pixels);
    } else {
        image.pixels.assign(picture.begin(), picture.end());
    }
}

Unexpected<ReadFailure> refused(ReadError kind) {
    return fail(ReadFailure{.kind = kind});
}

Unexpected<ReadFailure> truncated(BitmapPart part) {
    return fail(ReadFailure{.kind = ReadError::Truncated, .part = part});
}

Unexpected<ReadFailure> rle8Failure(const Rle8Result& result, std::uint64_t pixelOffset) {
    if (result.status == Rle8Status::Truncated) {
        return truncated(BitmapPart::Rle8Data);
    }
    return fail(ReadFailure{.kind = ReadError::Corrupt,
                            .offset = pixelOffset + result.codeOffset,
                            .row = result.row,
                            .column = result.column});
}

// Checks that every block the headers describe is in the file and reads the
// palette; the pixels are left to the caller.
Expected<BitmapImage, ReadFailure> readAllButPixels(Bytes file, const BitmapHeaders& headers,
                                                    const BodyLayout& layout) {
    const std::uint64_t size = file.size();
    const bool rle8 = headers.info.biCompression == kBiRle8;
    const BitmapPart pixelPart = rle8 ? BitmapPart::Rle8Data : BitmapPart::Pixels;
    if (layout.paletteOffset > size) {  // the info header or its masks end past the file
        return truncated(BitmapPart::Headers);
    }
    if (layout.paletteEnd() > size) {
        return truncated(BitmapPart::Palette);
    }
    if (layout.pixelOffset > size) {
        return truncated(pixelPart);
    }
    if (!rle8 && size - layout.pixelOffset < kPixelCount) {
        return truncated(pixelPart);
    }

    BitmapImage image;
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    image.infoHeader.biHeight = kHeight;  // the rows are handed over bottom row first
    readPalette(file, layout, image);
    return image;
}

}  // namespace

Expected<BitmapHeaders, ReadFailure> readHeaders(Bytes file) {
    if (file.size() < kHeadersSize) {
        return truncated(BitmapPart::Headers);
    }
    const BitmapHeaders headers = decodeHeaders(file);
    const InfoHeader& info = headers.info;
    if (info.biBitCount != kBitCount) {
        return refused(ReadError::NotEightBit);
    }
    if (!isOurSize(info)) {
        return refused(ReadError::WrongSize);
    }
    if (!isSupportedCompression(info)) {
        return refused(ReadError::UnsupportedCompression);
    }
    return headers;
}

ReadFailure inWholeFile(ReadFailure failure, std::uint64_t readSize, std::uint64_t fileSize) {
    if (failure.kind == ReadError::Truncated && fileSize > readSize) {
        failure.kind = ReadError::TooLarge;
    }
    return failure;
}

BodyLayout bodyLayout(const BitmapHeaders& headers) {
    return headers.info.biSize == kCoreHeaderSize ? coreLayout(headers.file) : infoLayout(headers);
}

Expected<BitmapImage, ReadFailure> readBody(Bytes file, const BitmapHeaders& headers) {
    const BodyLayout layout = bodyLayout(headers);
    auto image = readAllButPixels(file, headers, layout);
    if (!image) {
        return image;
    }
    const Bytes pixelData = file.subspan(static_cast<std::size_t>(layout.pixelOffset));
    if (headers.info.biCompression == kBiRle8) {
        image->pixels.assign(kPixelCount, 0);
        const Rle8Result decoded = decodeRle8(pixelData, image->pixels);
        if (decoded.status != Rle8Status::Ok) {
            return rle8Failure(decoded, layout.pixelOffset);
        }
    } else {
        readPlainPixels(pixelData, isTopDown(headers.info), *image);
    }
    return image;
}

Expected<BitmapImage, ReadFailure> readBody(ByteBuffer&& file, const BitmapHeaders& headers) {
    if (headers.info.biCompression == kBiRle8 || isTopDown(headers.info)) {
        return readBody(Bytes(file), headers);
    }
    const BodyLayout layout = bodyLayout(headers);
    auto image = readAllButPixels(file, headers, layout);
    if (!image) {
        return image;
    }
    // Plain bottom-up pixels are already in the image's order: they move to
    // the front of the file's own buffer, which becomes the picture's.
    const auto start = file.begin() + static_cast<std::ptrdiff_t>(layout.pixelOffset);
    std::copy(start, start + static_cast<std::ptrdiff_t>(kPixelCount), file.begin());
    file.resize(kPixelCount);
    image->pixels = std::move(file);
    return image;
}

}  // namespace bmp2land::bitmap
