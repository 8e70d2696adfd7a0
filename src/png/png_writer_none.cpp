// The PNG writer of a build without stb_image_write.h: every picture is
// refused with the reason, so that the programs still build and run.

#include "png/png_writer.hpp"

namespace bmp2land::png {

Expected<std::vector<std::uint8_t>, WriteError> encodeRgbPng(std::uint32_t, std::uint32_t, Bytes) {
    return fail(WriteError::NotBuilt);
}

}  // namespace bmp2land::png
