#pragma once

#include <span>

#include "platform/files.hpp"

namespace bmp2land::app {

// The whole conversion, from the command line to land.dat. Prints every
// message on standard output and returns the process exit status. Every
// file is opened, read, written and replaced through `files`.
int run(std::span<const char* const> args, platform::FileOperations& files);

}  // namespace bmp2land::app
