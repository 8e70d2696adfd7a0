#pragma once

// The bridge between landinfo's report printers and the page. The printers
// still print through platform::printOut; in the page those print functions
// (printed_text.cpp) append to one text instead, which the page shows as
// landinfo's report. Both files go once the printers return their text.

#include <string>

namespace bmp2land::web {

// Everything printed since the last call; the next call starts anew.
std::string takePrintedText();

}  // namespace bmp2land::web
