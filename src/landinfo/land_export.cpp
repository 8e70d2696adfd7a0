#include "landinfo/land_export.hpp"

#include "bitmap/bitmap_writer.hpp"
#include "common/byte_sink.hpp"
#include "common/rows.hpp"

namespace bmp2land::landinfo {

using namespace land;

bitmap::BitmapImage toBitmap(const LandModel& model) {
    bitmap::BitmapImage image;
    const bitmap::BitmapHeaders headers = bitmap::plainHeaders();
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    image.palette.fill(kExportUnusedColour);
    image.palette[0] = bitmap::RgbQuad{0, 0, 0, 0};
    for (std::size_t k = 0; k < kColourCount; ++k) {
        const RgbTriplet& c = model.colours[k];
        image.palette[k + 1] = bitmap::RgbQuad{c.blue, c.green, c.red, 0};
    }
    image.palette[kMarkerIndex] = kExportMarkerColour;

    // The land picture is top row first; a bitmap stores the bottom row first.
    image.pixels.reserve(kPixelCount);
    appendRowsReversed(model.pixels, kWidth, image.pixels);
    for (const ObjectPosition& p : model.positions) {
        image.pixels[std::size_t{kHeight - 1 - p.y} * kWidth + p.x] = kMarkerIndex;
    }
    return image;
}

std::vector<std::uint8_t> exportBitmap(const LandModel& model) {
    return exportBitmap(toBitmap(model));
}

std::vector<std::uint8_t> exportBitmap(const bitmap::BitmapImage& image) {
    MemorySink sink;
    sink.data.reserve(bitmap::kFixedPixelOffset + image.pixels.size());
    (void)bitmap::writeBitmap(image, sink);  // memory takes every write
    return std::move(sink.data);
}

}  // namespace bmp2land::landinfo
