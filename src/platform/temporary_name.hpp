#pragma once

#include <string>

namespace bmp2land::platform {

// `target` followed by ".<16 hex digits>.tmp": a name beside `target` that a
// concurrent run will not pick. A target name too long to take the 21 more
// bytes is cut first.
std::string temporaryName(const std::string& target);

}  // namespace bmp2land::platform
