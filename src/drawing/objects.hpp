#pragma once

// Object markers in a drawing: magenta, (255, 0, 255), at least half opaque,
// or a colour within kMarkerTolerance of it in every channel.
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
// How far in each channel a marker may stray from magenta: a paint program's
// reduced palette moves it a few levels (GIMP's indexed conversion makes it
// 255, 0, 253 or 250, 0, 250, say). No colour of the level palette comes
// this near; a soft brush's mix of magenta into another colour does only
// where it is nearly all magenta, and is then part of the marker anyway.
inline constexpr int kMarkerTolerance = 8;
// How far a blend reaches from the magenta it belongs to: a soft brush of 9
// pixels across blends over 4.
inline constexpr int kBlendReach = 5;

struct ObjectMarks {
    std::vector<std::size_t> centres;  // pixel offsets, top row first, ascending
    std::size_t fromBlots = 0;         // objects whose blot was more than one pixel
    // Objects marked only near magenta, with no pixel of magenta itself, and
    // the pixels that mark them.
    std::size_t nearMagentaObjects = 0;
    std::size_t nearMagentaPixels = 0;
    // Spots of magenta mixed into the land or sky that hold no marker pixel
    // (a soft brush too small to leave one): each one's most magenta pixel,
    // top row first. They stay as they are.
    std::vector<std::size_t> spots;
    // Spots of magenta mixes beside an object, of any size: what a marker
    // too wide or soft to take apart left (a strong blur, a JPEG's edges),
    // or a dot with no pure magenta. They stay as they are.
    std::vector<std::size_t> leftovers;
};

// Whether a pixel marks an object: magenta or near it, at least half opaque.
bool isMarker(const Rgba& p);

// Finds the objects and paints over their blots in `pixels` (width x height,
// top row first), the centres' own pixels too: the caller marks those.
ObjectMarks takeObjects(std::vector<Rgba>& pixels, std::size_t width, std::size_t height);

}  // namespace bmp2land::drawing
