#pragma once

#include <span>

#include "platform/files.hpp"

namespace bmp2land::landinfo {

// landinfo FILE [OUT.bmp]: checks a land file, prints its summary and, given
// OUT.bmp, exports its picture as a bitmap, never over an existing file.
// landinfo BITMAP: says what bmp2land would make of the bitmap, and why.
// landinfo PICTURE OUT.bmp: makes a level bitmap of any picture that is not a
// land file, by its colours, never over an existing file.
// landinfo FILE OUT.png, for any of them: also draws what it says as a
// picture, never over an existing file either: of a drawing, the level it
// gives; of a damaged land file, what could be read.
// Returns the process exit status. Every file is opened, read and written
// through `files`.
int runLandInfo(std::span<const char* const> args, platform::FileOperations& files);

}  // namespace bmp2land::landinfo
