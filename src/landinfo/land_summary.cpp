#include "landinfo/land_summary.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "bitmap/bitmap_reader.hpp"
#include "land/land_conversion.hpp"
#include "land/land_format.hpp"
#include "land/land_mask.hpp"
#include "land/land_writer.hpp"
#include "landinfo/land_export.hpp"

namespace bmp2land::landinfo {

using namespace land;
namespace {

using Kind = RoundTripNote::Kind;
using Positions = std::array<ObjectPosition, kObjectCount>;

std::size_t countBits(Bytes bytes) {
    std::size_t bits = 0;
    for (const std::uint8_t byte : bytes)
        bits += static_cast<std::size_t>(std::popcount(byte));
    return bits;
}

// Pixels where either mask disagrees with the picture's own mask.
std::size_t maskDifferences(const LandFile& file) {
    std::vector<std::uint8_t> own(kMaskLength);
    buildMask(file.model.pixels, own);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < own.size(); ++i) {
        const auto wrong = static_cast<std::uint8_t>((file.model.mask[i] ^ own[i]) |
                                                     (file.secondMask[i] ^ own[i]));
        differing += static_cast<std::size_t>(std::popcount(wrong));
    }
    return differing;
}

// Export, read, convert, write: what bmp2land would make of the exported
// bitmap, compared with the file itself.
bool convertsBack(const LandModel& model, Bytes original) {
    const std::vector<std::uint8_t> exported = exportBitmap(model);
    const auto headers = bitmap::readHeaders(exported);
    if (!headers)
        return false;
    auto image = bitmap::readBody(exported, *headers);
    if (!image)
        return false;
    const auto converted = convert(std::move(*image));
    if (!converted)
        return false;
    MemorySink sink;
    return write(*converted, sink) &&
           std::equal(sink.data.begin(), sink.data.end(), original.begin(), original.end());
}

std::uint8_t pixelAt(const LandModel& model, ObjectPosition p) {
    return model.pixels[std::size_t{p.y} * kWidth + p.x];
}

bool samePlace(ObjectPosition a, ObjectPosition b) {
    return a.x == b.x && a.y == b.y;
}

bool atAnObject(const Positions& positions, ObjectPosition p) {
    return std::any_of(positions.begin(), positions.end(),
                       [p](ObjectPosition o) { return samePlace(o, p); });
}

// The order in which a converted bitmap gives its objects.
bool scannedBefore(ObjectPosition a, ObjectPosition b) {
    return a.y > b.y || (a.y == b.y && a.x < b.x);
}

// Adds `note` as the first of its kind, or counts one more case of it.
void noteCase(std::vector<RoundTripNote>& notes, RoundTripNote note) {
    const auto same = std::find_if(notes.begin(), notes.end(),
                                   [&note](const RoundTripNote& n) { return n.kind == note.kind; });
    if (same == notes.end()) {
        note.count = 1;
        notes.push_back(std::move(note));
    } else {
        ++same->count;
    }
}

void noteMarkerColour(const LandModel& model, std::vector<RoundTripNote>& notes) {
    const std::uint8_t* const begin = model.pixels.data();
    const std::uint8_t* const end = begin + model.pixels.size();
    for (const std::uint8_t* at = begin;; ++at) {
        at = static_cast<const std::uint8_t*>(
            std::memchr(at, kMarkerIndex, static_cast<std::size_t>(end - at)));
        if (at == nullptr)
            return;
        const auto k = static_cast<std::uint32_t>(at - begin);
        const ObjectPosition p{k % kWidth, k / kWidth};
        if (!atAnObject(model.positions, p)) {  // there it is an object anyway
            noteCase(notes, {Kind::MarkerColourInPicture, 0, 0, 0, p, {}});
        }
    }
}

void noteObjects(const LandModel& model, std::vector<RoundTripNote>& notes) {
    const Positions& positions = model.positions;
    std::size_t previous = 0;  // the last object that is not a duplicate: the export's order
    for (std::size_t i = 0; i < kObjectCount; ++i) {
        const ObjectPosition p = positions[i];
        std::size_t earlier = 0;
        while (earlier < i && !samePlace(positions[earlier], p))
            ++earlier;
        if (earlier < i) {
            noteCase(notes, {Kind::SharedPosition, 0, i + 1, earlier + 1, p, {}});
            continue;  // its pixel and order are those of the earlier one
        }
        if (i > 0 && scannedBefore(p, positions[previous])) {
            noteCase(notes, {Kind::OutOfOrder, 0, i + 1, previous + 1, p, {}});
        }
        if (pixelAt(model, p) != 0) {
            noteCase(notes, {Kind::PixelUnderObject, 0, i + 1, 0, p, {}});
        }
        previous = i;
    }
}

void notePath(Kind kind, const std::string& path, std::string_view converted,
              std::vector<RoundTripNote>& notes) {
    if (path != converted)
        notes.push_back({kind, 1, 0, 0, {}, path});
}

std::vector<RoundTripNote> roundTripNotes(const LandFile& file, std::size_t maskDifferences) {
    std::vector<RoundTripNote> notes;
    noteMarkerColour(file.model, notes);
    noteObjects(file.model, notes);
    notePath(Kind::LevelPath, file.levelPath, kLevelPath, notes);
    notePath(Kind::WaterPath, file.waterPath, kWaterPath, notes);
    if (std::any_of(file.blank.begin(), file.blank.end(), [](std::uint8_t b) { return b != 0; }))
        notes.push_back({Kind::BlankNotBlank, 1, 0, 0, {}, {}});
    if (maskDifferences != 0)
        notes.push_back({Kind::MasksDiffer, maskDifferences, 0, 0, {}, {}});
    return notes;
}

// The sky: pixels of 0 in the picture, but for those under the objects,
// which a converted bitmap clears to 0 whatever is around them.
std::size_t skyPixels(const LandModel& model) {
    std::size_t sky = static_cast<std::size_t>(
        std::count(model.pixels.begin(), model.pixels.end(), std::uint8_t{0}));
    for (std::size_t i = 0; i < kObjectCount; ++i) {
        const ObjectPosition p = model.positions[i];
        const bool first = std::none_of(model.positions.begin(), model.positions.begin() + i,
                                        [p](ObjectPosition o) { return samePlace(o, p); });
        const bool inside = p.x < kWidth && p.y < kHeight;
        if (first && inside && pixelAt(model, p) == 0)
            --sky;
    }
    return sky;
}

}  // namespace

LandSummary summarize(const LandFile& file, Bytes original) {
    LandSummary summary;
    summary.landPixels = countBits(file.model.mask);
    summary.skyPixels = skyPixels(file.model);
    summary.maskDifferences = maskDifferences(file);
    summary.roundTripExact = convertsBack(file.model, original);
    summary.notes = roundTripNotes(file, summary.maskDifferences);
    summary.uncoloured = findUncolouredLand(file.model.pixels);
    return summary;
}

}  // namespace bmp2land::landinfo
