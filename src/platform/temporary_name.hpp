#pragma once

#include <string>

namespace bmp2land::platform {

// `target` followed by ".<16 hex digits>.tmp": a name beside `target` that a
// concurrent run will not pick.
std::string temporaryName(const std::string& target);

}  // namespace bmp2land::platform
