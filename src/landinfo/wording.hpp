#pragma once

#include <cstdint>

namespace bmp2land::landinfo {

// Who reads landinfo's advice: someone at a console, who can run the
// commands it names, or someone on the web page, which has no console but
// drops files, shows the preview and saves what it made.
enum class Wording : std::uint8_t { Console, Page };

}  // namespace bmp2land::landinfo
