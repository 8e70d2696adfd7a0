#pragma once

#include <cstdint>
#include <string>

namespace bmp2land::app {

// "1 pixel", "2 pixels". A file's length can pass size_t where that has 32 bits.
inline std::string counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace bmp2land::app
