#pragma once

#include "landinfo/level_check.hpp"

namespace bmp2land::landinfo {

// landinfo's lines on a bitmap, on standard output: the facts that could be
// read, the verdict in bmp2land's own words (with `path` as given), and the
// hints.
void printLevelCheck(const LevelCheck& check, const char* path);

}  // namespace bmp2land::landinfo
