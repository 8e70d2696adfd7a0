#pragma once

// Encodes a picture as a PNG file in memory, for previews and example files.
// The encoder is a well-kept library's (stb_image_write) where the build found
// it; without it every call says that PNG support was not built.

#include <cstdint>
#include <vector>

#include "common/byte_order.hpp"
#include "common/expected.hpp"

namespace bmp2land::png {

enum class WriteError : std::uint8_t {
    NotBuilt,    // this build has no PNG encoder (stb_image_write.h was not found)
    BadPicture,  // a side of 0, a picture too large to encode, or bytes that don't match its size
    Failed,      // the encoder gave nothing: out of memory
};

// An 8-bit RGB PNG of `width` x `height` pixels; `rgb` holds red, green and
// blue for each pixel, top row first. The same picture always gives the same
// bytes. Out of memory: Failed, or std::bad_alloc where the encoder could
// not go on.
Expected<std::vector<std::uint8_t>, WriteError> encodeRgbPng(std::uint32_t width,
                                                             std::uint32_t height, Bytes rgb);

// What a failure means, in words for a report: "PNG support was not built".
const char* describe(WriteError error);

}  // namespace bmp2land::png
