#pragma once

// What a preview shows of each kind of file landinfo reads, as a scene for
// the renderer: a land file as far as it could be read, and a level bitmap as
// bmp2land's reader takes it (also the level a drawing gives). The texts a
// scene carries, a verdict or what could not be read, are landinfo's report's
// words, set where the report is made.

#include "bitmap/bitmap_image.hpp"
#include "landinfo/land_reader.hpp"
#include "preview/scene.hpp"

namespace bmp2land::landinfo {

// Its picture and colours, its objects in file order, and every pixel where
// either mask disagrees with the picture; of a damaged file, what was read
// before the first problem (nothing of a bad header).
preview::Scene landFileScene(const LandFileReading& reading);

// The picture turned top row first, as the land file would hold it, with
// the markers taken out as objects in the order the conversion finds them
// (all of them, however many), and the colours of entries 1 to 95.
preview::Scene levelBitmapScene(const bitmap::BitmapImage& level);

}  // namespace bmp2land::landinfo
