#include "bitmap/bitmap_reader.hpp"

#include <algorithm>
#include <cstddef>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/rle8.hpp"

namespace bmp2land::bitmap {
namespace {

bool isPlainIndexes(std::uint32_t compression) {
    // Bit fields carry no meaning at 8 bits, so such files hold plain indexes.
    return compression == kBiRgb || compression == kBiBitFields || compression == kBiAlphaBitFields;
}

void readPalette(Bytes file, const BodyLayout& layout, BitmapImage& image) {
    const std::size_t entries = static_cast<std::size_t>(layout.paletteEntries);
    const std::size_t offset = static_cast<std::size_t>(layout.paletteOffset);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = offset + i * kPaletteEntrySize;
        image.palette[i] = RgbQuad{file[at], file[at + 1], file[at + 2], file[at + 3]};
    }
    // Entries the file does not store stay black.
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
    if (info.biWidth != kWidth || info.biHeight != kHeight) {
        return refused(ReadError::WrongSize);
    }
    if (!isPlainIndexes(info.biCompression) && info.biCompression != kBiRle8) {
        return refused(ReadError::UnsupportedCompression);
    }
    return headers;
}

BodyLayout bodyLayout(const BitmapHeaders& headers) {
    const InfoHeader& info = headers.info;
    BodyLayout layout;
    layout.paletteOffset = std::uint64_t{kFileHeaderSize} + info.biSize;
    layout.paletteEntries = (info.biClrUsed >= 1 && info.biClrUsed <= kPaletteEntries)
                                ? info.biClrUsed
                                : kPaletteEntries;
    layout.pixelOffset = headers.file.bfOffBits;
    const std::uint64_t paletteEnd =
        layout.paletteOffset + layout.paletteEntries * kPaletteEntrySize;
    if (info.biSize < kInfoHeaderSize || paletteEnd > layout.pixelOffset) {
        return BodyLayout{};  // the fixed layout
    }
    return layout;
}

Expected<BitmapImage, ReadFailure> readBody(Bytes file, const BitmapHeaders& headers) {
    const BodyLayout layout = bodyLayout(headers);
    const std::uint64_t size = file.size();
    const std::uint64_t paletteEnd =
        layout.paletteOffset + layout.paletteEntries * kPaletteEntrySize;
    const bool rle8 = headers.info.biCompression == kBiRle8;
    const BitmapPart pixelPart = rle8 ? BitmapPart::Rle8Data : BitmapPart::Pixels;
    if (paletteEnd > size) {
        return truncated(BitmapPart::Palette);
    }
    if (layout.pixelOffset > size) {
        return truncated(pixelPart);
    }
    const Bytes pixelData = file.subspan(static_cast<std::size_t>(layout.pixelOffset));
    if (!rle8 && pixelData.size() < kPixelCount) {
        return truncated(pixelPart);
    }

    BitmapImage image;
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    readPalette(file, layout, image);
    if (rle8) {
        image.pixels.assign(kPixelCount, 0);
        const Rle8Result decoded = decodeRle8(pixelData, image.pixels);
        if (decoded.status != Rle8Status::Ok) {
            return rle8Failure(decoded, layout.pixelOffset);
        }
    } else {
        image.pixels.assign(pixelData.begin(), pixelData.begin() + kPixelCount);
    }
    return image;
}

}  // namespace bmp2land::bitmap
