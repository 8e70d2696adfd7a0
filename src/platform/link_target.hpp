#pragma once

#include <optional>
#include <string>

namespace bmp2land::platform {

// The file that `path` finally names: `path` itself unless it is a symbolic
// link, else the end of its chain of links, whether anything is there yet or
// not. Empty for a loop of links or a link that can't be read.
std::optional<std::string> finalTarget(const std::string& path);

}  // namespace bmp2land::platform
