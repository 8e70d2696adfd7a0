#pragma once

#include <string>

#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/wording.hpp"

namespace bmp2land::landinfo {

// landinfo's lines on a good land file, for standard output: its records, its
// masks and whether its export converts back, with the reasons if not, and
// warnings; `path` is the file as given.
std::string landSummaryText(const LandFile& file, const LandSummary& summary, const char* path,
                            Wording wording = Wording::Console);

}  // namespace bmp2land::landinfo
