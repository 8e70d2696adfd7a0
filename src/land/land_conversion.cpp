#include "land/land_conversion.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "common/rows.hpp"

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

// Clears every marker in one top-down row, keeping the first positions up to
// the room given while counting them all.
void takeRowMarkers(std::uint8_t* row, std::uint32_t y, std::span<ObjectPosition> positions,
                    std::size_t& found) {
    std::uint8_t* const end = row + kRowLength;
    std::uint8_t* at = row;
    while (at != end) {
        auto* hit = static_cast<std::uint8_t*>(
            std::memchr(at, kMarkerIndex, static_cast<std::size_t>(end - at)));
        if (hit == nullptr) {
            return;
        }
        if (found < positions.size()) {
            positions[found] = ObjectPosition{static_cast<std::uint32_t>(hit - row), y};
        }
        ++found;
        *hit = kClearedMarkerIndex;
        at = hit + 1;
    }
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

MarkedPicture markTopDown(std::vector<std::uint8_t> pixels, std::span<ObjectPosition> positions) {
    assert(pixels.size() == kPixelCount);
    MarkedPicture picture;
    picture.pixels = std::move(pixels);
    // Markers are found in stored order: bottom row first, left to right.
    for (std::uint32_t y = kHeight; y-- > 0;) {
        takeRowMarkers(picture.pixels.data() + std::size_t{y} * kRowLength, y, positions,
                       picture.markers);
    }
    return picture;
}

}  // namespace

void buildMask(Bytes pixels, MutableBytes mask) {
    // Eight pixels at a time: a byte's top bit ends up set when the byte is not
    // zero, and one multiply gathers those eight bits into the mask byte with
    // the first pixel in the least significant bit.
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kGather = 0x0102040810204080ULL;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const std::uint64_t group = loadU64(pixels, i * 8);
        const std::uint64_t nonZero = (((group & kLow7) + kLow7) | group) & kHigh;
        mask[i] = static_cast<std::uint8_t>(((nonZero >> 7) * kGather) >> 56);
    }
}

MarkedPicture takeMarkers(const bitmap::BitmapImage& image, std::span<ObjectPosition> positions) {
    std::vector<std::uint8_t> topDown;
    topDown.reserve(kPixelCount);
    appendRowsReversed(image.pixels, kRowLength, topDown);
    return markTopDown(std::move(topDown), positions);
}

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
