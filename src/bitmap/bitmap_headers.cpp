#include "bitmap/bitmap_headers.hpp"

namespace bmp2land::bitmap {
namespace {

// Offsets from the start of the file; the info header starts at 14.
constexpr std::size_t kBfType = 0;
constexpr std::size_t kBfSize = 2;
constexpr std::size_t kBfReserved1 = 6;
constexpr std::size_t kBfReserved2 = 8;
constexpr std::size_t kBfOffBits = 10;
constexpr std::size_t kBiSize = kFileHeaderSize + 0;
constexpr std::size_t kBiWidth = kFileHeaderSize + 4;
constexpr std::size_t kBiHeight = kFileHeaderSize + 8;
constexpr std::size_t kBiPlanes = kFileHeaderSize + 12;
constexpr std::size_t kBiBitCount = kFileHeaderSize + 14;
constexpr std::size_t kBiCompression = kFileHeaderSize + 16;
constexpr std::size_t kBiSizeImage = kFileHeaderSize + 20;
constexpr std::size_t kBiXPelsPerMeter = kFileHeaderSize + 24;
constexpr std::size_t kBiYPelsPerMeter = kFileHeaderSize + 28;
constexpr std::size_t kBiClrUsed = kFileHeaderSize + 32;
constexpr std::size_t kBiClrImportant = kFileHeaderSize + 36;
// BITMAPCOREHEADER: the same size field, then 16-bit fields.
constexpr std::size_t kBcWidth = kFileHeaderSize + 4;
constexpr std::size_t kBcHeight = kFileHeaderSize + 6;
constexpr std::size_t kBcPlanes = kFileHeaderSize + 8;
constexpr std::size_t kBcBitCount = kFileHeaderSize + 10;

bool isCore(std::uint32_t biSize) {
    return biSize == kCoreHeaderSize;
}

// The core header's width and height are unsigned: it can't be top-down.
InfoHeader decodeCoreHeader(Bytes b) {
    InfoHeader info;
    info.biSize = loadU32(b, kBiSize);
    info.biWidth = loadU16(b, kBcWidth);
    info.biHeight = loadU16(b, kBcHeight);
    info.biPlanes = loadU16(b, kBcPlanes);
    info.biBitCount = loadU16(b, kBcBitCount);
    info.biCompression = kBiRgb;
    return info;
}

void encodeCoreHeader(const InfoHeader& info, MutableBytes b) {
    storeU32(b, kBiSize, info.biSize);
    storeU16(b, kBcWidth, static_cast<std::uint16_t>(info.biWidth));
    storeU16(b, kBcHeight, static_cast<std::uint16_t>(info.biHeight));
    storeU16(b, kBcPlanes, info.biPlanes);
    storeU16(b, kBcBitCount, info.biBitCount);
}

}  // namespace

BitmapHeaders decodeHeaders(Bytes b) {
    BitmapHeaders h;
    h.file.bfType = loadU16(b, kBfType);
    h.file.bfSize = loadU32(b, kBfSize);
    h.file.bfReserved1 = loadU16(b, kBfReserved1);
    h.file.bfReserved2 = loadU16(b, kBfReserved2);
    h.file.bfOffBits = loadU32(b, kBfOffBits);
    if (isCore(loadU32(b, kBiSize))) {
        h.info = decodeCoreHeader(b);
        return h;
    }
    h.info.biSize = loadU32(b, kBiSize);
    h.info.biWidth = loadI32(b, kBiWidth);
    h.info.biHeight = loadI32(b, kBiHeight);
    h.info.biPlanes = loadU16(b, kBiPlanes);
    h.info.biBitCount = loadU16(b, kBiBitCount);
    h.info.biCompression = loadU32(b, kBiCompression);
    h.info.biSizeImage = loadU32(b, kBiSizeImage);
    h.info.biXPelsPerMeter = loadI32(b, kBiXPelsPerMeter);
    h.info.biYPelsPerMeter = loadI32(b, kBiYPelsPerMeter);
    h.info.biClrUsed = loadU32(b, kBiClrUsed);
    h.info.biClrImportant = loadU32(b, kBiClrImportant);
    return h;
}

void encodeHeaders(const BitmapHeaders& h, MutableBytes b) {
    storeU16(b, kBfType, h.file.bfType);
    storeU32(b, kBfSize, h.file.bfSize);
    storeU16(b, kBfReserved1, h.file.bfReserved1);
    storeU16(b, kBfReserved2, h.file.bfReserved2);
    storeU32(b, kBfOffBits, h.file.bfOffBits);
    if (isCore(h.info.biSize)) {
        encodeCoreHeader(h.info, b);
        return;
    }
    storeU32(b, kBiSize, h.info.biSize);
    storeU32(b, kBiWidth, static_cast<std::uint32_t>(h.info.biWidth));
    storeU32(b, kBiHeight, static_cast<std::uint32_t>(h.info.biHeight));
    storeU16(b, kBiPlanes, h.info.biPlanes);
    storeU16(b, kBiBitCount, h.info.biBitCount);
    storeU32(b, kBiCompression, h.info.biCompression);
    storeU32(b, kBiSizeImage, h.info.biSizeImage);
    storeU32(b, kBiXPelsPerMeter, static_cast<std::uint32_t>(h.info.biXPelsPerMeter));
    storeU32(b, kBiYPelsPerMeter, static_cast<std::uint32_t>(h.info.biYPelsPerMeter));
    storeU32(b, kBiClrUsed, h.info.biClrUsed);
    storeU32(b, kBiClrImportant, h.info.biClrImportant);
}

}  // namespace bmp2land::bitmap
