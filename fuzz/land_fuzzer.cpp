// Drives the whole in-memory path, from bitmap bytes to land file bytes, on
// arbitrary input.
//
// Random bytes nearly always fail the size check, so the first eight bytes
// steer a valid-looking header instead (compression, header size, colour
// count, pixel offset, bit count, size field) and the rest follows it as the
// palette and pixel data. The header size can pick the 12-byte core header,
// and flags can add colour masks after the header, store the rows top down
// and leave out the "BM" signature. Flags can also pad the file to full
// length and plant exactly 30 markers, so that conversion and writing are
// reached too.
//
// Invariants: a failure is one of the reader's or converter's known kinds; a
// success writes exactly the land file's length; the picture and mask always
// have their fixed sizes; landinfo checks as a bitmap every file that the
// reader takes past its headers, and its check reaches the same verdict as
// the conversion, with colours and land without a colour that fit the
// picture.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "land/land_conversion.hpp"
#include "land/land_format.hpp"
#include "land/land_writer.hpp"
#include "landinfo/level_check.hpp"
#include "uncoloured_land_check.hpp"

namespace {

using namespace bmp2land;

constexpr std::size_t kControlBytes = 8;
constexpr std::uint8_t kPadToFullLength = 0x01;
constexpr std::uint8_t kPlantMarkers = 0x02;
constexpr std::uint8_t kRawSize = 0x04;  // keep the fuzzed width and height
constexpr std::uint8_t kMasks = 0x08;    // colour masks after the info header
constexpr std::uint8_t kTopDown = 0x10;  // a negative height
constexpr std::uint8_t kNoSignature = 0x20;
constexpr std::uint32_t kCoreHeaderSize = bitmap::kCoreHeaderSize;

void require(bool condition) {
    if (!condition)
        std::abort();
}

std::uint32_t pick(std::uint8_t choice, const std::array<std::uint32_t, 8>& values) {
    return values[choice % values.size()];
}

// Headers shaped by the control bytes, then the fuzz body.
std::vector<std::uint8_t> shapeFile(const std::uint8_t* control, const std::uint8_t* body,
                                    std::size_t bodySize) {
    const std::uint32_t compression = pick(control[0], {0, 1, 1, 1, 3, 6, 2, control[0]});
    const std::uint32_t infoSize = pick(control[1], {40, 40, 108, 124, 12, 0, 64, 0xFFFFFFF0U});
    const std::uint32_t colours =
        pick(control[2], {0, 256, 16, 1, 255, 257, control[2], 0x40000000U});
    const std::uint32_t entries = (colours >= 1 && colours <= 256) ? colours : 256;
    const bool core = infoSize == kCoreHeaderSize;
    const std::uint32_t masks = (control[6] & kMasks) == 0 || core
                                    ? 0
                                    : (compression == bitmap::kBiAlphaBitFields ? 16 : 12);
    // A core header's palette has 3-byte entries; the reader counts them from
    // the pixel offset.
    const std::uint32_t natural =
        core ? 14 + kCoreHeaderSize + 3 * entries
             : 14 + std::min<std::uint32_t>(infoSize, 4096) + masks + 4 * entries;
    const std::uint32_t offBits = pick(
        control[3],
        {natural, natural, natural + control[4], natural - control[4], 1078, 0, 54, 0xFFFFFFFFU});
    const std::uint16_t bitCount = (control[5] & 0xF0) == 0 ? control[5] : 8;
    const std::uint32_t sizeImage =
        pick(control[7],
             {1336320, 1336322, 0, 0xFFFFFFF0U, static_cast<std::uint32_t>(bodySize), 1, 2, 3});

    const std::size_t headerBytes =
        core ? 14 + kCoreHeaderSize : 14 + std::clamp<std::size_t>(infoSize, 40, 4096) + masks;
    const bool rawSize = (control[6] & kRawSize) != 0 && bodySize >= 8;
    const std::int32_t height = rawSize ? body[2] | body[3] << 8 : bitmap::kHeight;
    bitmap::BitmapHeaders headers = bitmap::plainHeaders();
    if ((control[6] & kNoSignature) != 0)
        headers.file.bfType = 0;
    headers.file.bfOffBits = offBits;
    headers.info.biSize = infoSize;
    headers.info.biWidth = rawSize ? body[0] | body[1] << 8 : bitmap::kWidth;
    headers.info.biHeight = (control[6] & kTopDown) != 0 ? -height : height;
    headers.info.biBitCount = bitCount;
    headers.info.biCompression = compression;
    headers.info.biSizeImage = sizeImage;
    headers.info.biClrUsed = colours;
    std::vector<std::uint8_t> file(headerBytes, 0);
    bitmap::encodeHeaders(headers, file);
    file.insert(file.end(), body, body + bodySize);
    if ((control[6] & kPadToFullLength) != 0 && bodySize > 0) {
        // Repeats the body up to a full-length file, doubling the copy each time.
        const std::size_t start = headerBytes;
        const std::size_t full = std::max(file.size(), std::size_t{natural} + bitmap::kPixelCount);
        std::size_t filled = file.size();
        file.resize(full);
        while (filled < full) {
            const std::size_t n = std::min(filled - start, full - filled);
            std::memcpy(file.data() + filled, file.data() + start, n);
            filled += n;
        }
    }
    return file;
}

// Leaves exactly 30 markers, at places taken from the picture itself.
void plantMarkers(std::vector<std::uint8_t>& pixels) {
    // memchr rather than a byte loop: the loop's compares would be traced.
    std::uint8_t* const end = pixels.data() + pixels.size();
    for (std::uint8_t* at = pixels.data();;) {
        at = static_cast<std::uint8_t*>(
            std::memchr(at, land::kMarkerIndex, static_cast<std::size_t>(end - at)));
        if (at == nullptr)
            break;
        *at = 0;
    }
    std::size_t at =
        std::size_t{pixels[0]} * 4099U;  // NOLINT(readability-magic-numbers): any spread will do
    for (std::size_t placed = 0; placed < land::kObjectCount; at += 44497) {
        at %= pixels.size();
        if (pixels[at] != land::kMarkerIndex) {
            pixels[at] = land::kMarkerIndex;
            ++placed;
        }
    }
}

// The part a truncated file ran out in: its headers (with any masks) when it
// ends before the palette starts, else the palette, else the pixel data in
// the file's own encoding. Without accepted headers only the first applies.
bitmap::BitmapPart truncatedPart(const std::vector<std::uint8_t>& file,
                                 const bitmap::BitmapHeaders* headers) {
    if (headers == nullptr)
        return bitmap::BitmapPart::Headers;
    const bitmap::BodyLayout layout = bitmap::bodyLayout(*headers);
    if (file.size() < layout.paletteOffset)
        return bitmap::BitmapPart::Headers;
    if (file.size() < layout.paletteEnd())
        return bitmap::BitmapPart::Palette;
    return headers->info.biCompression == bitmap::kBiRle8 ? bitmap::BitmapPart::Rle8Data
                                                          : bitmap::BitmapPart::Pixels;
}

// A failure is one of the known kinds, and says where it happened.
bool knownReadError(const bitmap::ReadFailure& failure, const std::vector<std::uint8_t>& file,
                    const bitmap::BitmapHeaders* headers) {
    switch (failure.kind) {
        case bitmap::ReadError::Truncated:
            return failure.part == truncatedPart(file, headers);
        case bitmap::ReadError::TooLarge:  // only where a file is read in part
            return false;
        case bitmap::ReadError::Corrupt:
            return failure.offset < file.size() && failure.row < bitmap::kHeight &&
                   failure.column <= bitmap::kWidth;
        case bitmap::ReadError::NotEightBit:
        case bitmap::ReadError::WrongSize:
        case bitmap::ReadError::UnsupportedCompression:
            return true;
    }
    return false;
}

// landinfo's check of the file must reach the verdict bmp2land reaches:
// the same read failure, or pixels read with the first objects listed.
void requireRefused(const landinfo::LevelCheck& check, const bitmap::ReadFailure& failure) {
    require(check.readFailure == failure && !check.picture);
}

void requireRead(const landinfo::LevelCheck& check) {
    require(!check.readFailure && check.picture.has_value());
    const landinfo::PictureFacts& picture = *check.picture;
    require(picture.listed.size() == std::min(picture.objects, landinfo::kListedObjects));
    require(std::ranges::all_of(picture.listed, [](const land::ObjectPosition& p) {
        return p.x < land::kWidth && p.y < land::kHeight;
    }));
    require(picture.storedColours <= land::kColourCount);
    requireInPicture(picture.uncoloured);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kControlBytes)
        return 0;
    const std::vector<std::uint8_t> file =
        shapeFile(data, data + kControlBytes, size - kControlBytes);
    const landinfo::LevelCheck check = landinfo::checkLevel(file);

    const auto headers = bitmap::readHeaders(file);
    require(!headers || picture::pictureFormat(file) == picture::PictureFormat::Bmp);
    if (!headers) {
        require(knownReadError(headers.error(), file, nullptr));
        requireRefused(check, headers.error());
        return 0;
    }
    auto image = bitmap::readBody(file, *headers);
    if (!image) {
        require(knownReadError(image.error(), file, &*headers));
        requireRefused(check, image.error());
        return 0;
    }
    require(image->pixels.size() == bitmap::kPixelCount);
    requireRead(check);
    const bool planted = (data[6] & kPlantMarkers) != 0;
    if (planted)
        plantMarkers(image->pixels);

    const auto model = land::convert(*image);
    require(planted || check.converts() == model.ok());  // planting changes the picture
    if (!model) {
        require(model.error() == land::ConversionError::WrongObjectCount && !planted);
        return 0;
    }
    require(model->pixels.size() == land::kPixelCount && model->mask.size() == land::kMaskLength);
    MemorySink sink;
    require(land::write(*model, sink));
    require(sink.data.size() == land::kLandFileSize);
    return 0;
}
