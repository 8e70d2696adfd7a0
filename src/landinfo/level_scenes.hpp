#pragma once

// What a preview shows of each kind of file landinfo reads, as a scene for
// the renderer: a land file as far as it could be read, and a level bitmap as
// bmp2land's reader takes it (also the level a drawing gives). The texts a
// scene carries, a verdict or what could not be read, are landinfo's report's
// words, set where the report is made.

#include <string>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "drawing/drawing.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/level_check.hpp"
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

// What is wrong that the picture can't point at, as the legend's notes: of
// a bitmap checked (a picture kind that is not read, no sky), and of the
// level a drawing gives (no sky, magenta kept as land).
std::vector<std::string> bitmapNotes(const LevelCheck& check);
std::vector<std::string> drawingNotes(const drawing::DrawingFacts& facts);

}  // namespace bmp2land::landinfo
