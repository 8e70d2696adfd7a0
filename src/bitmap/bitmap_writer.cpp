#include "bitmap/bitmap_writer.hpp"

#include <array>

#include "common/byte_order.hpp"

namespace bmp2land::bitmap {

BitmapHeaders plainHeaders() {
    BitmapHeaders h;
    h.file.bfType = 0x4D42;  // "BM"
    h.file.bfSize = static_cast<std::uint32_t>(kFixedPixelOffset + kPixelCount);
    h.file.bfOffBits = static_cast<std::uint32_t>(kFixedPixelOffset);
    h.info.biSize = kInfoHeaderSize;
    h.info.biWidth = kWidth;
    h.info.biHeight = kHeight;
    h.info.biPlanes = 1;
    h.info.biBitCount = kBitCount;
    h.info.biCompression = kBiRgb;
    h.info.biSizeImage = static_cast<std::uint32_t>(kPixelCount);
    h.info.biClrUsed = kPaletteEntries;
    return h;
}

bool writeBitmap(const BitmapImage& image, ByteSink& out) {
    std::array<std::uint8_t, kHeadersSize + kPaletteEntries * kPaletteEntrySize> head{};
    const FileHeader& f = image.fileHeader;
    storeU16(head, 0, f.bfType);
    storeU32(head, 2, f.bfSize);
    storeU16(head, 6, f.bfReserved1);
    storeU16(head, 8, f.bfReserved2);
    storeU32(head, 10, f.bfOffBits);
    const InfoHeader& i = image.infoHeader;
    storeU32(head, 14, i.biSize);
    storeU32(head, 18, static_cast<std::uint32_t>(i.biWidth));
    storeU32(head, 22, static_cast<std::uint32_t>(i.biHeight));
    storeU16(head, 26, i.biPlanes);
    storeU16(head, 28, i.biBitCount);
    storeU32(head, 30, i.biCompression);
    storeU32(head, 34, i.biSizeImage);
    storeU32(head, 38, static_cast<std::uint32_t>(i.biXPelsPerMeter));
    storeU32(head, 42, static_cast<std::uint32_t>(i.biYPelsPerMeter));
    storeU32(head, 46, i.biClrUsed);
    storeU32(head, 50, i.biClrImportant);
    std::size_t at = kHeadersSize;
    for (const RgbQuad& entry : image.palette) {
        head[at++] = entry.blue;
        head[at++] = entry.green;
        head[at++] = entry.red;
        head[at++] = entry.reserved;
    }
    return out.put(head) && out.put(image.pixels);
}

}  // namespace bmp2land::bitmap
