// PNG encoding through stb_image_write (Debian: libstb-dev), compiled into this
// file alone: its functions stay private to it, and it touches no files.

#include <cstdlib>
#include <limits>
#include <new>

#include "png/png_writer.hpp"

namespace bmp2land::png {
namespace {

constexpr int kChannels = 3;

// Measured on the example level's preview, for each of stb's filter choices
// and compression levels: rows stored as they are (filter 0) came out both
// smaller and faster than stb's choice per row (36 ms for 153 KB against
// 77 ms for 192 KB), since a preview is flat areas of few colours. Level 8,
// stb's default (the length of its match search), against 27 ms for 164 KB
// at 5 and below, and 65 ms for 147 KB at 16.
constexpr int kFilter = 0;
constexpr int kCompressionLevel = 8;

// stb's allocations, never of 0 bytes: malloc may answer those with a null
// pointer, which stb would take for running out of memory.
void* allocate(std::size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

// stb grows its buffers without checking the result, and would write through
// a null pointer; running out of memory there throws instead, as new does,
// leaving stb's buffers to the process's end.
void* reallocate(void* block, std::size_t size) {
    void* grown = std::realloc(block, size);
    if (grown == nullptr)
        throw std::bad_alloc();
    return grown;
}

// stb counts the filtered rows (a filter byte and the samples of each) in an int.
bool encodable(std::uint32_t width, std::uint32_t height, Bytes rgb) {
    const std::uint64_t samples = std::uint64_t{width} * height * kChannels;
    const std::uint64_t filtered = (std::uint64_t{width} * kChannels + 1) * height;
    return rgb.size() == samples &&
           filtered <= static_cast<std::uint64_t>(std::numeric_limits<int>::max());
}

void append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace
}  // namespace bmp2land::png

#define STBIW_MALLOC(size) bmp2land::png::allocate(size)
#define STBIW_REALLOC(block, size) bmp2land::png::reallocate(block, size)
#define STBIW_FREE(block) std::free(block)
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace bmp2land::png {

Expected<std::vector<std::uint8_t>, WriteError> encodeRgbPng(std::uint32_t width,
                                                             std::uint32_t height, Bytes rgb) {
    if (!encodable(width, height, rgb))
        return fail(WriteError::BadPicture);
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    if (w <= 0 || h <= 0)
        return fail(WriteError::BadPicture);
    stbi_write_force_png_filter = kFilter;
    stbi_write_png_compression_level = kCompressionLevel;
    std::vector<std::uint8_t> png;
    if (stbi_write_png_to_func(append, &png, w, h, kChannels, rgb.data(), w * kChannels) == 0)
        return fail(WriteError::Failed);
    return png;
}

}  // namespace bmp2land::png
