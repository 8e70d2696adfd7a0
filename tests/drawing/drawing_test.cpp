// Pictures of every kind, made here, each turned into the level it must give.

#include "drawing/drawing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "png/png_reader.hpp"
#include "test_pictures.hpp"

namespace {

using namespace testing_support;
using bmp2land::drawing::Level;
using bmp2land::drawing::levelFromFile;
using bmp2land::drawing::Mapping;
using bmp2land::drawing::SkyRule;
using bmp2land::picture::ColourType;
using bmp2land::picture::PictureFacts;
using bmp2land::picture::PictureFormat;

using Samples = std::vector<std::uint16_t>;

constexpr Rgba kBlack = {0, 0, 0, 255};
constexpr Rgba kGreen = {40, 160, 50, 255};
constexpr Rgba kBrown = {150, 100, 60, 255};
constexpr Rgba kSlate = {90, 90, 100, 255};

Rgba grey(std::uint8_t v, std::uint8_t alpha = 255) {
    return {v, v, v, alpha};
}

struct Case {
    std::string name;
    ByteVector file;
    PartColours decoded;  // what each part must read as
    std::string facts;    // the picture's facts in short
};

std::string factsOf(const PictureFacts& f) {
    static const char* const kTypes[] = {"grey", "grey+alpha", "RGB", "RGBA", "indexed"};
    std::ostringstream s;
    s << (f.format == PictureFormat::Png ? "PNG " : "BMP ")
      << kTypes[static_cast<int>(f.colourType)] << ' ' << int(f.bitDepth);
    if (f.interlaced)
        s << " interlaced";
    if (f.format == PictureFormat::Bmp)
        s << " header " << f.bmpHeaderSize << " compression " << f.bmpCompression;
    if (f.topDown)
        s << " top-down";
    return s.str();
}

// A PNG of the scene, each part given its samples.
Case pngCase(std::string name, const PngKind& kind, const std::array<Samples, kParts>& samples,
             const PartColours& decoded, std::string facts) {
    Samples all;
    all.reserve(kPixels * channelsOf(kind.colourType));
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const Samples& s = samples[static_cast<std::size_t>(partAt(x, y))];
            all.insert(all.end(), s.begin(), s.end());
        }
    return {std::move(name), encodePng(kind, all), decoded, std::move(facts)};
}

PngKind png(std::uint8_t colourType, std::uint8_t depth, bool interlaced = false) {
    PngKind kind;
    kind.colourType = colourType;
    kind.bitDepth = depth;
    kind.interlaced = interlaced;
    return kind;
}

ByteVector plte(const std::vector<Rgba>& colours) {
    ByteVector out;
    for (const Rgba& c : colours)
        out.insert(out.end(), {c.red, c.green, c.blue});
    return out;
}

Samples wide(const Samples& eight) {  // 16-bit samples whose high byte is `eight`
    Samples out;
    for (const std::uint16_t v : eight)
        out.push_back(static_cast<std::uint16_t>(v * 257 ^ 0x35));
    return out;
}

std::array<Samples, kParts> widen(const std::array<Samples, kParts>& eight) {
    std::array<Samples, kParts> out;
    std::transform(eight.begin(), eight.end(), out.begin(), wide);
    return out;
}

std::vector<Case> pngCases() {
    std::vector<Case> cases;
    const PartColours rgbScene = {kBlack, kGreen, kBrown, kSlate, kMagenta};
    const std::array<Samples, kParts> rgb = {
        Samples{0, 0, 0}, {40, 160, 50}, {150, 100, 60}, {90, 90, 100}, {255, 0, 255}};
    cases.push_back(pngCase("PNG grey 1", png(0, 1), {{{0}, {1}, {1}, {1}, {1}}},
                            {kBlack, grey(255), grey(255), grey(255), grey(255)}, "PNG grey 1"));
    cases.push_back(pngCase("PNG grey 2", png(0, 2), {{{0}, {1}, {2}, {3}, {3}}},
                            {kBlack, grey(85), grey(170), grey(255), grey(255)}, "PNG grey 2"));
    cases.push_back(pngCase("PNG grey 4", png(0, 4), {{{0}, {5}, {9}, {14}, {14}}},
                            {kBlack, grey(85), grey(153), grey(238), grey(238)}, "PNG grey 4"));
    cases.push_back(pngCase("PNG grey 8", png(0, 8), {{{0}, {60}, {120}, {200}, {200}}},
                            {kBlack, grey(60), grey(120), grey(200), grey(200)}, "PNG grey 8"));
    cases.push_back(pngCase("PNG grey 16", png(0, 16), widen({{{0}, {60}, {120}, {200}, {200}}}),
                            {kBlack, grey(60), grey(120), grey(200), grey(200)}, "PNG grey 16"));
    cases.push_back(pngCase("PNG RGB 8", png(2, 8), rgb, rgbScene, "PNG RGB 8"));
    cases.push_back(pngCase("PNG RGB 16", png(2, 16), widen(rgb), rgbScene, "PNG RGB 16"));
    cases.push_back(
        pngCase("PNG RGB 8 interlaced", png(2, 8, true), rgb, rgbScene, "PNG RGB 8 interlaced"));

    PngKind indexed1 = png(3, 1);
    indexed1.plte = plte({kBlack, kGreen});
    cases.push_back(pngCase("PNG indexed 1", indexed1, {{{0}, {1}, {1}, {1}, {1}}},
                            {kBlack, kGreen, kGreen, kGreen, kGreen}, "PNG indexed 1"));
    PngKind indexed2 = png(3, 2);
    indexed2.plte = plte({kMagenta, kBrown, kBlack, kGreen});
    cases.push_back(pngCase("PNG indexed 2", indexed2, {{{2}, {3}, {1}, {1}, {0}}},
                            {kBlack, kGreen, kBrown, kBrown, kMagenta}, "PNG indexed 2"));
    // A palette in no particular order, with unused entries and the sky last.
    PngKind indexed4 = png(3, 4, true);
    std::vector<Rgba> sixteen(16, Rgba{7, 7, 7, 255});
    sixteen[0] = kSlate;
    sixteen[3] = kMagenta;
    sixteen[9] = kGreen;
    sixteen[12] = kBrown;
    sixteen[15] = kBlack;
    indexed4.plte = plte(sixteen);
    const std::array<Samples, kParts> indexed4Samples = {{{15}, {9}, {12}, {0}, {3}}};
    cases.push_back(pngCase("PNG indexed 4 interlaced", indexed4, indexed4Samples, rgbScene,
                            "PNG indexed 4 interlaced"));
    // 256 entries, the sky transparent by tRNS.
    PngKind indexed8 = png(3, 8);
    std::vector<Rgba> full(256, Rgba{1, 2, 3, 255});
    full[200] = {10, 20, 30, 255};
    full[17] = kMagenta;
    full[90] = kGreen;
    full[91] = kBrown;
    full[5] = kBlack;  // land: the sky is transparent
    indexed8.plte = plte(full);
    indexed8.trns = ByteVector(256, 255);
    indexed8.trns[200] = 0;
    cases.push_back(pngCase("PNG indexed 8, tRNS", indexed8, {{{200}, {90}, {91}, {5}, {17}}},
                            {Rgba{10, 20, 30, 0}, kGreen, kBrown, kBlack, kMagenta},
                            "PNG indexed 8"));

    // Indexes past a short palette are black, as other readers take them.
    PngKind shortPlte = png(3, 8);
    shortPlte.compressed = true;
    shortPlte.plte = plte({kGreen, kBrown, kSlate, kMagenta});
    cases.push_back(pngCase("PNG indexed 8, indexes past PLTE", shortPlte,
                            {{{200}, {0}, {1}, {2}, {3}}}, rgbScene, "PNG indexed 8"));

    // Transparent skies: black is land then.
    const PartColours alphaGreys = {grey(0, 0), grey(60), grey(120), grey(0), grey(200)};
    cases.push_back(pngCase("PNG grey+alpha 8", png(4, 8),
                            {{{0, 0}, {60, 255}, {120, 255}, {0, 255}, {200, 255}}}, alphaGreys,
                            "PNG grey+alpha 8"));
    cases.push_back(pngCase("PNG grey+alpha 16", png(4, 16),
                            widen({{{0, 0}, {60, 255}, {120, 255}, {0, 255}, {200, 255}}}),
                            alphaGreys, "PNG grey+alpha 16"));
    const std::array<Samples, kParts> rgba = {Samples{9, 9, 9, 100},
                                              {40, 160, 50, 255},
                                              {150, 100, 60, 200},
                                              {0, 0, 0, 255},
                                              {255, 0, 255, 255}};
    const PartColours rgbaScene = {Rgba{9, 9, 9, 100}, kGreen, Rgba{150, 100, 60, 200}, kBlack,
                                   kMagenta};
    cases.push_back(pngCase("PNG RGBA 8", png(6, 8), rgba, rgbaScene, "PNG RGBA 8"));
    cases.push_back(pngCase("PNG RGBA 16 interlaced", png(6, 16, true), widen(rgba), rgbaScene,
                            "PNG RGBA 16 interlaced"));
    // Compressed, as paint programs save it: a file far smaller than its
    // passes, which hold a filter byte more a row than a plain picture's rows.
    PngKind small16 = png(6, 16, true);
    small16.compressed = true;
    cases.push_back(pngCase("PNG RGBA 16 interlaced, compressed", small16, widen(rgba), rgbaScene,
                            "PNG RGBA 16 interlaced"));

    PngKind rgbTrns = png(2, 8);
    rgbTrns.trns = {0, 100, 0, 150, 0, 250};
    cases.push_back(
        pngCase("PNG RGB 8, tRNS", rgbTrns,
                {{{100, 150, 250}, {40, 160, 50}, {150, 100, 60}, {0, 0, 0}, {255, 0, 255}}},
                {Rgba{100, 150, 250, 0}, kGreen, kBrown, kBlack, kMagenta}, "PNG RGB 8"));
    PngKind greyTrns = png(0, 8);
    greyTrns.trns = {0, 30};
    cases.push_back(pngCase("PNG grey 8, tRNS", greyTrns, {{{30}, {60}, {120}, {0}, {0}}},
                            {grey(30, 0), grey(60), grey(120), grey(0), grey(0)}, "PNG grey 8"));
    return cases;
}

std::vector<Colour> colours(const std::vector<Rgba>& rgba) {
    std::vector<Colour> out;
    for (const Rgba& c : rgba)
        out.push_back({c.red, c.green, c.blue});
    return out;
}

// A BMP of the scene, each part one pixel value (an index or packed colour).
Case bmpCase(std::string name, BmpOptions options, const std::vector<Rgba>& palette,
             const std::array<std::uint32_t, kParts>& values, const PartColours& decoded,
             std::string facts) {
    const std::vector<std::uint32_t> pixels = drawScene(values);
    ByteVector data;
    if (options.compression == 1 || options.compression == 2) {
        std::vector<std::uint8_t> indexes(pixels.begin(), pixels.end());
        data = encodeRle(indexes, kW, kH, options.compression == 2);
    } else {
        data = packBmpRows(pixels, kW, kH, options.bitCount);
    }
    options.storedColours = palette.size();
    return {std::move(name), makeBmp(options, colours(palette), data), decoded, std::move(facts)};
}

BmpOptions bmp(std::uint16_t bitCount, std::uint32_t compression = 0,
               std::uint32_t headerSize = 40) {
    BmpOptions o;
    o.bitCount = bitCount;
    o.compression = compression;
    o.infoHeaderSize = headerSize;
    return o;
}

std::uint32_t packed(const Rgba& c, std::array<std::uint32_t, 4> masks) {
    const auto field = [](std::uint8_t v, std::uint32_t mask) {
        const int shift = __builtin_ctz(mask);
        const std::uint32_t top = mask >> shift;
        return ((std::uint32_t{v} * top + 127) / 255) << shift;
    };
    return field(c.red, masks[0]) | field(c.green, masks[1]) | field(c.blue, masks[2]) |
           (masks[3] != 0 ? field(c.alpha, masks[3]) : 0);
}

std::vector<Case> bmpCases() {
    std::vector<Case> cases;
    const PartColours scene = {kBlack, kGreen, kBrown, kSlate, kMagenta};
    const auto direct = [&](std::array<std::uint32_t, 4> masks, const PartColours& c) {
        std::array<std::uint32_t, kParts> v{};
        for (std::size_t p = 0; p < kParts; ++p)
            v[p] = packed(c[p], masks);
        return v;
    };
    const std::array<std::uint32_t, 4> rgb888 = {0xFF0000, 0xFF00, 0xFF, 0};

    cases.push_back(bmpCase("BMP 1", bmp(1), {kBlack, kGreen}, {0, 1, 1, 1, 1},
                            {kBlack, kGreen, kGreen, kGreen, kGreen},
                            "BMP indexed 1 header 40 compression 0"));
    std::vector<Rgba> sixteen(16, Rgba{7, 7, 7, 255});
    sixteen[2] = kMagenta;
    sixteen[4] = kBlack;
    sixteen[8] = kSlate;
    sixteen[11] = kBrown;
    sixteen[13] = kGreen;
    cases.push_back(bmpCase("BMP 4", bmp(4), sixteen, {4, 13, 11, 8, 2}, scene,
                            "BMP indexed 4 header 40 compression 0"));
    cases.push_back(bmpCase("BMP RLE4", bmp(4, 2), sixteen, {4, 13, 11, 8, 2}, scene,
                            "BMP indexed 4 header 40 compression 2"));
    // The level's own size in 8 bits, read by bmp2land too, but with the
    // magenta at entry 7: it does not convert, so it goes by colour.
    std::vector<Rgba> renumbered(256, Rgba{7, 7, 7, 255});
    renumbered[7] = kMagenta;
    renumbered[0] = kGreen;
    renumbered[1] = kBlack;
    renumbered[254] = kBrown;
    renumbered[255] = kSlate;
    cases.push_back(bmpCase("BMP 8, magenta at 7", bmp(8), renumbered, {1, 0, 254, 255, 7}, scene,
                            "BMP indexed 8 header 40 compression 0"));
    cases.push_back(bmpCase("BMP RLE8", bmp(8, 1), renumbered, {1, 0, 254, 255, 7}, scene,
                            "BMP indexed 8 header 40 compression 1"));
    BmpOptions topDown8 = bmp(8, 0, 124);
    topDown8.topDown = true;
    cases.push_back(bmpCase("BMP 8 top-down, V5 header", topDown8, renumbered, {1, 0, 254, 255, 7},
                            scene, "BMP indexed 8 header 124 compression 0 top-down"));
    cases.push_back(bmpCase("BMP 8, core header", bmp(8, 0, 12), renumbered, {1, 0, 254, 255, 7},
                            scene, "BMP indexed 8 header 12 compression 0"));

    // 5 or 6 bits a channel: the colours those bits hold, scaled back up.
    const auto through = [](const PartColours& c, std::array<std::uint32_t, 4> masks) {
        PartColours out = c;
        const auto channel = [](std::uint8_t v, std::uint32_t mask) {
            const std::uint32_t top = mask >> __builtin_ctz(mask);
            const std::uint32_t stored = (std::uint32_t{v} * top + 127) / 255;
            return static_cast<std::uint8_t>((stored * 255 + top / 2) / top);
        };
        for (Rgba& p : out)
            p = {channel(p.red, masks[0]), channel(p.green, masks[1]), channel(p.blue, masks[2]),
                 p.alpha};
        return out;
    };
    const std::array<std::uint32_t, 4> rgb555 = {0x7C00, 0x03E0, 0x001F, 0};
    const PartColours scene555 = through(scene, rgb555);
    cases.push_back(bmpCase("BMP 16 (5-5-5)", bmp(16), {}, direct(rgb555, scene555), scene555,
                            "BMP RGB 16 header 40 compression 0"));
    BmpOptions bits565 = bmp(16, 3);
    bits565.maskBytes = 12;
    bits565.masks = {0xF800, 0x07E0, 0x001F, 0};
    const PartColours scene565 = through(scene, bits565.masks);
    cases.push_back(bmpCase("BMP 16 (5-6-5 bit fields)", bits565, {},
                            direct(bits565.masks, scene565), scene565,
                            "BMP RGB 16 header 40 compression 3"));
    cases.push_back(bmpCase("BMP 24", bmp(24), {}, direct(rgb888, scene), scene,
                            "BMP RGB 24 header 40 compression 0"));
    BmpOptions topDown24 = bmp(24);
    topDown24.topDown = true;
    cases.push_back(bmpCase("BMP 24 top-down", topDown24, {}, direct(rgb888, scene), scene,
                            "BMP RGB 24 header 40 compression 0 top-down"));
    cases.push_back(bmpCase("BMP 24, core header", bmp(24, 0, 12), {}, direct(rgb888, scene), scene,
                            "BMP RGB 24 header 12 compression 0"));
    cases.push_back(bmpCase("BMP 24, V5 header", bmp(24, 0, 124), {}, direct(rgb888, scene), scene,
                            "BMP RGB 24 header 124 compression 0"));
    // 32 bits without alpha: the fourth byte is left 0, and means nothing.
    cases.push_back(bmpCase("BMP 32", bmp(32), {}, direct(rgb888, scene), scene,
                            "BMP RGB 32 header 40 compression 0"));
    const PartColours alphaScene = {Rgba{9, 9, 9, 0}, kGreen, Rgba{150, 100, 60, 200}, kBlack,
                                    kMagenta};
    // 32 bits without bit fields, RGBA as Pillow writes it: the fourth byte
    // is alpha where it is not 0 everywhere.
    cases.push_back(bmpCase("BMP 32, alpha in the fourth byte", bmp(32), {},
                            direct({0xFF0000, 0xFF00, 0xFF, 0xFF000000}, alphaScene), alphaScene,
                            "BMP RGBA 32 header 40 compression 0"));
    BmpOptions v5alpha = bmp(32, 3, 124);
    v5alpha.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    cases.push_back(bmpCase("BMP 32, V5 alpha bit fields", v5alpha, {},
                            direct(v5alpha.masks, alphaScene), alphaScene,
                            "BMP RGBA 32 header 124 compression 3"));
    BmpOptions alphaFields = bmp(32, 6);
    alphaFields.maskBytes = 16;
    alphaFields.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};  // red in the low byte
    cases.push_back(bmpCase("BMP 32, alpha bit fields after a 40-byte header", alphaFields, {},
                            direct(alphaFields.masks, alphaScene), alphaScene,
                            "BMP RGBA 32 header 40 compression 6"));
    return cases;
}

::testing::AssertionResult sameLevel(const ByteVector& got, const ByteVector& expected) {
    if (got.size() != expected.size())
        return ::testing::AssertionFailure() << got.size() << " pixels";
    const auto diff = std::mismatch(got.begin(), got.end(), expected.begin());
    if (diff.first == got.end())
        return ::testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(diff.first - got.begin());
    return ::testing::AssertionFailure()
           << "pixel (" << at % kW << ", " << kH - 1 - at / kW << ") is " << int(*diff.first)
           << ", not " << int(*diff.second);
}

// Each picture's facts in short, and the level it gives, checked pixel by
// pixel against the scene's; every land entry has its colour.
TEST(Drawing, EveryKindOfPictureGivesItsLevel) {
    std::vector<Case> cases = bmpCases();
    if (bmp2land::png::pngDecoderBuilt()) {
        for (Case& c : pngCases())
            cases.push_back(std::move(c));
    } else {
        ADD_FAILURE() << "this build has no PNG decoder: the PNG cases are not run";
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = bmp2land::picture::readPicture(c.file);
        if (!picture) {
            ADD_FAILURE() << "refused: " << static_cast<int>(picture.error().kind) << " "
                          << picture.error().reason;
            continue;
        }
        EXPECT_EQ(factsOf(picture->facts), c.facts);
        const bool transparent = std::any_of(c.decoded.begin(), c.decoded.end(),
                                             [](const Rgba& d) { return d.alpha < 128; });
        EXPECT_EQ(picture->facts.transparent, transparent);

        const auto level = levelFromFile(c.file);
        ASSERT_TRUE(level);
        const ByteVector expected = expectedLevel(c.decoded);
        EXPECT_TRUE(sameLevel(level->image.pixels, expected));
        const auto objects =
            static_cast<std::size_t>(std::count(expected.begin(), expected.end(), 255));
        EXPECT_EQ(level->facts.objects, objects);
        EXPECT_EQ(level->facts.converts(), objects == 30);
        EXPECT_EQ(level->facts.skyRule, transparent ? SkyRule::Transparent : SkyRule::Black);
        EXPECT_EQ(level->facts.largestChange, 0);
        EXPECT_EQ(level->facts.mapping, Mapping::OwnColours);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const std::uint8_t v = expected[i];
            const Rgba& want = c.decoded[static_cast<std::size_t>(partAt(i % kW, kH - 1 - i / kW))];
            const auto& q = level->image.palette[v];
            if (v != 0 && v != 255 &&
                !(q.red == want.red && q.green == want.green && q.blue == want.blue)) {
                ADD_FAILURE() << "entry " << int(v) << " has another colour";
                break;
            }
        }
    }
}

}  // namespace
