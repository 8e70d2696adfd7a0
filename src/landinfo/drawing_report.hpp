#pragma once

// landinfo's words on a drawing made into a level: one fact a line, each
// with the rule of docs/drawings.md that made it, and the reasons a picture
// is refused.

#include <string>

#include "drawing/drawing.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/wording.hpp"
#include "picture/picture.hpp"

namespace bmp2land::landinfo {

// The picture, its sky, objects, land and colours: what the file was and
// how its level was made.
std::string drawingText(const drawing::Level& level);
// The same without the picture's line.
std::string levelFactsText(const drawing::Level& level);

// The lines after the level is written: bmp2land's verdict on it (`check`,
// the check of the level's own bytes, named `out`), word for word, then what
// to do and what to know. `out` is null where only the level's preview is
// written.
std::string drawingVerdictText(const drawing::Level& level, const LevelCheck& check,
                               const char* out, Wording wording = Wording::Console);
// The warnings on the level, where the picture is only checked.
std::string drawingWarningsText(const drawing::Level& level, Wording wording = Wording::Console);

// Why a picture gives no level, for standard error after its name: the size
// found, PNG support not built, a format that is not read, a damaged file.
std::string pictureFailureText(const picture::PictureFailure& failure, PictureFormat format);

}  // namespace bmp2land::landinfo
