#pragma once

#include <string>

#include "landinfo/level_check.hpp"

namespace bmp2land::landinfo {

// landinfo's lines on a bitmap, for standard output: the facts that could be
// read, the verdict in bmp2land's own words (with `path` as given), and the
// hints.
std::string levelCheckText(const LevelCheck& check, const char* path);
// Its verdict line: "verdict: converts", or word for word the line bmp2land
// ends with on the file.
std::string verdictText(const LevelCheck& check, const char* path);

}  // namespace bmp2land::landinfo
