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

}  // namespace

Expected<BitmapHeaders, ReadError> readHeaders(Bytes file) {
    if (file.size() < kHeadersSize) {
        return fail(ReadError::Truncated);
    }
    const BitmapHeaders headers = decodeHeaders(file);
    const InfoHeader& info = headers.info;
    if (info.biBitCount != kBitCount) {
        return fail(ReadError::NotEightBit);
    }
    if (info.biWidth != kWidth || info.biHeight != kHeight) {
        return fail(ReadError::WrongSize);
    }
    if (!isPlainIndexes(info.biCompression) && info.biCompression != kBiRle8) {
        return fail(ReadError::UnsupportedCompression);
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

Expected<BitmapImage, ReadError> readBody(Bytes file, const BitmapHeaders& headers) {
    const BodyLayout layout = bodyLayout(headers);
    const std::uint64_t size = file.size();
    const std::uint64_t paletteEnd =
        layout.paletteOffset + layout.paletteEntries * kPaletteEntrySize;
    if (paletteEnd > size || layout.pixelOffset > size) {
        return fail(ReadError::Truncated);
    }
    const Bytes pixelData = file.subspan(static_cast<std::size_t>(layout.pixelOffset));
    const bool rle8 = headers.info.biCompression == kBiRle8;
    if (!rle8 && pixelData.size() < kPixelCount) {
        return fail(ReadError::Truncated);
    }

    BitmapImage image;
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    readPalette(file, layout, image);
    if (rle8) {
        image.pixels.assign(kPixelCount, 0);
        switch (decodeRle8(pixelData, image.pixels)) {
            case Rle8Status::Ok:
                break;
            case Rle8Status::Truncated:
                return fail(ReadError::Truncated);
            case Rle8Status::Corrupt:
                return fail(ReadError::Corrupt);
        }
    } else {
        image.pixels.assign(pixelData.begin(), pixelData.begin() + kPixelCount);
    }
    return image;
}

}  // namespace bmp2land::bitmap
