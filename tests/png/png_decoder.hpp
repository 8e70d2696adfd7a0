#pragma once

// Decodes a PNG with stb_image, a decoder written apart from the encoder the
// program uses, so that a test can compare what comes back pixel by pixel.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace testing_support {

struct DecodedPng {
    int width = 0;
    int height = 0;
    int channels = 0;               // as the file stores them
    std::vector<std::uint8_t> rgb;  // three bytes a pixel, top row first
};

std::optional<DecodedPng> decodePng(std::span<const std::uint8_t> png);

}  // namespace testing_support
