// The rules from colours to entries, each on the drawing a level maker would
// bring: a few colours, many anti-aliased ones, the level palette saved as
// RGB or renumbered, a bitmap that already converts, brush-painted markers.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "drawing/drawing.hpp"
#include "drawing/level_palette.hpp"
#include "drawing/objects.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "test_pictures.hpp"

namespace {

using namespace testing_support;
using bmp2land::drawing::kMergeMethod;
using bmp2land::drawing::Level;
using bmp2land::drawing::levelFromFile;
using bmp2land::drawing::Mapping;
using bmp2land::drawing::SkyRule;
using bmp2land::picture::PictureError;

Level levelOf(const ByteVector& file) {
    auto level = levelFromFile(file);
    if (!level) {
        ADD_FAILURE() << "refused: " << static_cast<int>(level.error().kind);
        return {};
    }
    return std::move(*level);
}

std::uint8_t entryAt(const Level& level, std::size_t x, std::size_t y) {
    return level.image.pixels[(kH - 1 - y) * kW + x];
}

std::size_t countIf(const ByteVector& pixels, bool (*test)(std::uint8_t)) {
    return static_cast<std::size_t>(std::count_if(pixels.begin(), pixels.end(), test));
}

bool unstored(std::uint8_t v) {
    return v >= 96 && v <= 254;
}

// The land file bmp2land writes for a bitmap image.
ByteVector landFile(const bmp2land::bitmap::BitmapImage& image) {
    const auto model = bmp2land::land::convert(image);
    if (!model)
        return {};
    bmp2land::MemorySink sink;
    EXPECT_TRUE(bmp2land::land::write(*model, sink));
    return sink.data;
}

TEST(LevelRules, TwelveColoursOverABlackSkyKeepTheirOwnEntries) {
    // A 24-bit BMP as Pillow writes it: 12 bands of land under a black sky.
    std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
    std::set<std::uint32_t> used;
    for (std::size_t y = 300; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const auto band = static_cast<std::uint8_t>(x / 160);
            pixels[y * kW + x] = Rgba{static_cast<std::uint8_t>(20 + band * 19),
                                      static_cast<std::uint8_t>(200 - band * 9), 77, 255};
        }
    for (const std::size_t at : objectPlaces())
        pixels[at] = kMagenta;
    const Level level = levelOf(rgbBmp(pixels));
    EXPECT_EQ(level.facts.mapping, Mapping::OwnColours);
    EXPECT_EQ(level.facts.skyRule, SkyRule::Black);
    EXPECT_EQ(level.facts.drawingColours, 12U);
    EXPECT_EQ(level.facts.levelColours, 12U);
    EXPECT_EQ(level.facts.largestChange, 0);
    EXPECT_EQ(level.facts.objects, 30U);
    EXPECT_TRUE(level.facts.converts());
    EXPECT_EQ(level.facts.skyPixels, 300 * kW);    // the objects stand on the land
    for (std::size_t band = 0; band < 12; ++band)  // ascending colours: entries 1 to 12
        EXPECT_EQ(entryAt(level, band * 160 + 5, 500), 1 + band);
    EXPECT_FALSE(landFile(level.image).empty());
}

TEST(LevelRules, ManyColoursAreMergedIntoNinetyFive) {
    for (const auto& [name, drawing] :
         {std::pair{"shaded hills", shadedDrawing(true)},
          std::pair{"three colours shaded finely", shadedFinely(shadedDrawing(true))}}) {
        SCOPED_TRACE(name);
        const Level level = levelOf(rgbaPng(drawing, true));
        const auto& f = level.facts;
        EXPECT_GT(f.drawingColours, 95U);
        EXPECT_EQ(f.levelColours, 95U);  // every entry used
        EXPECT_EQ(f.mapping, Mapping::Merged);
        EXPECT_EQ(f.method, kMergeMethod);
        EXPECT_EQ(f.skyRule, SkyRule::Transparent);
        const auto transparent = static_cast<std::size_t>(std::count_if(
            drawing.begin(), drawing.end(), [](const Rgba& p) { return p.alpha < 128; }));
        EXPECT_EQ(f.skyPixels, transparent);
        EXPECT_EQ(f.objects, 30U);
        EXPECT_LE(f.levelColours, 95U);
        EXPECT_EQ(countIf(level.image.pixels, unstored), 0U);
        EXPECT_LT(f.meanChange, 4.0);
        // The facts' change is the change of the pixels as written.
        double total = 0;
        std::uint8_t largest = 0;
        std::size_t land = 0;
        for (std::size_t y = 0; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                const std::uint8_t v = entryAt(level, x, y);
                if (v == 0 || v == 255)
                    continue;
                const Rgba& p = drawing[y * kW + x];
                const auto& q = level.image.palette[v];
                const int change = std::max({std::abs(p.red - q.red), std::abs(p.green - q.green),
                                             std::abs(p.blue - q.blue)});
                largest = std::max(largest, static_cast<std::uint8_t>(change));
                total += change;
                ++land;
            }
        EXPECT_EQ(land, f.landPixels);
        EXPECT_EQ(largest, f.largestChange);
        EXPECT_NEAR(total / double(land), f.meanChange, 1e-9);
    }
}

// The example level, drawn in the level palette, as its indexes and colours.
struct PaletteDrawing {
    ByteVector indexes;  // bottom row first, as the bitmap stores them
    std::vector<Colour> palette;
};

PaletteDrawing exampleLevel() {
    const ByteVector file = readFile(std::string(EXAMPLES_DIR) + "/level.bmp");
    const auto headers = bmp2land::bitmap::readHeaders(file);
    const auto image = bmp2land::bitmap::readBody(file, *headers);
    PaletteDrawing d{image->pixels, {}};
    for (const auto& q : image->palette)
        d.palette.push_back({q.red, q.green, q.blue});
    return d;
}

TEST(LevelRules, LevelPaletteDrawingsKeepTheirEntriesInAnyFormat) {
    const PaletteDrawing example = exampleLevel();
    const auto levelPalette = bmp2land::drawing::levelPalette();
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(example.palette[i].red, levelPalette[i].red) << "entry " << i;

    // As an RGB PNG, top row first.
    std::vector<Rgba> pixels;
    std::vector<std::uint8_t> topDown;
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = example.indexes[(kH - 1 - y) * kW + x];
            const Colour c = example.palette[v];
            pixels.push_back({c.red, c.green, c.blue, 255});
            topDown.push_back(v);
        }
    const Level asRgb = levelOf(rgbaPng(pixels, false));
    EXPECT_EQ(asRgb.facts.mapping, Mapping::LevelPalette);
    EXPECT_TRUE(sameBytes(asRgb.image.pixels, example.indexes));

    // As an indexed PNG whose palette a paint program renumbered: only the
    // colours used, in reverse order of their entries.
    std::vector<std::uint8_t> used(topDown.begin(), topDown.end());
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    std::reverse(used.begin(), used.end());
    std::array<std::uint8_t, 256> renumbered{};
    PngKind kind;
    kind.colourType = 3;
    for (std::size_t k = 0; k < used.size(); ++k) {
        renumbered[used[k]] = static_cast<std::uint8_t>(k);
        const Colour c = example.palette[used[k]];
        kind.plte.insert(kind.plte.end(), {c.red, c.green, c.blue});
    }
    std::vector<std::uint16_t> samples;
    for (const std::uint8_t v : topDown)
        samples.push_back(renumbered[v]);
    const Level asIndexed = levelOf(encodePng(kind, samples));
    EXPECT_EQ(asIndexed.facts.mapping, Mapping::LevelPalette);
    EXPECT_TRUE(sameBytes(asIndexed.image.pixels, example.indexes));
    EXPECT_EQ(asIndexed.facts.objects, 30U);
    EXPECT_EQ(asIndexed.facts.largestChange, 0);
}

TEST(LevelRules, ABitmapThatConvertsGivesTheSameLandFile) {
    // The example level as GIMP can save it, in RLE8.
    const PaletteDrawing example = exampleLevel();
    Picture picture;
    picture.indexes = example.indexes;
    BmpOptions rle8;
    rle8.compression = 1;
    const ByteVector file = makeBmp(rle8, example.palette, encodeRle8(picture));
    const auto headers = bmp2land::bitmap::readHeaders(file);
    ASSERT_TRUE(headers);
    const auto asRead = bmp2land::bitmap::readBody(file, *headers);
    ASSERT_TRUE(asRead);
    const Level level = levelOf(file);
    EXPECT_EQ(level.facts.mapping, Mapping::KeptEntries);
    EXPECT_EQ(level.facts.skyRule, SkyRule::EntryZero);
    EXPECT_EQ(level.facts.unstoredPixels, 0U);
    const ByteVector expected = landFile(*asRead);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(sameBytes(landFile(level.image), expected));
    // Written as the plain bitmap it is.
    bmp2land::MemorySink written;
    ASSERT_TRUE(bmp2land::bitmap::writeBitmap(level.image, written));
    EXPECT_EQ(written.data.size(), 1078U + kPixels);
    EXPECT_EQ(written.data[30], 0);  // uncompressed
}

TEST(LevelRules, UnstoredEntriesOfAConvertingBitmapTakeStoredOnes) {
    // A picture with land in entries 96 to 254: the same shape, objects and
    // stored colours, those pixels moved to the stored entry nearest in colour.
    const Picture picture = samplePicture();
    const ByteVector file = makeBmp(picture);
    const auto headers = bmp2land::bitmap::readHeaders(file);
    const auto asRead = bmp2land::bitmap::readBody(file, *headers);
    const Level level = levelOf(file);
    EXPECT_EQ(level.facts.mapping, Mapping::KeptEntries);
    EXPECT_EQ(countIf(level.image.pixels, unstored), 0U);
    const std::size_t before = countIf(picture.indexes, unstored);
    EXPECT_GT(before, 0U);
    EXPECT_EQ(level.facts.unstoredPixels, before);
    const std::vector<Colour> palette = samplePalette();
    const auto distance = [&](std::size_t a, std::size_t b) {
        const int r = palette[a].red - palette[b].red;
        const int g = palette[a].green - palette[b].green;
        const int bl = palette[a].blue - palette[b].blue;
        return r * r + g * g + bl * bl;
    };
    for (std::size_t i = 0; i < kPixels; ++i) {
        const std::uint8_t was = picture.indexes[i];
        const std::uint8_t now = level.image.pixels[i];
        if (!unstored(was)) {
            ASSERT_EQ(now, was) << i;
            continue;
        }
        ASSERT_TRUE(now >= 1 && now <= 95) << i;
        for (std::size_t k = 1; k <= 95; ++k)
            ASSERT_LE(distance(was, now), distance(was, k)) << i;
    }
    const ByteVector original = landFile(*asRead);
    const ByteVector made = landFile(level.image);
    ASSERT_EQ(made.size(), original.size());
    // Positions and colours are the same, and both masks.
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 570, made.begin()));
    EXPECT_TRUE(std::equal(original.begin() + 1336890, original.end(), made.begin() + 1336890));
}

// Land of two colours under a sky, and where 30 soft markers go: 3 to 9
// pixels across, on the land, the sky, and the edge between them.
struct MarkerScene {
    std::vector<Rgba> plain;
    std::vector<Rgba> marked;
    std::vector<std::size_t> centres;
};

// How the markers are painted: a soft round brush on whole pixels, or an
// anti-aliased one whose centre lies between pixels, its edge mixed unevenly.
// or a disc blurred and made solid in the middle, as an airbrush paints,
// whose edge fades out far.
enum class Brush : std::uint8_t { Soft, AntiAliased, Blurred };

MarkerScene markerScene(bool transparentSky, Brush brush) {
    MarkerScene s;
    const Rgba sky = transparentSky ? Rgba{0, 0, 0, 0} : Rgba{0, 0, 0, 255};
    s.plain.assign(kPixels, sky);
    for (std::size_t y = 400; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            s.plain[y * kW + x] = y < 420 ? Rgba{60, 170, 50, 255} : Rgba{140, 100, 70, 255};
    s.marked = s.plain;
    for (std::size_t i = 0; i < 30; ++i) {
        const std::size_t x = 30 + i * 63;
        const std::size_t y = i % 3 == 0 ? 300 : i % 3 == 1 ? 400 : 500;  // sky, edge, land
        const int diameter = 3 + static_cast<int>(i % 7);
        if (brush == Brush::Soft)
            softMarker(s.marked, x, y, diameter);
        else if (brush == Brush::AntiAliased)
            antiAliasedMarker(s.marked, double(x) + 0.2, double(y) + 0.3, diameter);
        else
            blurredMarker(s.marked, x, y, diameter);
        s.centres.push_back(y * kW + x);
    }
    std::sort(s.centres.begin(), s.centres.end());
    return s;
}

TEST(LevelRules, BrushPaintedMarkersAreOneObjectEach) {
    for (const auto& [transparentSky, brush] :
         {std::pair{false, Brush::Soft}, std::pair{true, Brush::Soft},
          std::pair{false, Brush::AntiAliased}, std::pair{true, Brush::AntiAliased},
          std::pair{false, Brush::Blurred}, std::pair{true, Brush::Blurred}}) {
        SCOPED_TRACE(std::string(transparentSky ? "transparent sky" : "black sky") +
                     (brush == Brush::Soft          ? ", soft brush"
                      : brush == Brush::AntiAliased ? ", anti-aliased brush"
                                                    : ", blurred"));
        const MarkerScene s = markerScene(transparentSky, brush);
        const Level marked = levelOf(rgbaPng(s.marked, true));
        const Level plain = levelOf(rgbaPng(s.plain, true));
        EXPECT_EQ(marked.facts.objects, 30U);
        EXPECT_EQ(marked.facts.objectsFromBlots, 30U);
        EXPECT_TRUE(marked.facts.converts());
        // Each object at its marker's centre (a blurred one's, half on the
        // sky, within a pixel of it), and every other pixel as if there had
        // been no marker; only where pure magenta hid the edge between sky
        // and land may the edge move, by a pixel or two.
        const std::size_t off = brush == Brush::Blurred ? 1 : 0;
        for (const std::size_t centre : s.centres) {
            std::size_t found = 0;
            for (std::size_t y = centre / kW - off; y <= centre / kW + off; ++y)
                for (std::size_t x = centre % kW - off; x <= centre % kW + off; ++x)
                    found += entryAt(marked, x, y) == 255 ? 1 : 0;
            EXPECT_EQ(found, 1U) << "near " << centre % kW << ", " << centre / kW;
        }
        for (std::size_t y = 2; y < kH - 2; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                const std::size_t at = y * kW + x;
                const std::uint8_t got = entryAt(marked, x, y);
                if (got == 255) {
                    continue;  // one near each centre, as found above
                } else if (bmp2land::drawing::isMarker(s.marked[at])) {
                    const bool nearby = got == entryAt(plain, x, y) ||
                                        got == entryAt(plain, x, y - 2) ||
                                        got == entryAt(plain, x, y + 2);
                    ASSERT_TRUE(nearby) << "at " << x << ", " << y;
                } else {
                    ASSERT_EQ(got, entryAt(plain, x, y)) << "at " << x << ", " << y;
                }
            }
        EXPECT_EQ(marked.facts.drawingColours, 2U);
        EXPECT_EQ(marked.facts.magentaSpots, std::vector<std::size_t>{});
    }
}

// Wide markers on the edge between two land colours: each blend takes
// the colour beside it, not whichever of the two it mixes magenta into about
// as well, and so leaves the edge where it was; only under pure magenta,
// which hides it, may the edge move.
TEST(LevelRules, WideMarkersOnALandEdgeKeepTheEdge) {
    std::vector<Rgba> plain(kPixels, Rgba{0, 0, 0, 0});
    for (std::size_t y = 300; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            plain[y * kW + x] = y < 420 ? Rgba{130, 130, 140, 255} : Rgba{120, 80, 40, 255};
    std::vector<Rgba> marked = plain;
    // Discs 41 pixels across with an edge a pixel wide, mixed in linear
    // light as GIMP's brushes mix: a mix that a straight one into the grey
    // explains better than one into the brown it was painted over.
    const auto linearMix = [](Rgba& p, double t) {
        const auto mix = [t](double m, double under) {
            const double linear = t * std::pow(m / 255, 2.2) + (1 - t) * std::pow(under / 255, 2.2);
            return static_cast<std::uint8_t>(std::lround(255 * std::pow(linear, 1 / 2.2)));
        };
        p = Rgba{mix(255, p.red), mix(0, p.green), mix(255, p.blue), 255};
    };
    for (std::size_t i = 0; i < 30; ++i)
        for (std::size_t y = 399; y <= 441; ++y)
            for (std::size_t x = 9 + i * 63; x <= 51 + i * 63; ++x) {
                const double d = std::hypot(double(x) - double(30 + i * 63), double(y) - 420.0);
                if (d <= 20.5)
                    linearMix(marked[y * kW + x], d <= 19.5 ? 1.0 : 0.5);
            }
    const Level level = levelOf(rgbaPng(marked, true));
    const Level expected = levelOf(rgbaPng(plain, true));
    EXPECT_EQ(level.facts.objects, 30U);
    EXPECT_EQ(level.facts.drawingColours, 2U);
    const auto colourAt = [](const Level& l, std::size_t x, std::size_t y) {
        const auto& q = l.image.palette[entryAt(l, x, y)];
        return std::array<unsigned, 3>{q.red, q.green, q.blue};
    };
    std::size_t moved = 0;
    std::size_t hidden = 0;
    std::size_t wrong = 0;
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            if (entryAt(level, x, y) == 255)
                continue;
            const bool same = colourAt(level, x, y) == colourAt(expected, x, y);
            if (marked[y * kW + x] == Rgba{255, 0, 255, 255}) {
                ++hidden;
                moved += same ? 0 : 1;
            } else {
                wrong += same ? 0 : 1;
            }
        }
    EXPECT_EQ(wrong, 0U);
    EXPECT_LT(moved, hidden / 4);
}

// A soft marker on land shaded in green alone, beside black sky with a
// speck of (0, 2, 0): no shade nor the sky is taken for a faint mix of
// magenta, and all but the marker's blends keep their colours.
TEST(LevelRules, ShadesAroundASoftMarkerAreNoMixOfIt) {
    std::vector<Rgba> plain(kPixels, Rgba{0, 0, 0, 255});
    for (std::size_t y = 440; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            plain[y * kW + x] = Rgba{60, static_cast<std::uint8_t>(150 + (x + y) % 40), 50, 255};
    plain[436 * kW + 955] = Rgba{0, 2, 0, 255};
    std::vector<Rgba> marked = plain;
    softMarker(marked, 960, 440, 9);
    const Level level = levelOf(rgbBmp(marked));
    ASSERT_EQ(level.facts.objects, 1U);
    const auto colourAt = [&](std::size_t x, std::size_t y) {
        const auto& q = level.image.palette[entryAt(level, x, y)];
        return Rgba{q.red, q.green, q.blue, 255};
    };
    for (std::size_t y = 400; y < 500; ++y)
        for (std::size_t x = 900; x < 1020; ++x) {
            if (std::max(x > 960 ? x - 960 : 960 - x, y > 440 ? y - 440 : 440 - y) <= 6)
                continue;  // the marker and its blends
            const Rgba was = plain[y * kW + x];
            if (was == Rgba{0, 0, 0, 255})
                EXPECT_EQ(entryAt(level, x, y), 0) << "at " << x << ", " << y;
            else
                EXPECT_TRUE(colourAt(x, y) == was) << "at " << x << ", " << y;
        }
}

// Markers near magenta, as a reduced palette leaves them, are objects; other
// spots of magenta's hue are not, and are told.
TEST(LevelRules, MarkersNearMagentaCountAndOtherMagentaSpotsAreTold) {
    const struct {
        const char* name;
        Rgba colour;
        std::size_t objects;
        std::size_t nearMagenta;  // of the 3 x 3 pixels
    } cases[] = {
        {"magenta", kMagenta, 1, 0},
        {"GIMP's indexed magenta", {255, 0, 253, 255}, 1, 9},
        {"a coarser palette's", {250, 0, 250, 255}, 1, 9},
        {"as far as it goes", {247, 8, 247, 255}, 1, 9},
        {"red too far", {246, 0, 255, 255}, 0, 0},
        {"green too far", {255, 9, 255, 255}, 0, 0},
        {"a soft dot with no magenta left", {128, 0, 128, 255}, 0, 0},
        {"a little pink", {200, 120, 200, 255}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
        for (std::size_t y = 400; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x)
                pixels[y * kW + x] = Rgba{60, 170, 50, 255};
        for (std::size_t y = 499; y <= 501; ++y)
            for (std::size_t x = 699; x <= 701; ++x)
                pixels[y * kW + x] = c.colour;
        const Level level = levelOf(rgbBmp(pixels));
        EXPECT_EQ(level.facts.objects, c.objects);
        EXPECT_EQ(level.facts.nearMagentaPixels, c.nearMagenta);
        EXPECT_EQ(level.facts.nearMagentaObjects, c.nearMagenta == 0 ? 0U : 1U);
        if (c.objects == 1) {
            EXPECT_EQ(entryAt(level, 700, 500), 255);
            EXPECT_EQ(entryAt(level, 699, 499), entryAt(level, 10, 500));  // land again
            EXPECT_EQ(level.facts.magentaSpots, std::vector<std::size_t>{});
        } else {  // land of its own colour, the spot told at its top left
            EXPECT_NE(entryAt(level, 700, 500), entryAt(level, 10, 500));
            EXPECT_EQ(level.facts.magentaSpots, std::vector<std::size_t>{499 * kW + 699});
        }
    }
    {  // pink beside a marker, no mix of magenta into the land: told apart
        std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
        for (std::size_t y = 400; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x)
                pixels[y * kW + x] = Rgba{60, 170, 50, 255};
        pixels[500 * kW + 700] = kMagenta;
        for (std::size_t y = 499; y <= 501; ++y)
            for (std::size_t x = 703; x <= 704; ++x)
                pixels[y * kW + x] = Rgba{230, 40, 180, 255};
        const Level level = levelOf(rgbBmp(pixels));
        EXPECT_EQ(level.facts.objects, 1U);
        EXPECT_EQ(level.facts.magentaSpots, std::vector<std::size_t>{});
        EXPECT_EQ(level.facts.markerLeftovers, std::vector<std::size_t>{499 * kW + 703});
        // Wider than a marker, beside one, it is told all the same; away
        // from any object, it is land of that colour.
        for (std::size_t y = 499; y <= 560; ++y)
            for (std::size_t x = 703; x <= 760; ++x)
                pixels[y * kW + x] = Rgba{230, 40, 180, 255};
        EXPECT_EQ(levelOf(rgbBmp(pixels)).facts.markerLeftovers,
                  std::vector<std::size_t>{499 * kW + 703});
        pixels[500 * kW + 700] = Rgba{60, 170, 50, 255};
        const Level unmarked = levelOf(rgbBmp(pixels));
        EXPECT_EQ(unmarked.facts.markerLeftovers, std::vector<std::size_t>{});
        EXPECT_EQ(unmarked.facts.magentaSpots, std::vector<std::size_t>{});
    }
    // No colour of the level palette is near magenta but magenta itself.
    const auto palette = bmp2land::drawing::levelPalette();
    for (std::size_t k = 0; k < 255; ++k)
        EXPECT_FALSE(bmp2land::drawing::isMarker(
            Rgba{palette[k].red, palette[k].green, palette[k].blue, 255}))
            << k;
}

TEST(LevelRules, ConnectedMagentaIsOneObjectAndPinkLandStays) {
    std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
    for (std::size_t y = 300; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            pixels[y * kW + x] = Rgba{200, 120, 200, 255};  // pink land: not a blend
    for (std::size_t x = 100; x < 110; ++x)                 // a line of 10 magenta pixels
        pixels[200 * kW + x] = kMagenta;
    pixels[500 * kW + 700] = kMagenta;  // one marker on the pink land
    pixels[501 * kW + 701] = kMagenta;  // and one touching it at a corner
    pixels[600 * kW + 900] = kMagenta;  // a marker alone
    const Level level = levelOf(rgbaPng(pixels, false));
    EXPECT_EQ(level.facts.objects, 3U);
    EXPECT_FALSE(level.facts.converts());      // made all the same, to be fixed
    EXPECT_EQ(entryAt(level, 104, 200), 255);  // the line's middle pixel
    EXPECT_EQ(entryAt(level, 100, 200), 0);
    EXPECT_EQ(entryAt(level, 900, 600), 255);
    EXPECT_EQ(level.facts.drawingColours, 1U);
    EXPECT_EQ(entryAt(level, 901, 600), entryAt(level, 10, 600));  // the land next to it stays
    EXPECT_EQ(level.facts.largestChange, 0);
}

TEST(LevelRules, OtherSizesAreRefusedWithTheSizeFoundBeforeDecoding) {
    // Headers of 1920 x 1080 pictures with no pixel data at all: refused for
    // their size, not found short, so nothing was decoded.
    PngKind kind;
    kind.height = 1080;
    ByteVector png = encodePng(kind, std::vector<std::uint16_t>(kW * 1080 * 3, 7));
    png.resize(33);  // the signature and IHDR alone
    png.insert(png.end(), {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
    BmpOptions o;
    o.height = 1080;
    o.bitCount = 24;
    o.storedColours = 0;
    const ByteVector bmp = makeBmp(o, {}, {});
    for (const ByteVector& file : {png, bmp}) {
        const auto read = levelFromFile(file);
        ASSERT_FALSE(read);
        EXPECT_EQ(read.error().kind, PictureError::WrongSize);
        ASSERT_TRUE(read.error().facts);
        EXPECT_EQ(read.error().facts->width, 1920U);
        EXPECT_EQ(read.error().facts->height, 1080U);
    }
    // A picture of another size handed on all the same gives a level of sky,
    // and reads nothing past its pixels.
    bmp2land::picture::Picture small{2, 2, std::vector<Rgba>(4, kMagenta), {}};
    const Level level = bmp2land::drawing::makeLevel(std::move(small));
    EXPECT_EQ(level.facts.skyPixels, kPixels);
    EXPECT_EQ(level.image.pixels.size(), kPixels);
}

}  // namespace
