#pragma once

// Object markers in a drawing: magenta, (255, 0, 255), at least half opaque.
// Each connected group of magenta pixels (touching at a side or a corner) is
// one object, at the magenta pixel nearest the group's centre. A marker
// painted with a soft brush also blends magenta into what is around it: those
// pixels, and the group's other magenta pixels, take the colour of the
// nearest pixel outside the blot, so that the land or sky goes on under it.

#include <cstddef>
#include <vector>

#include "common/rgba.hpp"

namespace bmp2land::drawing {

inline constexpr Rgba kMagenta = {255, 0, 255, kOpaque};
// How far a blend reaches from the magenta it belongs to: a soft brush of 9
// pixels across blends over 4.
inline constexpr int kBlendReach = 5;

struct ObjectMarks {
    std::vector<std::size_t> centres;  // pixel offsets, top row first, ascending
    std::size_t fromBlots = 0;         // objects whose blot was more than one pixel
};

// Finds the objects and paints over their blots in `pixels` (width x height,
// top row first), the centres' own pixels too: the caller marks those.
ObjectMarks takeObjects(std::vector<Rgba>& pixels, std::size_t width, std::size_t height);

}  // namespace bmp2land::drawing
