#pragma once

#include <string>

#include "landinfo/uncoloured_land.hpp"

namespace bmp2land::landinfo {

// The warning line on land without a colour, the same for a bitmap and a land
// file: how much, which entries, where, and what to do. Empty when there is
// none.
std::string uncolouredLandText(const UncolouredLand& land);

}  // namespace bmp2land::landinfo
