#include "landinfo/level_scenes.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "land/land_model.hpp"
#include "land/object_markers.hpp"
#include "landinfo/counted.hpp"
#include "picture/picture_format.hpp"

namespace bmp2land::landinfo {

using namespace land;
namespace {

constexpr std::size_t kPixelsPerByte = 8;

// The picture's own mask bits for the pixels of mask byte `i` that it has.
std::uint8_t ownMaskByte(const std::vector<std::uint8_t>& pixels, std::size_t i) {
    std::uint8_t bits = 0;
    const std::size_t first = i * kPixelsPerByte;
    const std::size_t count = std::min(kPixelsPerByte, pixels.size() - first);
    for (std::size_t b = 0; b < count; ++b)
        bits |= static_cast<std::uint8_t>((pixels[first + b] != 0 ? 1U : 0U) << b);
    return bits;
}

// Bits of mask byte `i` that differ from `own`, as far as the mask has that
// byte; a mask not read disagrees with nothing.
std::uint8_t wrongBits(const std::vector<std::uint8_t>& mask, std::size_t i, std::uint8_t own) {
    return i < mask.size() ? static_cast<std::uint8_t>(mask[i] ^ own) : std::uint8_t{0};
}

// One byte a pixel of the picture, 1 where either mask disagrees with it;
// empty where both agree everywhere.
std::vector<std::uint8_t> maskDisagreements(const LandFile& file) {
    const std::vector<std::uint8_t>& pixels = file.model.pixels;
    std::vector<std::uint8_t> disagrees;
    const std::size_t bytes = (pixels.size() + kPixelsPerByte - 1) / kPixelsPerByte;
    for (std::size_t i = 0; i < bytes; ++i) {
        const std::uint8_t own = ownMaskByte(pixels, i);
        const auto wrong = static_cast<std::uint8_t>(wrongBits(file.model.mask, i, own) |
                                                     wrongBits(file.secondMask, i, own));
        if (wrong == 0)
            continue;
        if (disagrees.empty())
            disagrees.assign(pixels.size(), 0);
        for (std::size_t b = 0; b < kPixelsPerByte && i * kPixelsPerByte + b < pixels.size(); ++b)
            disagrees[i * kPixelsPerByte + b] = static_cast<std::uint8_t>((wrong >> b) & 1U);
    }
    return disagrees;
}

preview::Point pointOf(ObjectPosition p) {
    return {p.x, p.y};
}

}  // namespace

preview::Scene landFileScene(const LandFileReading& reading) {
    const LandModel& model = reading.file.model;
    preview::Scene scene;
    scene.picture = model.pixels;
    if (reading.coloursRead) {
        std::transform(model.colours.begin(), model.colours.end(), scene.colours.begin(),
                       [](RgbTriplet c) {
                           return preview::Rgb{c.red, c.green, c.blue};
                       });
    }
    std::transform(model.positions.begin(),
                   model.positions.begin() + static_cast<std::ptrdiff_t>(reading.objects),
                   std::back_inserter(scene.objects), pointOf);
    scene.maskDisagrees = maskDisagreements(reading.file);
    return scene;
}

preview::Scene levelBitmapScene(const bitmap::BitmapImage& level) {
    preview::Scene scene;
    std::transform(level.palette.begin() + 1,
                   level.palette.begin() + 1 + static_cast<std::ptrdiff_t>(kColourCount),
                   scene.colours.begin(), [](bitmap::RgbQuad c) {
                       return preview::Rgb{c.red, c.green, c.blue};
                   });
    std::vector<ObjectPosition> positions(static_cast<std::size_t>(
        std::count(level.pixels.begin(), level.pixels.end(), kMarkerIndex)));
    MarkedPicture marked = takeMarkers(level, positions);
    scene.picture = std::move(marked.pixels);
    scene.objects.reserve(positions.size());
    std::transform(positions.begin(), positions.end(), std::back_inserter(scene.objects), pointOf);
    return scene;
}

std::vector<std::string> bitmapNotes(const LevelCheck& check) {
    using picture::PictureFormat;
    std::vector<std::string> notes;
    if (check.format != PictureFormat::Bmp && check.format != PictureFormat::Png &&
        check.format != PictureFormat::Other)
        notes.push_back(std::string("a ") + picture::formatName(check.format) +
                        " picture, which neither program reads: save the drawing as PNG or BMP");
    if (check.picture && check.picture->skyPixels == 0)
        notes.emplace_back("no sky: no pixel is entry 0, so all of the level is land");
    return notes;
}

std::vector<std::string> drawingNotes(const drawing::DrawingFacts& facts) {
    std::vector<std::string> notes;
    if (facts.skyPixels == 0)
        notes.emplace_back(
            "no sky: the drawing has no transparent or pure black pixels, so all of the level is "
            "land");
    if (!facts.magentaSpots.empty())
        notes.push_back("magenta kept as land, no object: " +
                        counted(facts.magentaSpots.size(), "spot", "spots") +
                        " (places in the report)");
    if (!facts.markerLeftovers.empty())
        notes.push_back("magenta kept as land beside objects: " +
                        counted(facts.markerLeftovers.size(), "spot", "spots") +
                        " (places in the report)");
    return notes;
}

}  // namespace bmp2land::landinfo
