// landinfo's preview of each kind of file it reads, as inspect() gives the
// PNG and stb_image decodes it again: land in its stored colours, sky in the
// sky colour, a ring centred on each object with its number, what is wrong in
// the signal colour and named in the legend, the verdict of a bitmap or of a
// drawing's level that won't convert, and what could not be read of a
// damaged land file or a picture. Every pixel outside the rings, labels and
// legend (where render() says they are) is checked against the file's own
// bytes; a drawing's level keeps its colours, so its pixels are the drawing's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "drawing/drawing.hpp"
#include "landinfo/drawing_report.hpp"
#include "landinfo/inspection.hpp"
#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/level_check_report.hpp"
#include "landinfo/level_scenes.hpp"
#include "png_decoder.hpp"
#include "preview/preview.hpp"
#include "test_pictures.hpp"
#include "text_reading.hpp"

namespace bmp2land::preview {

// For gtest's messages; found by argument-dependent lookup.
std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << "(" << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ")";
}

}  // namespace bmp2land::preview

namespace {

using namespace testing_support;
namespace pv = bmp2land::preview;
namespace li = bmp2land::landinfo;

constexpr pv::Rgb kSky = {189, 215, 238};
constexpr pv::Rgb kSignal = {255, 0, 0};
constexpr pv::Rgb kRing = {255, 221, 0};
constexpr pv::Rgb kStripe = {110, 110, 110};
constexpr pv::Rgb kOtherStripe = {150, 150, 150};
constexpr std::size_t kPictureData = 570;  // the land file's picture bytes start here

// What a pixel may show: one colour, or either of the stripes' two.
struct Shown {
    pv::Rgb colour;
    pv::Rgb other = colour;
    bool allows(pv::Rgb c) const { return c == colour || c == other; }
};
using PixelRule = std::function<Shown(std::uint32_t x, std::uint32_t y)>;

Shown notRead(std::uint32_t, std::uint32_t) {
    return {kStripe, kOtherStripe};
}

// The level's pixel at (x, y) of a picture drawn as a bitmap: markers and 0
// are sky, 1 to 95 their palette colour, the rest land without a colour.
PixelRule levelPixels(const Picture& picture, std::size_t known = kPixels) {
    const std::vector<Colour> palette = samplePalette();
    return [picture, palette, known](std::uint32_t x, std::uint32_t y) {
        if (std::size_t{y} * kW + x >= known)
            return notRead(x, y);
        const std::uint8_t v = picture.indexes[(kH - 1 - y) * kW + x];
        if (v == 0 || v == 255)
            return Shown{kSky};
        if (v > 95)
            return Shown{kSignal};
        const Colour c = palette[v];
        return Shown{{c.red, c.green, c.blue}};
    };
}

// The objects of a picture in the order the conversion finds them: bottom
// row first, left to right.
std::vector<pv::Point> markers(const Picture& picture) {
    std::vector<pv::Point> found;
    for (std::size_t k = 0; k < kPixels; ++k) {
        if (picture.indexes[k] == 255)
            found.push_back(
                {static_cast<std::uint32_t>(k % kW), static_cast<std::uint32_t>(kH - 1 - k / kW)});
    }
    return found;
}

// Pixels of colours 96 to 254 among the first `known` of the picture, top
// row first.
std::size_t unstored(const Picture& picture, std::size_t known = kPixels) {
    std::size_t n = 0;
    for (std::size_t k = 0; k < known; ++k) {
        const std::uint8_t v = picture.indexes[(kH - 1 - k / kW) * kW + k % kW];
        n += v >= 96 && v < 255;
    }
    return n;
}

std::string greys(const Picture& picture, std::size_t known = kPixels) {
    return "colours 96 to 254, not stored: " + std::to_string(unstored(picture, known)) + " pixels";
}

// A ring around these objects, counted from 1.
struct Ring {
    std::vector<std::size_t> objects;
    pv::Point centre;
    bool signal = false;
};

// One plain ring at each place, numbered in order.
std::vector<Ring> ringsAt(const std::vector<pv::Point>& places) {
    std::vector<Ring> rings;
    for (std::size_t i = 0; i < places.size(); ++i)
        rings.push_back({{i + 1}, places[i], false});
    return rings;
}

// A ring's number: "7", "3,12", or the first three and how many more.
std::string labelOf(const std::vector<std::size_t>& objects) {
    std::string text;
    for (std::size_t i = 0; i < std::min<std::size_t>(objects.size(), 3); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(objects[i]);
    }
    if (objects.size() > 3)
        text += ",+" + std::to_string(objects.size() - 3);
    return text;
}

struct Kind {
    const char* name;
    ByteVector file;
    int status;
    std::vector<std::string> legend;  // top to bottom
    std::vector<Ring> rings;          // all of them
    PixelRule pixel;
    std::vector<pv::Point> signalPixels = {};  // under a ring, but in the signal colour
};

std::ostream& operator<<(std::ostream& out, const Kind& k) {
    return out << k.name;
}

constexpr const char* kPath = "in";  // the file's name in the words

// A drawing's level as a bitmap on the disk would be read, or what could not
// be read of the drawing.
pv::Scene drawingScene(const ByteVector& file) {
    const auto level = bmp2land::drawing::levelFromFile(file);
    pv::Scene scene;
    if (!level) {
        scene.unreadable =
            std::string(kPath) + ": " +
            li::pictureFailureText(level.error(), bmp2land::picture::pictureFormat(file));
        return scene;
    }
    const li::LevelCheck check = li::checkLevel(li::exportBitmap(level->image));
    scene = li::levelBitmapScene(*check.image);
    if (!check.converts()) {
        scene.verdict = li::verdictText(check, "");
        scene.verdict.pop_back();
    }
    scene.notes = li::drawingNotes(level->facts);
    return scene;
}

// The scene landinfo draws of `file`, rendered here for where its rings,
// labels and legend are.
pv::Preview layoutOf(const ByteVector& file) {
    if (bmp2land::picture::pictureFormat(file) == li::PictureFormat::Other) {
        const li::LandFileReading reading = li::readLandFileRecords(file, file.size());
        pv::Scene scene = li::landFileScene(reading);
        if (reading.error) {
            scene.unreadable = std::string(kPath) + ": " + std::string(reading.error->record) +
                               ": " + reading.error->problem + " at offset " +
                               std::to_string(reading.error->offset);
        }
        return pv::render(scene);
    }
    const li::LevelCheck check = li::checkLevel(file);
    // The page's way to tell a drawing, without checking a bitmap, agrees.
    EXPECT_EQ(li::isDrawing(file, file.size()), check.isDrawing());
    if (check.isDrawing())
        return pv::render(drawingScene(file));
    pv::Scene scene = check.image ? li::levelBitmapScene(*check.image) : pv::Scene{};
    if (!check.converts()) {
        scene.verdict = li::verdictText(check, kPath);
        scene.verdict.pop_back();
    }
    scene.notes = li::bitmapNotes(check);
    return pv::render(scene);
}

pv::Image decoded(const std::vector<std::uint8_t>& png) {
    const auto d = decodePng(png);
    EXPECT_TRUE(d.has_value()) << "stb_image can't decode the preview";
    pv::Image image(pv::kWidth, pv::kHeight);
    if (!d || d->width != static_cast<int>(pv::kWidth) ||
        d->height != static_cast<int>(pv::kHeight)) {
        ADD_FAILURE() << "not a 1920 x 696 picture";
        return image;
    }
    for (std::uint32_t y = 0; y < pv::kHeight; ++y) {
        for (std::uint32_t x = 0; x < pv::kWidth; ++x) {
            const std::size_t at = (std::size_t{y} * pv::kWidth + x) * 3;
            image.set(x, y, {d->rgb[at], d->rgb[at + 1], d->rgb[at + 2]});
        }
    }
    return image;
}

pv::Box ringSquare(const pv::Mark& m) {
    const std::int64_t reach = m.radius + 3;
    return {std::int64_t{m.centre.x} - reach, std::int64_t{m.centre.y} - reach, 2 * reach + 1,
            2 * reach + 1};
}

bool overlaid(const pv::Preview& p, std::uint32_t x, std::uint32_t y) {
    return p.legend.contains(x, y) ||
           std::any_of(p.marks.begin(), p.marks.end(), [&](const pv::Mark& m) {
               return ringSquare(m).contains(x, y) || m.label.contains(x, y);
           });
}

class preview_of : public ::testing::TestWithParam<Kind> {};

TEST_P(preview_of, shows_the_file_and_what_is_wrong) {
    const Kind& k = GetParam();
    li::Request request;
    request.path = kPath;
    request.output = li::Output::Preview;
    request.outPath = "out.png";
    const li::Inspection inspection = li::inspect(request, k.file, k.file.size());
    EXPECT_EQ(inspection.status, k.status);
    ASSERT_TRUE(inspection.written.has_value()) << inspection.err;
    const pv::Image image = decoded(*inspection.written);
    const pv::Preview layout = layoutOf(k.file);

    std::size_t checked = 0;
    for (std::uint32_t y = 0; y < pv::kHeight; ++y) {
        for (std::uint32_t x = 0; x < pv::kWidth; ++x) {
            if (overlaid(layout, x, y))
                continue;
            ++checked;
            const Shown expected = k.pixel(x, y);
            ASSERT_TRUE(expected.allows(image.at(x, y)))
                << "at " << x << ", " << y << ": " << image.at(x, y) << ", not " << expected.colour;
        }
    }
    EXPECT_GT(checked, pv::kPixelCount * 8 / 10);
    for (const pv::Point& p : k.signalPixels)
        EXPECT_EQ(image.at(p.x, p.y), kSignal) << p.x << ", " << p.y;

    // Each item of the legend starts a line; a long one wraps at spaces onto
    // the next lines.
    std::vector<std::string> lines;
    for (const pv::TextLine& line : layout.legendLines)
        lines.push_back(readText(image, line.box));
    std::vector<std::string> legend;
    std::size_t next = 0;
    for (const std::string& item : k.legend) {
        std::string joined;
        while (next < lines.size() && joined.size() < item.size())
            joined += (joined.empty() ? "" : " ") + lines[next++];
        legend.push_back(joined);
    }
    legend.insert(legend.end(), lines.begin() + static_cast<std::ptrdiff_t>(next), lines.end());
    EXPECT_EQ(legend, k.legend);

    EXPECT_EQ(layout.marks.size(), k.rings.size());
    for (const Ring& ring : k.rings) {
        const auto m =
            std::find_if(layout.marks.begin(), layout.marks.end(),
                         [&](const pv::Mark& mark) { return mark.objects == ring.objects; });
        ASSERT_NE(m, layout.marks.end()) << "no ring for object " << ring.objects.front();
        SCOPED_TRACE("object " + labelOf(ring.objects));
        EXPECT_EQ(m->centre, ring.centre);
        const pv::Rgb band = ring.signal ? kSignal : kRing;
        const auto r = static_cast<std::uint32_t>(m->radius);
        const pv::Point c = ring.centre;
        if (c.y >= r) {
            EXPECT_EQ(image.at(c.x, c.y - r), band) << "above";
        }
        if (c.y + r < pv::kHeight) {
            EXPECT_EQ(image.at(c.x, c.y + r), band) << "below";
        }
        if (c.x >= r) {
            EXPECT_EQ(image.at(c.x - r, c.y), band) << "left";
        }
        if (c.x + r < pv::kWidth) {
            EXPECT_EQ(image.at(c.x + r, c.y), band) << "right";
        }
        const pv::Box text = {m->label.left + pv::kLabelPadding, m->label.top + pv::kLabelPadding,
                              m->label.width - 2 * pv::kLabelPadding,
                              m->label.height - 2 * pv::kLabelPadding};
        EXPECT_EQ(readText(image, text), labelOf(ring.objects));
    }
}

// ---- the files ----

Picture withoutGreys(Picture picture) {
    for (auto& v : picture.indexes)
        v = v >= 96 && v <= 254 ? 1 : v;
    return picture;
}

ByteVector landFileOf(const Picture& picture) {
    return expectedLandFile(picture, samplePalette());
}

void setU32(ByteVector& file, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Kind landFile() {
    const Picture picture = samplePicture();
    return {"a_land_file",    landFileOf(picture),       0,
            {greys(picture)}, ringsAt(markers(picture)), levelPixels(picture)};
}

// Objects 1 and 6 at one place, a pixel of 255 in the sky and two mask bits
// wrong, each drawn and named.
Kind landFileWithProblems() {
    const Picture picture = withoutGreys(samplePicture());
    ByteVector file = landFileOf(picture);
    std::vector<pv::Point> places = markers(picture);
    setU32(file, 24 + 8 * 5, places[0].x);
    setU32(file, 24 + 8 * 5 + 4, places[0].y);
    places.erase(places.begin() + 5);
    std::vector<Ring> rings = ringsAt(places);
    rings[0].objects = {1, 6};
    rings[0].signal = true;
    for (std::size_t i = 5; i < rings.size(); ++i)
        rings[i].objects = {i + 2};
    // The pixel of 255 with its mask bits set, as if it were land.
    const std::size_t k = 10 * kW + 1000;
    file[kPictureData + k] = 255;
    for (const std::size_t mask : {1336890U + 15, 1503945U + 15})
        file[mask + k / 8] |= static_cast<std::uint8_t>(1U << (k % 8));
    file[1336890 + 15 + (600 * kW + 16) / 8] ^= 0x03;  // pixels 600 * 1920 + 16 and 17
    const PixelRule level = levelPixels(picture);
    return {
        "a_land_file_with_objects_at_one_place_colour_255_and_a_wrong_mask",
        file,
        0,
        {"colour 255, objects once converted: 1 pixel", "objects at the place of an earlier one: 1",
         "mask differs from the picture: 2 pixels"},
        rings,
        [level](std::uint32_t x, std::uint32_t y) {
            if ((y == 10 && x == 1000) || (y == 600 && (x == 16 || x == 17)))
                return Shown{kSignal};
            return level(x, y);
        }};
}

// The 30 objects and a soft brush's blot of 3 x 3, and land of colours 96 to
// 254: 39 objects, so bmp2land refuses it.
Kind bitmapWithABlot() {
    Picture picture = samplePicture();
    for (std::uint32_t y = 200; y < 203; ++y) {
        for (std::uint32_t x = 1500; x < 1503; ++x)
            picture.at(x, y) = 255;
    }
    const std::vector<pv::Point> order = markers(picture);
    std::vector<Ring> rings;
    Ring blot{{}, {1501, 201}, true};
    std::vector<pv::Point> blotPixels;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const pv::Point p = order[i];
        if (p.x >= 1500 && p.x < 1503 && p.y >= 200 && p.y < 203) {
            blot.objects.push_back(i + 1);
            blotPixels.push_back(p);
        } else {
            rings.push_back({{i + 1}, p, false});
        }
    }
    rings.push_back(blot);
    Kind kind{"a_bitmap_with_a_blot_and_colours_96_to_254",
              makeBmp(picture),
              1,
              {"verdict: You must have exactly 30 object positions!", greys(picture),
               "object pixels that touch (a brush blot): 9"},
              rings,
              levelPixels(picture),
              blotPixels};
    return kind;
}

Kind convertingBitmap() {
    const Picture picture = withoutGreys(samplePicture());
    return {"a_bitmap_that_converts",  makeBmp(picture),    0, {},
            ringsAt(markers(picture)), levelPixels(picture)};
}

const std::string kAllNotRead = "not read (striped): 1336320 pixels";

Kind notReadBitmap(const char* name, ByteVector file, const std::string& verdict) {
    return {name, std::move(file), 1, {verdict, kAllNotRead}, {}, notRead};
}

// The picture as a drawing: its colours, its markers in magenta and its sky
// transparent.
std::vector<Rgba> drawingOf(const Picture& picture) {
    const std::vector<Colour> palette = samplePalette();
    std::vector<Rgba> pixels(kPixels);
    for (std::size_t y = 0; y < kH; ++y) {
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = picture.indexes[(kH - 1 - y) * kW + x];
            const Colour c = palette[v];
            pixels[y * kW + x] = v == 255 ? kMagenta
                                 : v == 0 ? Rgba{0, 0, 0, 0}
                                          : Rgba{c.red, c.green, c.blue, 255};
        }
    }
    return pixels;
}

// A drawing of 95 colours and 30 magenta dots, transparent sky: its level
// keeps every colour and object where it is.
Kind pngDrawing() {
    const Picture picture = withoutGreys(samplePicture());
    return {
        "a_png_drawing",     rgbaPng(drawingOf(picture), true), 0, {}, ringsAt(markers(picture)),
        levelPixels(picture)};
}

// The same drawn with 29 objects and saved as a 24-bit BMP: the level is
// made all the same, and its verdict shown.
Kind bmpDrawingWith29Objects() {
    const Picture picture = withoutGreys(samplePicture(29));
    return {"a_24_bit_drawing_with_29_objects",
            rgbBmp(drawingOf(picture)),
            1,
            {"verdict: You must have exactly 30 object positions!"},
            ringsAt(markers(picture)),
            levelPixels(picture)};
}

// A picture that gives no level: what is wrong with it, on stripes.
Kind unreadablePicture(const char* name, ByteVector file, const std::string& reason) {
    return {name, std::move(file), 1, {std::string(kPath) + ": " + reason, kAllNotRead},
            {},   notRead};
}

ByteVector widePng() {
    PngKind wide;
    wide.height = 1080;
    return encodePng(wide, std::vector<std::uint16_t>(std::size_t{kW} * 1080 * 3, 200));
}

ByteVector truncatedPng() {
    ByteVector png = rgbaPng(drawingOf(samplePicture()), true);
    png.resize(png.size() / 2);
    return png;
}

// A JPEG's start, which neither program reads.
ByteVector jpegPicture() {
    ByteVector jpeg(2000, 0);
    const ByteVector start = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0};
    std::copy(start.begin(), start.end(), jpeg.begin());
    return jpeg;
}

ByteVector bitmap24() {
    BmpOptions o;
    o.bitCount = 24;
    return makeBmp(o, samplePalette(), ByteVector(kPixels * 3, 40));
}

ByteVector truncatedBitmap() {
    ByteVector file = makeBmp(samplePicture());
    file.resize(file.size() / 2);
    return file;
}

// A PNG's signature and header, and nothing of its pixels.
ByteVector pngPicture() {
    const ByteVector start = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                              'I',  'H', 'D', 'R', 0,    0,    7,    0x80, 0, 0, 2, 0xB8};
    ByteVector png(200, 0);
    std::copy(start.begin(), start.end(), png.begin());
    return png;
}

// What could not be read, as standard error says it.
std::string said(const std::string& problem) {
    return std::string(kPath) + ": " + problem;
}

std::string notReadPixels(std::size_t n) {
    return "not read (striped): " + std::to_string(n) + " pixels";
}

ByteVector changed(ByteVector file, std::size_t at, std::uint8_t value) {
    file[at] = value;
    return file;
}

ByteVector cut(ByteVector file, std::size_t size) {
    file.resize(size);
    return file;
}

constexpr std::size_t kRead = 400 * kW + 17;  // pixels of a picture cut short

INSTANTIATE_TEST_SUITE_P(
    landinfo, preview_of,
    ::testing::Values(
        landFile(), landFileWithProblems(), bitmapWithABlot(), convertingBitmap(),
        Kind{"a_24_bit_bitmap_of_one_colour",
             bitmap24(),
             1,
             {"verdict: You must have exactly 30 object positions!",
              "no sky: the drawing has no transparent or pure black pixels, so all of the level "
              "is land"},
             {},
             [](std::uint32_t, std::uint32_t) {
                 return Shown{{40, 40, 40}};
             }},
        notReadBitmap("a_truncated_bitmap", truncatedBitmap(), "verdict: File in is truncated!"),
        pngDrawing(), bmpDrawingWith29Objects(),
        unreadablePicture("a_png_picture_of_a_header_alone", pngPicture(),
                          "is damaged; save it again"),
        unreadablePicture("a_truncated_png_drawing", truncatedPng(),
                          "is cut short; save or copy the picture again"),
        unreadablePicture("a_png_drawing_of_the_wrong_size", widePng(),
                          "is 1920 x 1080; crop it or extend its canvas to 1920 x 696 (in GIMP, "
                          "Image > Canvas Size), but don't scale it: scaling blends the colours "
                          "along every edge"),
        Kind{"a_jpeg_picture",
             jpegPicture(),
             1,
             {"verdict: Not 8-bit bitmap!",
              "a JPEG picture, which neither program reads: save the drawing as PNG or BMP",
              kAllNotRead},
             {},
             notRead},
        Kind{"a_land_file_with_a_bad_header",
             changed(landFileOf(samplePicture()), 0, 'X'),
             1,
             {said("LND header: bad magic at offset 0"), kAllNotRead},
             {},
             notRead},
        Kind{"a_land_file_with_a_bad_mask",
             changed(landFileOf(samplePicture()), 1336890, 'X'),
             1,
             {said("IMG chunk 2: bad magic at offset 1336890"), greys(samplePicture())},
             ringsAt(markers(samplePicture())),
             levelPixels(samplePicture())},
        Kind{"a_land_file_cut_short_in_its_picture",
             cut(landFileOf(samplePicture()), kPictureData + kRead),
             1,
             {said("IMG chunk 1: cut short at offset " + std::to_string(kPictureData + kRead)),
              greys(samplePicture(), kRead), notReadPixels(kPixels - kRead)},
             ringsAt(markers(samplePicture())),
             levelPixels(samplePicture(), kRead)},
        Kind{"a_land_file_with_an_object_outside",
             changed(landFileOf(samplePicture()), 24 + 1, 0x08),
             1,
             {said("object positions: position outside the picture at offset 24"),
              "objects outside the picture, shown at its edge: 1", kAllNotRead},
             [] {
                 std::vector<Ring> rings = ringsAt(markers(samplePicture()));
                 rings[0].centre.x = 1919;
                 rings[0].signal = true;
                 return rings;
             }(),
             notRead}),
    [](const ::testing::TestParamInfo<Kind>& p) { return std::string(p.param.name); });

// Where the preview can't be made, landinfo says why after its report, and
// the status is 1 whatever the file.
TEST(landinfo_preview, not_made_says_why) {
    const ByteVector file = landFileOf(samplePicture());
    li::Request request;
    request.path = kPath;
    request.outPath = "out.png";
    const li::Inspection report = li::inspect(request, file, file.size());
    ASSERT_EQ(report.status, 0);
    request.output = li::Output::Preview;
    request.encodePng = [](std::uint32_t, std::uint32_t, bmp2land::Bytes)
        -> bmp2land::Expected<std::vector<std::uint8_t>, bmp2land::png::WriteError> {
        return bmp2land::fail(bmp2land::png::WriteError::NotBuilt);
    };
    const li::Inspection refused = li::inspect(request, file, file.size());
    EXPECT_EQ(refused.out, report.out);
    EXPECT_EQ(refused.err,
              "out.png: PNG support was not built (stb_image_write.h was not found); nothing "
              "written\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.written.has_value());
}

// README's picture is the example level's preview as this build draws it,
// pixel for pixel whatever the encoder's compression, and small enough for
// the page.
TEST(landinfo_preview, readme_picture_is_current) {
    const ByteVector committed = readFile(COMMITTED_PREVIEW);
    const auto expected = decodePng(readFile(EXAMPLE_PREVIEW));
    const auto shown = decodePng(committed);
    const char* const remake =
        "; make it anew with `cmake --build build --target update_example_preview` and commit it";
    ASSERT_TRUE(expected.has_value()) << "the build drew no preview at " EXAMPLE_PREVIEW;
    ASSERT_TRUE(shown.has_value()) << COMMITTED_PREVIEW " is missing or not a PNG" << remake;
    EXPECT_TRUE(shown->width == expected->width && shown->height == expected->height &&
                shown->rgb == expected->rgb)
        << "docs/example-preview.png is not the preview of today's example" << remake;
    EXPECT_LT(committed.size(), 300U * 1024U);
}

}  // namespace
