#include "bitmap/bitmap_writer.hpp"

#include <array>

#include "bitmap/bitmap_headers.hpp"

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
    encodeHeaders(BitmapHeaders{image.fileHeader, image.infoHeader}, head);
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
