#include "land/land_conversion.hpp"

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "land/land_mask.hpp"
#include "land/object_markers.hpp"

namespace bmp2land::land {
namespace {

constexpr std::size_t kRowLength = kWidth;

std::array<RgbTriplet, kColourCount> takeColours(const bitmap::BitmapImage& image) {
    std::array<RgbTriplet, kColourCount> colours{};
    for (std::size_t k = 0; k < kColourCount; ++k) {
        const bitmap::RgbQuad& entry = image.palette[k + 1];
        colours[k] = RgbTriplet{entry.red, entry.green, entry.blue};
    }
    return colours;
}

// Stored row 0 is the bottom of the picture: swapping the rows end for end
// turns the picture top row first, in the buffer it already has.
void turnTopDown(std::vector<std::uint8_t>& rows) {
    std::array<std::uint8_t, kRowLength> spare{};  // whole-row copies, not byte swaps
    for (std::size_t top = 0, bottom = kHeight - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* const upper = rows.data() + top * kRowLength;
        std::uint8_t* const lower = rows.data() + bottom * kRowLength;
        std::memcpy(spare.data(), upper, kRowLength);
        std::memcpy(upper, lower, kRowLength);
        std::memcpy(lower, spare.data(), kRowLength);
    }
}

}  // namespace

Expected<LandModel, ConversionError> convert(bitmap::BitmapImage&& image) {
    LandModel model;
    model.width = static_cast<std::uint32_t>(image.infoHeader.biWidth);
    model.height = static_cast<std::uint32_t>(image.infoHeader.biHeight);
    model.bitsPerPixel = static_cast<std::uint8_t>(image.infoHeader.biBitCount & 0xFFU);
    model.colours = takeColours(image);

    // The picture is turned in the image's own buffer: a second 1.3 MB
    // buffer costs a page fault for every 4 KiB of it.
    turnTopDown(image.pixels);
    MarkedPicture picture = markTopDown(std::move(image.pixels), model.positions);
    if (picture.markers != kObjectCount) {
        return fail(ConversionError::WrongObjectCount);
    }
    model.pixels = std::move(picture.pixels);
    model.mask.resize(kMaskLength);
    buildMask(model.pixels, model.mask);
    return model;
}

Expected<LandModel, ConversionError> convert(const bitmap::BitmapImage& image) {
    return convert(bitmap::BitmapImage(image));
}

}  // namespace bmp2land::land
