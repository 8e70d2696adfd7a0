#include "drawing/drawing.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "common/rows.hpp"
#include "drawing/colour_table.hpp"
#include "drawing/level_palette.hpp"
#include "drawing/objects.hpp"
#include "drawing/quantizer.hpp"
#include "land/land_model.hpp"

namespace bmp2land::drawing {
namespace {

constexpr std::uint8_t kSkyEntry = kEmptyIndex;
constexpr std::uint8_t kObjectEntry = kMarkerIndex;
constexpr std::size_t kFirstStored = 1;
constexpr std::size_t kStored = land::kColourCount;  // entries 1 to 95
constexpr std::size_t kWidth = picture::kLevelWidth;
constexpr std::size_t kHeight = picture::kLevelHeight;

using Palette = std::array<bitmap::RgbQuad, bitmap::kPaletteEntries>;
using Counts = std::array<std::size_t, bitmap::kPaletteEntries>;

bitmap::RgbQuad quadOf(const Rgba& c) {
    return bitmap::RgbQuad{c.blue, c.green, c.red, 0};
}

Rgba rgbaOf(const bitmap::RgbQuad& q) {
    return Rgba{q.red, q.green, q.blue, kOpaque};
}

// The largest change in any channel between two colours.
std::uint8_t change(const Rgba& a, const Rgba& b) {
    return static_cast<std::uint8_t>(std::max(
        {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)}));
}

int distance(const Rgba& a, const Rgba& b) {
    const int r = a.red - b.red;
    const int g = a.green - b.green;
    const int bl = a.blue - b.blue;
    return r * r + g * g + bl * bl;
}

// Sums each pixel's change over the land.
class ChangeTally {
  public:
    void add(const Rgba& from, const Rgba& to, std::size_t pixels) {
        const std::uint8_t c = change(from, to);
        largest_ = std::max(largest_, c);
        total_ += double(c) * double(pixels);
        pixels_ += pixels;
    }
    void into(DrawingFacts& facts) const {
        facts.largestChange = largest_;
        facts.meanChange = pixels_ == 0 ? 0.0 : total_ / double(pixels_);
    }

  private:
    std::uint8_t largest_ = 0;
    double total_ = 0;
    std::size_t pixels_ = 0;
};

// The level palette as the output bitmap's, where no colour of its own
// takes an entry.
Palette levelPaletteQuads() {
    Palette palette{};
    const LevelPalette named = levelPalette();
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = bitmap::RgbQuad{named[i].blue, named[i].green, named[i].red, 0};
    return palette;
}

bitmap::BitmapImage blankLevel(const Palette& palette) {
    bitmap::BitmapImage image;
    const bitmap::BitmapHeaders headers = bitmap::plainHeaders();
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    image.palette = palette;
    return image;
}

std::size_t distinctEntriesUsed(const Counts& counts) {
    return static_cast<std::size_t>(std::count_if(counts.begin() + kFirstStored,
                                                  counts.begin() + kFirstStored + kStored,
                                                  [](std::size_t n) { return n > 0; }));
}

Counts countEntries(const std::vector<std::uint8_t>& pixels) {
    Counts counts{};
    for (const std::uint8_t v : pixels)
        ++counts[v];
    return counts;
}

// The entry of 1 to 95 whose colour is nearest `colour`.
std::uint8_t nearestStored(const Rgba& colour, const Palette& palette) {
    std::size_t best = kFirstStored;
    for (std::size_t k = kFirstStored + 1; k < kFirstStored + kStored; ++k) {
        if (distance(colour, rgbaOf(palette[k])) < distance(colour, rgbaOf(palette[best])))
            best = k;
    }
    return static_cast<std::uint8_t>(best);
}

// Rule 1: a bitmap that converts keeps its entries. Entries 96 to 254 are
// land whose colour the land file does not store (the game shows its own):
// rule 6 moves them to the stored entry nearest their colour here, which
// keeps the land's shape, its mask and every other pixel.
Level keptLevel(const bitmap::BitmapImage& converted) {
    Level level{blankLevel(converted.palette), {}, {}};
    level.image.pixels = converted.pixels;
    const Counts before = countEntries(converted.pixels);
    std::array<std::uint8_t, bitmap::kPaletteEntries> entryOf{};
    ChangeTally tally;
    std::vector<std::uint32_t> landColours;
    for (std::size_t v = 0; v < entryOf.size(); ++v) {
        entryOf[v] = static_cast<std::uint8_t>(v);
        const bool land = v != kSkyEntry && v != kObjectEntry;
        if (!land || before[v] == 0)
            continue;
        const Rgba colour = rgbaOf(converted.palette[v]);
        landColours.push_back(packRgb(colour));
        if (v < kFirstStored + kStored)
            continue;
        entryOf[v] = nearestStored(colour, converted.palette);
        tally.add(colour, rgbaOf(converted.palette[entryOf[v]]), before[v]);
        level.facts.unstoredPixels += before[v];
    }
    std::transform(level.image.pixels.begin(), level.image.pixels.end(), level.image.pixels.begin(),
                   [&](std::uint8_t v) { return entryOf[v]; });
    std::sort(landColours.begin(), landColours.end());
    const Counts after = countEntries(level.image.pixels);
    DrawingFacts& facts = level.facts;
    facts.mapping = Mapping::KeptEntries;
    facts.skyRule = SkyRule::EntryZero;
    facts.skyPixels = after[kSkyEntry];
    facts.objects = after[kObjectEntry];
    facts.landPixels = bitmap::kPixelCount - facts.skyPixels - facts.objects;
    facts.drawingColours = static_cast<std::size_t>(
        std::unique(landColours.begin(), landColours.end()) - landColours.begin());
    facts.levelColours = distinctEntriesUsed(after);
    tally.into(facts);
    return level;
}

bool convertsAsItIs(const bitmap::BitmapImage* image) {
    if (image == nullptr || image->pixels.size() != bitmap::kPixelCount)
        return false;
    return static_cast<std::size_t>(std::count(image->pixels.begin(), image->pixels.end(),
                                               kObjectEntry)) == land::kObjectCount;
}

// Entries for the land colours of a drawing, and the palette they make.
struct ColourEntries {
    Mapping mapping = Mapping::OwnColours;
    std::vector<std::uint8_t> entryOf;  // for each distinct colour, in ascending order
    Palette palette{};
    std::size_t movedPixels = 0;  // LevelPalette: pixels of its greys, given 1 to 95
};

// The entries of the level palette's colours: 1 to 95, or with `greys`,
// 1 to 254.
std::unordered_map<std::uint32_t, std::uint8_t> levelEntries(const Palette& palette, bool greys) {
    std::unordered_map<std::uint32_t, std::uint8_t> entries;
    const std::size_t end = greys ? kObjectEntry : kFirstStored + kStored;
    for (std::size_t k = end; k-- > kFirstStored;)
        entries[packRgb(rgbaOf(palette[k]))] = static_cast<std::uint8_t>(k);
    return entries;
}

// Rules 4 and 5 with at most 95 colours: the level palette's colours keep
// their entries, and any others take the free entries in ascending order.
ColourEntries ownEntries(const std::vector<ColourCount>& colours) {
    ColourEntries result;
    result.palette = levelPaletteQuads();
    const auto levelEntry = levelEntries(result.palette, false);
    std::array<bool, bitmap::kPaletteEntries> taken{};
    result.entryOf.assign(colours.size(), 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto found = levelEntry.find(colours[i].rgb);
        if (found != levelEntry.end()) {
            result.entryOf[i] = found->second;
            taken[found->second] = true;
        }
    }
    const bool allInLevelPalette =
        std::all_of(colours.begin(), colours.end(),
                    [&](const ColourCount& c) { return levelEntry.contains(c.rgb); });
    result.mapping = allInLevelPalette ? Mapping::LevelPalette : Mapping::OwnColours;
    std::size_t free = kFirstStored;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (levelEntry.contains(colours[i].rgb))
            continue;
        while (taken[free])
            ++free;
        taken[free] = true;
        result.entryOf[i] = static_cast<std::uint8_t>(free);
        result.palette[free] = quadOf(unpackRgb(colours[i].rgb));
    }
    return result;
}

// Rule 4 with more than 95 colours, where the level palette's greys (96 to
// 254) make up the rest: entries 1 to 95 keep theirs, and each grey takes the
// nearest of them (rule 6), as a bitmap saved in the level palette does under
// rule 1. Nothing when some colour is not the level palette's.
std::optional<ColourEntries> levelPaletteEntries(const std::vector<ColourCount>& colours) {
    ColourEntries result;
    result.mapping = Mapping::LevelPalette;
    result.palette = levelPaletteQuads();
    const auto levelEntry = levelEntries(result.palette, true);
    result.entryOf.assign(colours.size(), 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto found = levelEntry.find(colours[i].rgb);
        if (found == levelEntry.end())
            return std::nullopt;
        result.entryOf[i] = found->second;
        if (found->second >= kFirstStored + kStored) {
            result.entryOf[i] = nearestStored(unpackRgb(colours[i].rgb), result.palette);
            result.movedPixels += colours[i].count;
        }
    }
    return result;
}

// Rule 5 with more than 95 colours.
ColourEntries mergedEntries(const std::vector<ColourCount>& colours) {
    ColourEntries result;
    result.mapping = Mapping::Merged;
    result.palette = levelPaletteQuads();
    const Quantized merged = quantize(colours, kStored);
    for (std::size_t k = 0; k < merged.palette.size(); ++k)
        result.palette[kFirstStored + k] = quadOf(merged.palette[k]);
    result.entryOf.resize(colours.size());
    std::transform(merged.entryOf.begin(), merged.entryOf.end(), result.entryOf.begin(),
                   [](std::uint8_t k) { return static_cast<std::uint8_t>(kFirstStored + k); });
    return result;
}

ColourEntries entriesFor(const std::vector<ColourCount>& colours) {
    if (colours.size() <= kStored)
        return ownEntries(colours);
    if (auto inLevelPalette = levelPaletteEntries(colours))
        return std::move(*inLevelPalette);
    return mergedEntries(colours);
}

// Rules 2 to 7 on a picture's colours.
Level colourLevel(picture::Picture picture) {
    std::vector<Rgba>& pixels = picture.pixels;
    const bool transparent = picture.facts.transparent;
    const auto isSky = [transparent](const Rgba& p) {
        return p.alpha < picture::kHalfOpaque ||
               (!transparent && p.red == 0 && p.green == 0 && p.blue == 0);
    };
    const ObjectMarks marks = takeObjects(pixels, kWidth, kHeight);
    std::vector<std::uint8_t> entries(pixels.size(), kSkyEntry);  // top row first
    for (const std::size_t at : marks.centres)
        entries[at] = kObjectEntry;
    ColourTable table;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (entries[at] != kObjectEntry && !isSky(pixels[at]))
            table.add(packRgb(pixels[at]));
    }
    const std::vector<ColourCount> colours = table.colours();
    const ColourEntries chosen = entriesFor(colours);

    Level level{blankLevel(chosen.palette), {}, {}};
    DrawingFacts& facts = level.facts;
    ChangeTally tally;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        table.value(table.find(colours[i].rgb)) = chosen.entryOf[i];
        tally.add(unpackRgb(colours[i].rgb), rgbaOf(chosen.palette[chosen.entryOf[i]]),
                  colours[i].count);
    }
    std::uint32_t lastColour = std::numeric_limits<std::uint32_t>::max();
    std::uint8_t lastEntry = 0;
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (entries[at] == kObjectEntry || isSky(pixels[at]))
            continue;
        const std::uint32_t rgb = packRgb(pixels[at]);
        if (rgb != lastColour) {
            lastColour = rgb;
            lastEntry = static_cast<std::uint8_t>(table.value(table.find(rgb)));
        }
        entries[at] = lastEntry;
    }
    // The bitmap stores the bottom row first.
    level.image.pixels.reserve(bitmap::kPixelCount);
    appendRowsReversed(entries, kWidth, level.image.pixels);

    const Counts counts = countEntries(entries);
    facts.mapping = chosen.mapping;
    facts.method = chosen.mapping == Mapping::Merged ? kMergeMethod : std::string_view{};
    facts.skyRule = transparent ? SkyRule::Transparent : SkyRule::Black;
    facts.skyPixels = counts[kSkyEntry];
    facts.objects = counts[kObjectEntry];
    facts.objectsFromBlots = marks.fromBlots;
    facts.nearMagentaObjects = marks.nearMagentaObjects;
    facts.nearMagentaPixels = marks.nearMagentaPixels;
    facts.magentaSpots = marks.spots;
    facts.markerLeftovers = marks.leftovers;
    facts.landPixels = bitmap::kPixelCount - facts.skyPixels - facts.objects;
    facts.drawingColours = colours.size();
    facts.levelColours = distinctEntriesUsed(counts);
    facts.unstoredPixels = chosen.movedPixels;
    tally.into(facts);
    return level;
}

}  // namespace

bool DrawingFacts::converts() const {
    return objects == land::kObjectCount;
}

Level makeLevel(picture::Picture picture, const bitmap::BitmapImage* asConverted) {
    picture.facts.indexes = {};
    picture::PictureFacts facts = picture.facts;
    Level level;
    if (convertsAsItIs(asConverted)) {
        level = keptLevel(*asConverted);
    } else {
        if (picture.pixels.size() != bitmap::kPixelCount) {  // not a level's size: never read
            picture.pixels.assign(bitmap::kPixelCount, Rgba{0, 0, 0, 0});
            picture.facts.transparent = true;
        }
        level = colourLevel(std::move(picture));
    }
    level.picture = std::move(facts);
    return level;
}

Expected<Level, picture::PictureFailure> levelFromFile(Bytes file) {
    auto picture = picture::readPicture(file);
    if (!picture)
        return fail(picture.error());
    std::optional<bitmap::BitmapImage> converted;
    if (picture->facts.format == picture::PictureFormat::Bmp) {
        const auto headers = bitmap::readHeaders(file);
        if (headers) {
            auto body = bitmap::readBody(file, *headers);
            if (body)
                converted = std::move(*body);
        }
    }
    return makeLevel(std::move(*picture), converted ? &*converted : nullptr);
}

}  // namespace bmp2land::drawing
