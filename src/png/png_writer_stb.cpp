// PNG encoding through stb_image_write (Debian: libstb-dev), compiled into this
// file alone: its functions stay private to it, and it touches no files.

#include <limits>

#include "png/png_writer.hpp"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace bmp2land::png {
namespace {

constexpr int kChannels = 3;

// Measured on the example level's preview (bench/preview_bench): rows stored
// as they are (filter 0) came out both smaller and faster than stb's choice
// per row, since a preview is flat areas of few colours; compression level 8
// (stb's default, the length of its match search) took 36 ms for 153 KB,
// where 5 and below took 27 ms for 164 KB and 16 took 65 ms for 147 KB.
constexpr int kFilter = 0;
constexpr int kCompressionLevel = 8;

// stb counts the filtered rows (a filter byte and the samples of each) in an int.
bool encodable(std::uint32_t width, std::uint32_t height, Bytes rgb) {
    const std::uint64_t samples = std::uint64_t{width} * height * kChannels;
    const std::uint64_t filtered = (std::uint64_t{width} * kChannels + 1) * height;
    return width > 0 && height > 0 && rgb.size() == samples &&
           filtered <= static_cast<std::uint64_t>(std::numeric_limits<int>::max());
}

void append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

Expected<std::vector<std::uint8_t>, WriteError> encodeRgbPng(std::uint32_t width,
                                                             std::uint32_t height, Bytes rgb) {
    if (!encodable(width, height, rgb))
        return fail(WriteError::BadPicture);
    stbi_write_force_png_filter = kFilter;
    stbi_write_png_compression_level = kCompressionLevel;
    std::vector<std::uint8_t> png;
    const int w = static_cast<int>(width);
    if (stbi_write_png_to_func(append, &png, w, static_cast<int>(height), kChannels, rgb.data(),
                               w * kChannels) == 0)
        return fail(WriteError::Failed);
    return png;
}

}  // namespace bmp2land::png
