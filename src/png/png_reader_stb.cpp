// The PNG decoder: stb_image, PNG only, from memory. It is one header that
// builds alike for Linux, the static Windows program and WebAssembly, with
// no zlib or other library to find or link.
//
// stb_image sizes its buffers from the header, and grows the inflated data
// for as long as the stream goes on; its allocations go through here, and
// each is refused past what a picture of the header's size can need. It
// reads an index past the palette from entries it never set, and copies an
// IDAT chunk of no data through a null pointer: such a picture's palette is
// grown first, and its empty IDAT chunks left out.

#include <cstdlib>
#include <limits>
#include <vector>

#include "png/png_reader.hpp"

namespace {

// The most one allocation may take while a picture is decoded.
thread_local std::size_t allocationLimit = 0;

void* limitedMalloc(std::size_t size) {
    return size <= allocationLimit ? std::malloc(size) : nullptr;
}

void* limitedRealloc(void* block, std::size_t size) {
    return size <= allocationLimit ? std::realloc(block, size) : nullptr;
}

}  // namespace

#define STBI_MALLOC(size) limitedMalloc(size)
#define STBI_REALLOC(block, size) limitedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace bmp2land::png {
namespace {

constexpr int kRgbaChannels = 4;
// The widest a decoded row can be: 16-bit RGBA, with its filter byte.
constexpr std::uint64_t kMaxBytesPerPixel = 8;
constexpr std::uint64_t kSlack = 1U << 16;

// What one allocation of a picture this size may need at most: the inflated
// rows or the decoded picture, or the compressed data gathered from a file
// of `fileSize` bytes, grown by doubling. The inflated data starts at the
// length of a plain picture's rows and doubles while the stream goes on: an
// interlaced picture's passes hold more filter bytes than that, so its data
// doubles once.
std::size_t limitFor(std::uint64_t width, std::uint64_t height, bool interlaced,
                     std::uint64_t fileSize) {
    const std::uint64_t rows = height * (1 + width * kMaxBytesPerPixel);
    const std::uint64_t inflated = interlaced ? 2 * rows : rows;
    return static_cast<std::size_t>(std::max(inflated, 2 * fileSize) + kSlack);
}

Unexpected<PngFailure> refusedByDecoder(PngError kind) {
    const char* reason = stbi_failure_reason();
    return fail(PngFailure{kind, reason != nullptr ? reason : ""});
}

}  // namespace

bool pngDecoderBuilt() {
    return true;
}

Expected<PngPixels, PngFailure> decodePng(Bytes file, std::uint64_t maxPixels) {
    const auto header = readPngHeader(file);
    if (!header)
        return fail(header.error());
    std::vector<std::uint8_t> prepared;
    const std::size_t entries =
        header->colourType == ColourType::Indexed ? indexRange(*header) : std::size_t{0};
    if (header->palette.size() < entries || header->emptyImageData) {
        prepared = forDecoder(file, entries);
        file = prepared;
    }
    if (file.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return fail(PngFailure{PngError::TooLarge, {}});
    const int length = static_cast<int>(file.size());
    // The size from the header read above: stb's own look at the header
    // would name any problem it finds there "unknown image type".
    const std::uint64_t w = header->width;
    const std::uint64_t h = header->height;
    if (w * h > maxPixels)
        return fail(PngFailure{PngError::TooLarge, {}});

    int width = 0;
    int height = 0;
    int channels = 0;
    allocationLimit = limitFor(w, h, header->interlaced, file.size());
    stbi_uc* rgba =
        stbi_load_from_memory(file.data(), length, &width, &height, &channels, kRgbaChannels);
    allocationLimit = 0;
    if (rgba == nullptr)
        return refusedByDecoder(PngError::Corrupt);
    if (static_cast<std::uint64_t>(width) != w || static_cast<std::uint64_t>(height) != h) {
        stbi_image_free(rgba);
        return fail(PngFailure{PngError::Corrupt, {}});
    }
    PngPixels picture;
    picture.width = static_cast<std::uint32_t>(w);
    picture.height = static_cast<std::uint32_t>(h);
    picture.pixels.resize(static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const stbi_uc* p = rgba + i * kRgbaChannels;
        picture.pixels[i] = Rgba{p[0], p[1], p[2], p[3]};
    }
    stbi_image_free(rgba);
    return picture;
}

}  // namespace bmp2land::png
