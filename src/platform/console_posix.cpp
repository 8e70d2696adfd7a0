// The console on POSIX systems: the bytes go to the stream as they are.

#include <cstdio>

#include "platform/console.hpp"

namespace bmp2land::platform {
namespace {

// Nowhere is left to report a failed write to, so none is looked at.
void writeBytes(std::string_view utf8, std::FILE* stream) {
    (void)std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace

void printOut(std::string_view utf8) {
    writeBytes(utf8, stdout);
}

void printErr(std::string_view utf8) {
    writeBytes(utf8, stderr);
}

}  // namespace bmp2land::platform
