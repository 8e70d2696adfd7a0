#pragma once

#include "land/land_reader.hpp"
#include "land/land_summary.hpp"

namespace bmp2land::app {

// landinfo's lines on a good land file, on standard output: its records, its
// masks and whether its export converts back, with the reasons if not.
void printLandSummary(const land::LandFile& file, const land::LandSummary& summary);

}  // namespace bmp2land::app
