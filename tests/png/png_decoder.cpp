#include "png_decoder.hpp"

#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace testing_support {

std::optional<DecodedPng> decodePng(std::span<const std::uint8_t> png) {
    DecodedPng decoded;
    constexpr int kRgb = 3;
    stbi_uc* pixels =
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &decoded.width,
                              &decoded.height, &decoded.channels, kRgb);
    if (pixels == nullptr)
        return std::nullopt;
    const std::size_t size =
        static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height) * kRgb;
    decoded.rgb.assign(pixels, pixels + size);
    stbi_image_free(pixels);
    return decoded;
}

}  // namespace testing_support
