#include "landinfo/uncoloured_land.hpp"

#include <algorithm>

#include "land/land_model.hpp"

namespace bmp2land::landinfo {
namespace {

bool hasNoColour(std::uint8_t entry) {
    return entry > land::kColourCount && entry < land::kMarkerIndex;
}

}  // namespace

UncolouredLand findUncolouredLand(Bytes picture) {
    UncolouredLand found;
    found.topLeft = {land::kWidth, land::kHeight};
    for (std::size_t at = 0; at < picture.size(); ++at) {
        const std::uint8_t entry = picture[at];
        if (!hasNoColour(entry))
            continue;
        const PixelPlace place{static_cast<std::uint32_t>(at % land::kWidth),
                               static_cast<std::uint32_t>(at / land::kWidth)};
        found.entries[entry] = true;
        if (found.first.size() < kShownPlaces)
            found.first.push_back(place);
        found.topLeft = {std::min(found.topLeft.x, place.x), std::min(found.topLeft.y, place.y)};
        found.bottomRight = {std::max(found.bottomRight.x, place.x), place.y};
        ++found.pixels;
    }
    if (found.pixels == 0)
        found.topLeft = {};
    return found;
}

}  // namespace bmp2land::landinfo
