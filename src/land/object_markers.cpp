#include "land/object_markers.hpp"

#include <cassert>
#include <cstring>
#include <utility>

#include "common/rows.hpp"

namespace bmp2land::land {
namespace {

// Clears every marker in one top-down row, keeping the first positions up to
// the room given while counting them all.
void takeRowMarkers(std::uint8_t* row, std::uint32_t y, std::span<ObjectPosition> positions,
                    std::size_t& found) {
    std::uint8_t* const end = row + kWidth;
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

}  // namespace

MarkedPicture markTopDown(std::vector<std::uint8_t> pixels, std::span<ObjectPosition> positions) {
    assert(pixels.size() == kPixelCount);
    MarkedPicture picture;
    picture.pixels = std::move(pixels);
    // Markers are found in stored order: bottom row first, left to right.
    for (std::uint32_t y = kHeight; y-- > 0;) {
        takeRowMarkers(picture.pixels.data() + std::size_t{y} * kWidth, y, positions,
                       picture.markers);
    }
    return picture;
}

MarkedPicture takeMarkers(const bitmap::BitmapImage& image, std::span<ObjectPosition> positions) {
    std::vector<std::uint8_t> topDown;
    topDown.reserve(kPixelCount);
    appendRowsReversed(image.pixels, kWidth, topDown);
    return markTopDown(std::move(topDown), positions);
}

}  // namespace bmp2land::land
