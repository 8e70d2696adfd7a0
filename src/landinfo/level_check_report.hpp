#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "landinfo/level_check.hpp"
#include "landinfo/wording.hpp"

namespace bmp2land::landinfo {

// What landinfo says of the level a drawing (LevelCheck::isDrawing) would
// make: its facts, and its warnings.
struct DrawingLines {
    std::string facts;
    std::string warnings;
};

// landinfo's lines on a bitmap, for standard output: the facts that could be
// read, the verdict in bmp2land's own words (with `path` as given), and the
// hints and warnings. `drawing`'s facts come after the file's own, its
// warnings after the hints.
std::string levelCheckText(const LevelCheck& check, const char* path,
                           const DrawingLines& drawing = {}, Wording wording = Wording::Console);

// "verdict: converts", or the line bmp2land ends with on the file, word for
// word, with `path` as given.
std::string verdictText(const LevelCheck& check, const char* path);

// A bitmap's compression as people call it: "uncompressed", "RLE8" and so on.
std::string compressionName(std::uint32_t compression);
// The part of a bitmap that a failure is in: "headers", "palette"...
const char* partName(bitmap::BitmapPart part);
// The name to suggest for the level bitmap made of `picture`: level.bmp, or
// new-level.bmp where the picture is itself called level.bmp.
std::string levelNameBeside(std::string_view picture);

}  // namespace bmp2land::landinfo
