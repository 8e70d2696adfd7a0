#pragma once

// Object markers in a drawing: magenta, (255, 0, 255), at least half opaque.
// Each connected group of magenta pixels (touching at a side or a corner) is
// one object, at the magenta pixel nearest the group's centre: a line of
// magenta pixels is one object, and two objects need a pixel between them.
//
// A marker painted with a soft or anti-aliased brush also mixes magenta into
// what is around it, evenly or not. Those pixels are found from the magenta outwards, each less
// magenta than the one before, at most kBlendReach steps away, each a mix of magenta into one of
// the colours around the blot; they take that colour. The group's magenta pixels take the colour of
// the nearest pixel around them, or where they are partly transparent (a brush over a transparent
// sky), the sky's. A colour of its own beside a marker, pink land say, is not a blend and stays; so
// do the pixels around a marker of one hard pixel.

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
