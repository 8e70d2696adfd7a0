#pragma once

#include <span>

namespace bmp2land::app {

// landinfo FILE [OUT.bmp]: checks a land file, prints its summary and, given
// OUT.bmp, exports its picture as a bitmap that converts back to the same
// land file. Returns the process exit status.
int runLandInfo(std::span<const char* const> args);

}  // namespace bmp2land::app
