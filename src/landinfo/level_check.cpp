#include "landinfo/level_check.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "bitmap/bitmap_headers.hpp"
#include "drawing/drawing.hpp"
#include "land/land_format.hpp"

namespace bmp2land::landinfo {

using namespace land;
namespace {

using Kind = Hint::Kind;
using Histogram = std::array<std::size_t, bitmap::kPaletteEntries>;

// Where a file of `bitCount` bits keeps its palette, and how many entries it
// says it has; the reader's own layout for the 8-bit files it reads.
bitmap::BodyLayout paletteLayout(const bitmap::BitmapHeaders& headers) {
    const bitmap::InfoHeader& info = headers.info;
    if (info.biBitCount == bitmap::kBitCount)
        return bitmap::bodyLayout(headers);
    bitmap::BodyLayout layout;
    layout.paletteOffset = std::uint64_t{bitmap::kFileHeaderSize} + info.biSize;
    if (info.biSize == bitmap::kCoreHeaderSize)
        layout.paletteEntrySize = bitmap::kCorePaletteEntrySize;
    if (info.biBitCount == 0 || info.biBitCount > bitmap::kBitCount) {
        layout.paletteEntries = 0;
        return layout;
    }
    const std::uint64_t full = std::uint64_t{1} << info.biBitCount;
    layout.paletteEntries = info.biClrUsed >= 1 && info.biClrUsed <= full ? info.biClrUsed : full;
    return layout;
}

// The whole entries the file holds of those: fewer when it is cut short.
std::uint64_t paletteEntries(const bitmap::BitmapHeaders& headers, std::uint64_t fileSize) {
    const bitmap::BodyLayout layout = paletteLayout(headers);
    if (layout.paletteOffset >= fileSize)
        return 0;
    return std::min(layout.paletteEntries,
                    (fileSize - layout.paletteOffset) / layout.paletteEntrySize);
}

BitmapFacts bitmapFacts(Bytes file) {
    const bitmap::BitmapHeaders headers = bitmap::decodeHeaders(file);
    const bitmap::InfoHeader& info = headers.info;
    return BitmapFacts{info.biWidth,       info.biHeight, info.biBitCount,
                       info.biCompression, info.biSize,   paletteEntries(headers, file.size())};
}

Histogram histogram(Bytes pixels) {
    Histogram counts{};
    for (const std::uint8_t v : pixels)
        ++counts[v];
    return counts;
}

// `paletteEntries` are those the reader took from the file: entry 0 first.
PictureFacts pictureFacts(const bitmap::BitmapImage& image, const Histogram& counts,
                          std::uint64_t paletteEntries) {
    PictureFacts facts;
    std::array<ObjectPosition, kListedObjects> first{};
    const MarkedPicture marked = takeMarkers(image, first);
    facts.objects = marked.markers;
    facts.listed.assign(first.begin(), first.begin() + std::min(marked.markers, first.size()));
    // Entry 0 comes first; entries 1 to 95 follow as far as the file has them.
    facts.storedColours =
        paletteEntries == 0
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(paletteEntries - 1, kColourCount));
    // Markers become 0 like the pixels that are 0 already.
    facts.landPixels = kPixelCount - counts[0] - counts[kMarkerIndex];
    facts.skyPixels = counts[0];
    facts.uncoloured = findUncolouredLand(marked.pixels);
    return facts;
}

bool sameColour(bitmap::RgbQuad a, bitmap::RgbQuad b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Pixels that look like objects to the eye but are not index 255: an entry
// with entry 255's colour, or one of magenta, the colour landinfo exports
// objects in, when no pixel is 255. Only objects missing can be elsewhere:
// with 30 or more found, such an entry is land in a look-alike colour. Entry
// 0 is the empty background, never a misplaced object; and when entry 255 has
// entry 0's colour it has no colour of its own to look for.
void markerColourHints(const bitmap::BitmapImage& image, const Histogram& counts,
                       std::size_t objects, std::vector<Hint>& hints) {
    if (objects >= kObjectCount)
        return;
    const bitmap::RgbQuad marker = image.palette[kMarkerIndex];
    const bool markerHasItsColour = !sameColour(marker, image.palette[0]);
    for (std::size_t entry = 1; entry < kMarkerIndex; ++entry) {
        const bitmap::RgbQuad colour = image.palette[entry];
        const bool likeEntry255 = markerHasItsColour && sameColour(colour, marker);
        const bool magenta = objects == 0 && sameColour(colour, kMagenta);
        if (counts[entry] == 0 || !(likeEntry255 || magenta))
            continue;
        Hint hint{Kind::MarkerColourElsewhere};
        hint.entry = static_cast<std::uint8_t>(entry);
        hint.colour = colour;
        hint.pixels = counts[entry];
        hint.colourOfEntry255 = likeEntry255;
        hints.push_back(hint);
    }
}

// Object pixels with another one left, right, above or below: a brush wider
// than one pixel paints each object as a blob of them.
void touchingObjectsHint(Bytes pixels, std::vector<Hint>& hints) {
    const auto isMarker = [&](std::size_t at) { return pixels[at] == kMarkerIndex; };
    std::size_t touching = 0;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        const auto* hit = static_cast<const std::uint8_t*>(
            std::memchr(pixels.data() + at, kMarkerIndex, pixels.size() - at));
        if (hit == nullptr)
            break;
        at = static_cast<std::size_t>(hit - pixels.data());
        const std::size_t x = at % kWidth;
        touching += (x > 0 && isMarker(at - 1)) || (x + 1 < kWidth && isMarker(at + 1)) ||
                    (at >= kWidth && isMarker(at - kWidth)) ||
                    (at + kWidth < pixels.size() && isMarker(at + kWidth));
    }
    if (touching > 0) {
        Hint hint{Kind::TouchingObjects};
        hint.pixels = touching;
        hints.push_back(hint);
    }
}

// The most pixels one object's marker can take: a square of 50 x 50 is wider
// than any brush an object is marked with. Beyond it, or beyond 30 of them,
// entry 255 is not markers but sky or land.
constexpr std::size_t kLargestMarkerBlot = std::size_t{50} * 50;

// The largest group of object pixels that touch at a side or a corner.
std::size_t largestMarkerArea(Bytes pixels) {
    std::vector<bool> seen(pixels.size());
    std::vector<std::size_t> next;
    std::size_t largest = 0;
    for (std::size_t start = 0; start < pixels.size(); ++start) {
        if (pixels[start] != kMarkerIndex || seen[start])
            continue;
        std::size_t area = 0;
        seen[start] = true;
        next.assign(1, start);
        while (!next.empty()) {
            const std::size_t at = next.back();
            next.pop_back();
            ++area;
            const std::size_t x = at % kWidth;
            const std::size_t y = at / kWidth;
            for (std::size_t ny = y > 0 ? y - 1 : y; ny <= y + 1 && ny < kHeight; ++ny) {
                for (std::size_t nx = x > 0 ? x - 1 : x; nx <= x + 1 && nx < kWidth; ++nx) {
                    const std::size_t near = ny * kWidth + nx;
                    if (pixels[near] == kMarkerIndex && !seen[near]) {
                        seen[near] = true;
                        next.push_back(near);
                    }
                }
            }
        }
        largest = std::max(largest, area);
    }
    return largest;
}

// Far more pixels of entry 255 than 30 markers can have: the paint program
// renumbered the palette and put the sky, or a land colour, on the object
// entry. Says whether the level made of the file by colour converts, which
// puts every colour back where it belongs when the sky is black and the
// objects magenta.
bool renumberedPaletteHint(Bytes file, const bitmap::BitmapImage& image, const Histogram& counts,
                           std::vector<Hint>& hints) {
    const std::size_t markers = counts[kMarkerIndex];
    if (markers <= kLargestMarkerBlot)
        return false;
    const std::size_t largest = largestMarkerArea(image.pixels);
    if (largest <= kLargestMarkerBlot && markers <= kObjectCount * kLargestMarkerBlot)
        return false;
    Hint hint{Kind::RenumberedPalette};
    hint.pixels = markers;
    hint.largestArea = largest;
    hint.entry = static_cast<std::uint8_t>(kMarkerIndex);
    hint.colour = image.palette[kMarkerIndex];
    const auto remade = drawing::levelFromFile(file);
    if (remade) {
        hint.remadeSky = remade->facts.skyPixels;
        hint.remadeObjects = remade->facts.objects;
        hint.remadeConverts = remade->facts.converts() && hint.remadeSky > 0;
    }
    hints.push_back(hint);
    return true;
}

void bitCountHint(std::uint16_t bitCount, std::vector<Hint>& hints) {
    Hint hint{Kind::OtherBitCount};
    if (bitCount == 1 || bitCount == 2 || bitCount == 4)
        hint.kind = Kind::TooFewBits;
    else if (bitCount == 16 || bitCount == 24 || bitCount == 32)
        hint.kind = Kind::NoPalette;
    hint.bitCount = bitCount;
    hints.push_back(hint);
}

// The size as a paint program shows it: a top-down bitmap's height is negative.
void wrongSizeHint(const BitmapFacts& facts, std::vector<Hint>& hints) {
    Hint hint{Kind::WrongSize};
    hint.width = static_cast<std::uint32_t>(std::abs(std::int64_t{facts.width}));
    hint.height = static_cast<std::uint32_t>(std::abs(std::int64_t{facts.height}));
    hints.push_back(hint);
}

void readFailureHints(Bytes file, std::uint64_t fileSize, const LevelCheck& check,
                      std::vector<Hint>& hints) {
    Hint hint;
    hint.failure = *check.readFailure;
    switch (check.readFailure->kind) {
        case bitmap::ReadError::Truncated:
        case bitmap::ReadError::TooLarge:
            hint.kind = check.readFailure->kind == bitmap::ReadError::Truncated ? Kind::Truncated
                                                                                : Kind::TooLarge;
            hint.fileSize = fileSize;
            hint.readSize = file.size();
            hints.push_back(hint);
            break;
        case bitmap::ReadError::Corrupt:
            hint.kind = Kind::CorruptRle8;
            hints.push_back(hint);
            break;
        case bitmap::ReadError::NotEightBit:
            if (check.bitmap)
                bitCountHint(check.bitmap->bitCount, hints);
            break;
        case bitmap::ReadError::WrongSize:
            if (check.bitmap)
                wrongSizeHint(*check.bitmap, hints);
            break;
        case bitmap::ReadError::UnsupportedCompression:
            break;
    }
}

void refuse(Bytes file, std::uint64_t fileSize, const bitmap::ReadFailure& failure,
            LevelCheck& check) {
    check.readFailure = bitmap::inWholeFile(failure, file.size(), fileSize);
    if (check.format == PictureFormat::Bmp)  // the others have their hint
        readFailureHints(file, fileSize, check, check.hints);
}

// The converter's own reader and conversion, with the hints on a refusal.
void readAndConvert(Bytes file, std::uint64_t fileSize, LevelCheck& check) {
    const auto headers = bitmap::readHeaders(file);
    if (!headers) {
        refuse(file, fileSize, headers.error(), check);
        return;
    }
    auto image = bitmap::readBody(file, *headers);
    if (!image) {
        refuse(file, fileSize, image.error(), check);
        return;
    }
    const Histogram counts = histogram(image->pixels);
    check.picture = pictureFacts(*image, counts, bitmap::bodyLayout(*headers).paletteEntries);
    const auto model = convert(*image);
    if (!model) {
        check.conversionFailure = model.error();
        markerColourHints(*image, counts, check.picture->objects, check.hints);
        if (!renumberedPaletteHint(file, *image, counts, check.hints))
            touchingObjectsHint(image->pixels, check.hints);
        if (check.hints.empty()) {
            Hint hint{Kind::ObjectCount};
            hint.pixels = check.picture->objects;
            check.hints.push_back(hint);
        }
    }
    check.image = std::move(*image);
}

}  // namespace

LevelCheck checkLevel(Bytes file, std::uint64_t fileSize) {
    LevelCheck check;
    check.format = picture::pictureFormat(file);
    if (check.format == PictureFormat::Bmp && file.size() >= bitmap::kHeadersSize)
        check.bitmap = bitmapFacts(file);
    readAndConvert(file, fileSize, check);
    // Only a picture the converter refuses needs telling what it is.
    if (check.format != PictureFormat::Bmp && !check.converts()) {
        Hint hint{Kind::NotABmp};
        hint.format = check.format;
        check.hints.insert(check.hints.begin(), hint);
    }
    return check;
}

void noteNoLevel(LevelCheck& check, const picture::PictureFailure& failure) {
    for (Hint& hint : check.hints) {
        const bool png = hint.kind == Kind::NotABmp && hint.format == PictureFormat::Png;
        if (png || hint.kind == Kind::NoPalette)
            hint.noLevel = failure;
    }
}

bool isDrawing(Bytes file, std::uint64_t fileSize) {
    const PictureFormat format = picture::pictureFormat(file);
    const bool deepBitmap = format == PictureFormat::Bmp && file.size() >= bitmap::kHeadersSize &&
                            bitmapFacts(file).bitCount > bitmap::kBitCount;
    return (format == PictureFormat::Png || deepBitmap) && checkLevel(file, fileSize).isDrawing();
}

}  // namespace bmp2land::landinfo
