#pragma once

#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"

namespace bmp2land::landinfo {

// landinfo's lines on a good land file, on standard output: its records, its
// masks and whether its export converts back, with the reasons if not.
void printLandSummary(const LandFile& file, const LandSummary& summary);

}  // namespace bmp2land::landinfo
