#pragma once

#include <span>

namespace bmp2land::app {

// The whole conversion, from the command line to land.dat. Prints every
// message on standard output and returns the process exit status.
int run(std::span<const char* const> args);

}  // namespace bmp2land::app
