#pragma once

#include <string>

#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"

namespace bmp2land::landinfo {

// landinfo's lines on a good land file, for standard output: its records, its
// masks and whether its export converts back, with the reasons if not.
std::string landSummaryText(const LandFile& file, const LandSummary& summary);

}  // namespace bmp2land::landinfo
