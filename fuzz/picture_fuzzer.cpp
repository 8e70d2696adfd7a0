// Drives the way from any picture to a level bitmap, in memory, on arbitrary
// input: the picture reader (PNG and every kind of BMP) and the mapping from
// colours to entries.
//
// Random bytes nearly always fail the size check, so the first eight bytes
// steer a plausible picture of the level's size instead, and the rest
// follows as its data:
//   byte 0  the kind: a BMP, a PNG, or the body as it is (any file);
//   byte 1  BMP: the bit count; PNG: the colour type and bit depth;
//   byte 2  BMP: the compression; PNG: the palette's length;
//   byte 3  BMP: the header size;
//   byte 4  flags: keep the body's first bytes as the width and height, fill
//           the picture's whole length by repeating the body, store the rows
//           top-down (BMP) or interlaced (PNG), plant 30 objects (8-bit BMP);
//   bytes 5 to 7: BMP: biClrUsed, bfOffBits's slack, the masks' choice.
// A PNG's image data is the repeated body in stored deflate blocks, so that
// the decoder reaches its filters and pixels and not only zlib's checks.
//
// Invariants: a refusal is one of the reader's kinds and, where the headers
// could be read, says what they said, and landinfo has words for it; a level
// is 1920 x 696 with entries 1 to 95, 0 and 255 only, and its facts add up:
// its pixels, its colours, its objects and how it was mapped; landinfo's
// report on it writes the level, and says it converts exactly when its
// object count is right; its preview's scene has every pixel and object.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "drawing/drawing.hpp"
#include "land/land_format.hpp"
#include "landinfo/drawing_report.hpp"
#include "landinfo/inspection.hpp"
#include "landinfo/level_scenes.hpp"
#include "picture/picture.hpp"

namespace {

using namespace bmp2land;
using File = std::vector<std::uint8_t>;

constexpr std::size_t kControlBytes = 8;
constexpr std::uint8_t kRawSize = 0x01;
constexpr std::uint8_t kPad = 0x02;
constexpr std::uint8_t kTopDownOrInterlaced = 0x04;
constexpr std::uint8_t kPlantObjects = 0x08;

void require(bool condition) {
    if (!condition)
        std::abort();
}

template <typename T, std::size_t N>
T pick(std::uint8_t choice, const std::array<T, N>& values) {
    return values[choice % N];
}

void putBig32(File& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// `body` repeated up to `length` bytes, or as it is.
File filled(const std::uint8_t* body, std::size_t size, std::size_t length, bool pad) {
    File out(body, body + size);
    if (!pad || size == 0)
        return out;
    out.resize(std::max(size, length));
    for (std::size_t at = size; at < out.size(); ++at)
        out[at] = out[at - size];
    return out;
}

struct Size {
    std::uint32_t width = picture::kLevelWidth;
    std::uint32_t height = picture::kLevelHeight;
};

Size sizeOf(const std::uint8_t* control, const std::uint8_t* body, std::size_t size) {
    if ((control[4] & kRawSize) == 0 || size < 4)
        return {};
    return {static_cast<std::uint32_t>(body[0] | body[1] << 8),
            static_cast<std::uint32_t>(body[2] | body[3] << 8)};
}

File shapeBmp(const std::uint8_t* control, const std::uint8_t* body, std::size_t size) {
    const std::uint16_t bits =
        pick<std::uint16_t>(control[1], std::array<std::uint16_t, 8>{1, 4, 8, 8, 16, 24, 32, 2});
    const std::uint32_t compression =
        pick<std::uint32_t>(control[2], std::array<std::uint32_t, 8>{0, 0, 1, 2, 3, 6, 4, 0});
    const std::uint32_t headerSize = pick<std::uint32_t>(
        control[3], std::array<std::uint32_t, 8>{40, 40, 12, 124, 108, 56, 52, 64});
    const bool core = headerSize == bitmap::kCoreHeaderSize;
    const bool topDown = (control[4] & kTopDownOrInterlaced) != 0;
    const Size s = sizeOf(control, body, size);
    const std::size_t masks =
        headerSize == bitmap::kInfoHeaderSize &&
                (compression == bitmap::kBiBitFields || compression == bitmap::kBiAlphaBitFields)
            ? 16
            : 0;
    const std::size_t entries = bits <= 8 ? std::size_t{1} << bits : 0;
    const std::size_t headers = bitmap::kFileHeaderSize + headerSize + masks;
    const std::size_t palette = entries * (core ? 3 : 4);

    bitmap::BitmapHeaders h = bitmap::plainHeaders();
    h.info.biSize = headerSize;
    h.info.biWidth = static_cast<std::int32_t>(s.width);
    h.info.biHeight = static_cast<std::int32_t>(s.height) * (topDown ? -1 : 1);
    h.info.biBitCount = bits;
    h.info.biCompression = compression;
    h.info.biClrUsed = control[5];
    h.file.bfOffBits = static_cast<std::uint32_t>(headers + palette + (control[6] & 0x0F));
    File file(std::max<std::size_t>(headers, bitmap::kHeadersSize), 0);
    bitmap::encodeHeaders(h, file);
    file.resize(headers);
    // Masks inside a longer header, or after a 40-byte one: ones that fit the
    // bit count, or the body's own.
    const std::array<std::array<std::uint32_t, 4>, 4> choices = {{
        {0xF800, 0x07E0, 0x001F, 0},
        {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
        {0x7C00, 0x03E0, 0x001F, 0x8000},
        {0x000000FF, 0x0000FF00, 0x00FF0000, 0},
    }};
    const auto& chosen = choices[control[7] % choices.size()];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = bitmap::kHeadersSize + 4 * i;
        if (at + 4 <= file.size())
            storeU32(file, at, chosen[i]);
    }
    const std::uint64_t rowBytes = (std::uint64_t{s.width} * bits + 31) / 32 * 4;
    const auto pixels = static_cast<std::size_t>(
        std::min<std::uint64_t>(rowBytes * s.height, std::uint64_t{1} << 24));
    const File data =
        filled(body, size, palette + (control[6] & 0x0F) + pixels, (control[4] & kPad) != 0);
    file.insert(file.end(), data.begin(), data.end());
    if ((control[4] & kPlantObjects) != 0 && bits == 8 && compression == bitmap::kBiRgb &&
        file.size() >= h.file.bfOffBits + bitmap::kPixelCount) {
        std::uint8_t* start = file.data() + h.file.bfOffBits;
        std::replace(start, start + bitmap::kPixelCount, std::uint8_t{255}, std::uint8_t{254});
        for (std::size_t k = 0; k < 30; ++k)
            start[(k * 44497 + body[0]) % bitmap::kPixelCount] = 255;
    }
    return file;
}

void putChunk(File& png, const char* type, const File& data) {
    putBig32(png, static_cast<std::uint32_t>(data.size()));
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBig32(png, 0);  // the CRC: not checked
}

// The data in stored deflate blocks after zlib's header; the checksum at the
// end is left 0, as the decoder does not check it.
File stored(const File& data) {
    File out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, data.size() - at);
        out.push_back(at + n == data.size() ? 1 : 0);
        out.insert(out.end(), {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                               static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)});
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    out.insert(out.end(), {0, 0, 0, 0});
    return out;
}

// The image data: without padding the body as it is; with it, every row of
// every pass its length, starting with a filter type (0 to 4) taken from the
// body, and the body repeated as the row's bytes.
File scanlines(const std::uint8_t* body, std::size_t size, Size s, std::uint64_t bitsPerPixel,
               bool interlaced, bool pad) {
    if (!pad || size == 0)
        return File(body, body + size);
    constexpr std::array<std::array<std::uint32_t, 4>, 7> kAdam7 = {{{0, 0, 8, 8},
                                                                     {4, 0, 8, 8},
                                                                     {0, 4, 4, 8},
                                                                     {2, 0, 4, 4},
                                                                     {0, 2, 2, 4},
                                                                     {1, 0, 2, 2},
                                                                     {0, 1, 1, 2}}};
    const std::array<std::array<std::uint32_t, 4>, 1> kWhole = {{{0, 0, 1, 1}}};
    File out;
    std::size_t from = 0;
    const auto passRows = [&](const auto& passes) {
        for (const auto& p : passes) {
            if (p[0] >= s.width || p[1] >= s.height)
                continue;
            const std::uint64_t columns = (s.width - p[0] + p[2] - 1) / p[2];
            const std::uint64_t rows = (s.height - p[1] + p[3] - 1) / p[3];
            const std::uint64_t rowBytes = (columns * bitsPerPixel + 7) / 8;
            for (std::uint64_t r = 0; r < rows && out.size() < (std::size_t{1} << 24); ++r) {
                out.push_back(body[from++ % size] % 5);
                for (std::uint64_t b = 0; b < rowBytes; ++b)
                    out.push_back(body[from++ % size]);
            }
        }
    };
    if (interlaced)
        passRows(kAdam7);
    else
        passRows(kWhole);
    return out;
}

File shapePng(const std::uint8_t* control, const std::uint8_t* body, std::size_t size) {
    // Colour type and bit depth, valid pairs first.
    constexpr std::array<std::array<std::uint8_t, 2>, 16> kTypes = {{{0, 1},
                                                                     {0, 2},
                                                                     {0, 4},
                                                                     {0, 8},
                                                                     {0, 16},
                                                                     {2, 8},
                                                                     {2, 16},
                                                                     {3, 1},
                                                                     {3, 2},
                                                                     {3, 4},
                                                                     {3, 8},
                                                                     {4, 8},
                                                                     {4, 16},
                                                                     {6, 8},
                                                                     {6, 16},
                                                                     {3, 16}}};
    const auto& type = kTypes[control[1] % kTypes.size()];
    const Size s = sizeOf(control, body, size);
    const bool interlaced = (control[4] & kTopDownOrInterlaced) != 0;
    File png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    File header;
    putBig32(header, s.width);
    putBig32(header, s.height);
    header.insert(header.end(), {type[1], type[0], 0, 0, static_cast<std::uint8_t>(interlaced)});
    putChunk(png, "IHDR", header);
    const std::size_t paletteBytes = std::min<std::size_t>(size, std::size_t{3} * control[2]);
    if (type[0] == 3 || paletteBytes > 0)
        putChunk(png, "PLTE", File(body, body + paletteBytes));
    if ((control[5] & 1) != 0)
        putChunk(png, "tRNS", File(body, body + std::min<std::size_t>(size, control[6])));
    const std::uint64_t channels = type[0] == 2 ? 3 : type[0] == 4 ? 2 : type[0] == 6 ? 4 : 1;
    putChunk(
        png, "IDAT",
        stored(scanlines(body, size, s, channels * type[1], interlaced, (control[4] & kPad) != 0)));
    putChunk(png, "IEND", {});
    return png;
}

// The level's facts add up to its pixels, and its entries are the ones a
// level may have.
void requireSound(const drawing::Level& level) {
    const bitmap::BitmapImage& image = level.image;
    require(image.pixels.size() == bitmap::kPixelCount);
    require(image.infoHeader.biWidth == bitmap::kWidth &&
            image.infoHeader.biHeight == bitmap::kHeight &&
            image.fileHeader.bfOffBits == bitmap::kFixedPixelOffset);
    std::array<std::size_t, 256> counts{};
    for (const std::uint8_t v : image.pixels)
        ++counts[v];
    for (std::size_t v = 96; v < 255; ++v)
        require(counts[v] == 0);
    const drawing::DrawingFacts& f = level.facts;
    require(f.skyPixels == counts[0] && f.objects == counts[255]);
    require(f.skyPixels + f.objects + f.landPixels == bitmap::kPixelCount);
    const auto used = static_cast<std::size_t>(std::count_if(
        counts.begin() + 1, counts.begin() + 96, [](std::size_t n) { return n > 0; }));
    require(f.levelColours == used && used <= 95);
    require(f.objectsFromBlots <= f.objects);
    require(f.nearMagentaObjects <= f.objects && f.nearMagentaObjects <= f.nearMagentaPixels);
    for (const auto* spots : {&f.magentaSpots, &f.markerLeftovers})
        require(std::is_sorted(spots->begin(), spots->end()) &&
                (spots->empty() || spots->back() < bitmap::kPixelCount));
    require(f.meanChange >= 0 && f.meanChange <= f.largestChange);
    switch (f.mapping) {
        case drawing::Mapping::KeptEntries:
            require(f.objects == 30);
            break;
        case drawing::Mapping::LevelPalette:
            // Its greys, where they make more than 95 colours, take stored entries.
            require(f.unstoredPixels > 0 ? f.drawingColours > 95
                                         : f.drawingColours == used && f.largestChange == 0);
            break;
        case drawing::Mapping::OwnColours:
            require(f.drawingColours == used && f.largestChange == 0 && f.unstoredPixels == 0);
            break;
        case drawing::Mapping::Merged:
            require(f.drawingColours > 95 && f.method == drawing::kMergeMethod);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kControlBytes)
        return 0;
    const std::uint8_t* body = data + kControlBytes;
    const std::size_t bodySize = size - kControlBytes;
    File file;
    switch (data[0] % 3) {
        case 0:
            file = shapeBmp(data, body, bodySize);
            break;
        case 1:
            file = shapePng(data, body, bodySize);
            break;
        default:
            file.assign(body, body + bodySize);
    }
    const auto level = drawing::levelFromFile(file);
    if (!level) {
        const picture::PictureFailure& failure = level.error();
        if (failure.kind == picture::PictureError::WrongSize && failure.facts)
            require(failure.facts->width != picture::kLevelWidth ||
                    failure.facts->height != picture::kLevelHeight);
        require(!landinfo::pictureFailureText(failure, picture::pictureFormat(file)).empty());
        return 0;
    }
    requireSound(*level);
    landinfo::Request request;
    request.output = landinfo::Output::Bitmap;
    request.outPath = "level.bmp";
    const landinfo::Inspection inspection = landinfo::levelInspection(request, *level);
    require(inspection.written && inspection.err.empty());
    require((inspection.status == landinfo::kSuccess) == level->facts.converts());
    require(inspection.afterWritten.starts_with("verdict: "));
    // The preview's scene: every pixel of the level, each object ringed.
    const preview::Scene scene = landinfo::levelBitmapScene(level->image);
    require(scene.picture.size() == land::kPixelCount &&
            scene.objects.size() == level->facts.objects);
    return 0;
}
