#pragma once

// What both fuzz targets require of landinfo's land without a colour: its
// box and first places inside the picture, the places inside the box, and as
// many of them as there are pixels, up to the few shown.

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "land/land_model.hpp"
#include "landinfo/uncoloured_land.hpp"

namespace bmp2land {

inline void requireInPicture(const landinfo::UncolouredLand& land) {
    const auto inBox = [&](const landinfo::PixelPlace& p) {
        return p.x >= land.topLeft.x && p.x <= land.bottomRight.x && p.y >= land.topLeft.y &&
               p.y <= land.bottomRight.y;
    };
    const bool fits =
        land.pixels <= land::kPixelCount &&
        land.first.size() == std::min(land.pixels, landinfo::kShownPlaces) &&
        land.bottomRight.x < land::kWidth && land.bottomRight.y < land::kHeight &&
        std::ranges::all_of(land.first, inBox) &&
        std::ranges::count(land.entries, true) <= static_cast<std::ptrdiff_t>(land.pixels);
    if (!fits)
        std::abort();
}

}  // namespace bmp2land
