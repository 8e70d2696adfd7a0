// landinfo as a user runs it: the summary on standard output, problems on
// standard error, the exported bitmap only from a good land file and never
// over another file, the check of a bitmap, and the preview picture of every
// kind of file, never over another file either.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "scratch_dir.hpp"
#include "test_pictures.hpp"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

// Whether this build's landinfo writes PNG files (stb_image_write.h found).
constexpr bool kWritesPng = LANDINFO_WRITES_PNG;

// A 1920 x 696 PNG, as its signature and header chunk say.
::testing::AssertionResult isPreview(const std::string& path) {
    if (!fs::exists(path))
        return ::testing::AssertionFailure() << path << " is missing";
    const ByteVector png = readFile(path);
    const ByteVector signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                  0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    if (png.size() < 24 || !std::equal(signature.begin(), signature.end(), png.begin()))
        return ::testing::AssertionFailure() << path << " is not a PNG";
    const auto field = [&](std::size_t at) {
        return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    if (field(16) != 1920 || field(20) != 696)
        return ::testing::AssertionFailure() << path << " is " << field(16) << " x " << field(20);
    return ::testing::AssertionSuccess();
}

class LandInfo : public ScratchDir {
  public:
    Outcome landinfo(const std::string& args) {
        Outcome o = runProgram(landinfoCommand() + " " + args);
        o.out = asLines(o.out);
        o.err = asLines(o.err);
        return o;
    }
    void makeLandFile(const Picture& picture) {
        writeFile(at("level.bmp"), makeBmp(picture));
        ASSERT_EQ(run("level.bmp").status, 0);
    }
    // After the report `out` and `err` that `landinfo FILE` gives with
    // `status`, `landinfo FILE png` says "written: png" and writes the
    // preview; where PNG support is not built, it says so and writes nothing.
    void expectPreview(const Outcome& o, const std::string& out, const std::string& err, int status,
                       const std::string& png, const std::string& name = "") {
        if (kWritesPng) {
            EXPECT_EQ(o.out, out + "written: " + png + "\n") << name;
            EXPECT_EQ(o.err, err) << name;
            EXPECT_EQ(o.status, status) << name;
            EXPECT_TRUE(isPreview(at(png))) << name;
        } else {
            EXPECT_EQ(o.out, out) << name;
            EXPECT_EQ(o.err, err + png +
                                 ": PNG support was not built (stb_image_write.h was not found); "
                                 "nothing written\n")
                << name;
            EXPECT_EQ(o.status, 1) << name;
            EXPECT_FALSE(fs::exists(work() / png)) << name;
        }
    }
};

// What the test drew: the markers as "object K: X, Y" lines, bottom row
// first and left to right, at most `listed` of them; the pixels that are
// land once the markers are cleared; those of colours 96 to 254.
struct Drawn {
    std::size_t objects = 0;
    std::string objectLines;
    std::size_t landPixels = 0;
    std::size_t uncoloured = 0;
};

// What to do about pixels of colours 96 to 254, the end of their warning.
const std::string kUncolouredAdvice =
    "such pixels are often a sky that became entry 254 when a paint program removed its "
    "transparency, or a grey picked by hand: repaint them with entries 1 to 95, or 0 for sky, or "
    "re-index a picture drawn in another palette with the level palette\n";

// The warning on the sample picture's columns of colours 96 to 245, at x = 7
// + 211 k from row 101 down, with `pixels` of them left by the markers.
std::string sampleWarning(std::size_t pixels) {
    return "warning: " + std::to_string(pixels) +
           " pixels of entries 96 to 245 are land whose colour the land file does not store, in "
           "the box x 7 to 1906, y 101 to 695 (the first at 7, 101, then 218, 101 and 429, 101); " +
           kUncolouredAdvice;
}

Drawn drawn(const Picture& picture, std::size_t listed = 30) {
    Drawn d;
    for (std::size_t stored = 0; stored < kH; ++stored) {
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = picture.indexes[stored * kW + x];
            d.landPixels += v != 0 && v != 255;
            d.uncoloured += v >= 96 && v <= 254;
            if (v == 255 && ++d.objects <= listed) {
                d.objectLines += "object " + std::to_string(d.objects) + ": " + std::to_string(x) +
                                 ", " + std::to_string(kH - 1 - stored) + "\n";
            }
        }
    }
    return d;
}

TEST_F(LandInfo, PrintsTheSummary) {
    const Picture picture = samplePicture();
    makeLandFile(picture);
    const Drawn d = drawn(picture);
    std::string expected = "size: 1920 x 696\nobjects: 30\n" + d.objectLines;
    const std::size_t landPixels = d.landPixels;
    expected += "colours: 95\nland pixels: " + std::to_string(landPixels) +
                " of 1336320\nmask: matches picture\n"
                "level: .\\data\\level\\GULF\nwater: .\\data\\water\\Blue\n"
                "round trip: exact\n" +
                sampleWarning(d.uncoloured);
    const Outcome o = landinfo("land.dat");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.err, "");
    expectPreview(landinfo("land.dat level.png"), expected, "", 0, "level.png");

    // Flip pixel 0 in the first mask and pixel 9 in the second.
    ByteVector land = landFile();
    land[1336905] ^= 0x01;
    writeFile(at("land.dat"), land);
    EXPECT_NE(landinfo("land.dat").out.find("mask: 1 pixel differs from picture\n"),
              std::string::npos);
    land[1503960 + 1] ^= 0x02;
    writeFile(at("land.dat"), land);
    EXPECT_NE(landinfo("land.dat").out.find("mask: 2 pixels differ from picture\n"),
              std::string::npos);
}

TEST_F(LandInfo, ExportsABitmapThatConvertsBack) {
    makeLandFile(samplePicture());
    const ByteVector original = landFile();
    const Outcome exported = landinfo("land.dat out.bmp");
    ASSERT_EQ(exported.status, 0);
    // The summary, then the file written.
    EXPECT_TRUE(exported.out.ends_with("round trip: exact\n" +
                                       sampleWarning(drawn(samplePicture()).uncoloured) +
                                       "written: out.bmp\n"))
        << exported.out;
    ASSERT_EQ(run("out.bmp").status, 0);
    EXPECT_EQ(landFile(), original);
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat", "out.bmp"}), std::vector<std::string>{});

    // Names outside Windows' ANSI code page, both read and written.
    std::filesystem::create_directory(work() / "レベル");
    std::filesystem::rename(at("land.dat"), at("レベル/land.dat"));
    // The extension in any case.
    const Outcome o = landinfo("レベル/land.dat 'レベル/x€ 🎮.BMP'");
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("mask: matches picture\n"), std::string::npos);
    EXPECT_TRUE(o.out.ends_with("\nwritten: レベル/x€ 🎮.BMP\n")) << o.out;
    EXPECT_EQ(o.err, "");
    ASSERT_EQ(run("'レベル/x€ 🎮.BMP'").status, 0);
    EXPECT_EQ(landFile(), original);
    const Outcome previewed = landinfo("レベル/land.dat 'レベル/x€ 🎮.Png'");
    expectPreview(previewed, o.out.substr(0, o.out.rfind("written:")), "", 0, "レベル/x€ 🎮.Png");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work() / "レベル"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"land.dat", "x€ 🎮.BMP"};
    if (kWritesPng)
        expected.push_back("x€ 🎮.Png");
    EXPECT_EQ(names, expected);
}

// Neither the export nor the preview: not over a file, a link, a link to
// nothing, nor the file read.
TEST_F(LandInfo, NeverExportsOverAnExistingFile) {
    makeLandFile(samplePicture());
    const ByteVector land = landFile();
    const ByteVector old = {'o', 'l', 'd'};
    for (const std::string extension : {".bmp", ".png"}) {
        writeFile(at("old" + extension), old);
        writeFile(at("own" + extension), land);  // a land file of that name
        fs::create_symlink("old" + extension, work() / ("link" + extension));
        fs::create_symlink("nowhere" + extension, work() / ("dangling" + extension));
    }
    for (const std::string extension : {".bmp", ".png"}) {
        for (const std::string name : {"old", "own", "link", "dangling"}) {
            // Wine shows a Windows program no trace of a Linux link that
            // leads nowhere, so there is nothing it could refuse to replace.
            if (windowsRun() && name == "dangling")
                continue;
            const std::string out = name + extension;
            const Outcome o = landinfo((name == "own" ? out : "land.dat") + " " + out);
            EXPECT_EQ(o.status, 1) << out;
            // Without PNG support there is no picture to write anywhere.
            EXPECT_EQ(o.err, out + (extension == ".png" && !kWritesPng
                                        ? ": PNG support was not built (stb_image_write.h was "
                                          "not found); nothing written\n"
                                        : ": already exists; nothing written\n"));
            EXPECT_EQ(o.out.find("written:"), std::string::npos) << out;
            EXPECT_EQ(landFile(), land) << out;
            EXPECT_EQ(readFile(at("own" + extension)), land) << out;
            EXPECT_EQ(readFile(at("old" + extension)), old) << out;
            EXPECT_TRUE(fs::is_symlink(work() / ("link" + extension))) << out;
        }
        EXPECT_FALSE(fs::exists(work() / ("nowhere" + extension)));
    }
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat", "old.bmp", "own.bmp", "link.bmp", "dangling.bmp",
                          "old.png", "own.png", "link.png", "dangling.png"}),
              std::vector<std::string>{});
}

// One land file for each reason the exported bitmap would not convert back to
// the same file, and a clean one, each checked from the first line it
// expects to the end. `positions` are the sample picture's objects in file
// order.
TEST_F(LandInfo, TellsWhetherTheExportConvertsBack) {
    makeLandFile(samplePicture());
    const ByteVector good = landFile();
    const auto object = [&](std::size_t k) {  // (x, y) of object k, counted from 0
        const auto field = [&](std::size_t at) {
            return good[at] | good[at + 1] << 8 | good[at + 2] << 16 | good[at + 3] << 24;
        };
        return std::pair<int, int>{field(24 + 8 * k), field(28 + 8 * k)};
    };
    const auto pixel = [](std::pair<int, int> p) { return 570 + p.second * 1920 + p.first; };
    const auto maskByte = [](std::pair<int, int> p, std::size_t chunk) {
        return chunk + 15 + (p.second * 1920 + p.first) / 8;
    };
    const auto setPixel = [&](ByteVector& f, std::pair<int, int> p, std::uint8_t v) {
        f[pixel(p)] = v;  // and both masks, so that only the pixel differs
        for (std::size_t chunk : {1336890U, 1503945U})
            f[maskByte(p, chunk)] |= static_cast<std::uint8_t>(1U << ((p.first) % 8));
    };
    const int x0 = object(0).first;  // not a structured binding: lambdas below capture it
    const int y0 = object(0).second;
    const std::string at0 = std::to_string(x0) + ", " + std::to_string(y0);
    const std::size_t uncoloured = drawn(samplePicture()).uncoloured;
    const std::string warned = sampleWarning(uncoloured);
    const struct {
        const char* name;
        std::function<void(ByteVector&)> change;
        std::string said;
    } cases[] = {
        {"clean", [](ByteVector&) {}, "round trip: exact\n" + warned},
        {"a pixel of colour 200 in the sky",
         [&](ByteVector& f) {
             setPixel(f, {0, 0}, 200);
         },
         "round trip: exact\nwarning: " + std::to_string(uncoloured + 1) +
             " pixels of entries 96 to 245 are land whose colour the land file does not store, "
             "in the box x 0 to 1906, y 0 to 695 (the first at 0, 0, then 7, 101 and 218, 101); " +
             kUncolouredAdvice},
        {"a picture pixel of 255",
         [&](ByteVector& f) {
             setPixel(f, {x0 + 3, y0}, 255);
         },
         "round trip: differs\nnote: the picture has colour 255, the objects' colour, in 1 "
         "pixel (the first at " +
             std::to_string(x0 + 3) + ", " + std::to_string(y0) +
             "); a converted bitmap takes them as objects\n" + warned},
        {"two objects at one place",
         [&](ByteVector& f) { std::copy_n(good.begin() + 24, 8, f.begin() + 32); },
         "round trip: differs\nnote: 1 object is at the place of an earlier object (the "
         "first: object 2, at " +
             at0 + " like object 1); a converted bitmap has one object at each place\n" + warned},
        {"objects out of order",
         [&](ByteVector& f) {
             std::copy_n(good.begin() + 24, 8, f.begin() + 32);
             std::copy_n(good.begin() + 32, 8, f.begin() + 24);
         },
         "round trip: differs\nnote: the objects are not in the order a converted bitmap "
         "lists them, bottom row first and left to right (object 2 comes before object 1 "
         "there)\n" +
             warned},
        {"out of order after a duplicate",  // objects 1, 3, 1, 2: 2 follows 3 in the export
         [&](ByteVector& f) {
             std::copy_n(good.begin() + 40, 8, f.begin() + 32);
             std::copy_n(good.begin() + 24, 8, f.begin() + 40);
             std::copy_n(good.begin() + 32, 8, f.begin() + 48);
         },
         "round trip: differs\nnote: 1 object is at the place of an earlier object (the "
         "first: object 3, at " +
             at0 +
             " like object 1); a converted bitmap has one object at each place\nnote: the "
             "objects are not in the order a converted bitmap lists them, bottom row first and "
             "left to right (object 4 comes before object 2 there)\n" +
             warned},
        {"a pixel under an object", [&](ByteVector& f) { setPixel(f, object(0), 7); },
         "round trip: differs\nnote: the picture is not 0 under 1 object (the first: object "
         "1, at " +
             at0 + "); a converted bitmap has 0 there\n" + warned},
        {"another level path", [](ByteVector& f) { std::copy_n("CAVE", 4, f.begin() + 1673639); },
         "round trip: differs\nnote: the level path is .\\data\\level\\CAVE; a converted "
         "bitmap gets .\\data\\level\\GULF\n" +
             warned},
        {"a level path with a NUL and control bytes",
         [](ByteVector& f) { std::copy_n("C\0\x1B\xFF", 4, f.begin() + 1673639); },
         "level: .\\data\\level\\C\\x00\\x1B\\xFF\nwater: .\\data\\water\\Blue\nround "
         "trip: differs\nnote: the level path is .\\data\\level\\C\\x00\\x1B\\xFF; a "
         "converted bitmap gets .\\data\\level\\GULF\n" +
             warned},
        {"another water path", [](ByteVector& f) { std::copy_n("Lava", 4, f.begin() + 1673657); },
         "round trip: differs\nnote: the water path is .\\data\\water\\Lava; a converted "
         "bitmap gets .\\data\\water\\Blue\n" +
             warned},
        {"a fourth chunk not blank", [](ByteVector& f) { f[1671015 + 100] = 0x10; },
         "round trip: differs\nnote: IMG chunk 4 is not blank; a converted bitmap gets a "
         "blank one\n" +
             warned},
        {"no sky: land everywhere but under the objects",
         [&](ByteVector& f) {
             std::replace(f.begin() + 570, f.begin() + 570 + kPixels, std::uint8_t{0},
                          std::uint8_t{1});
             for (std::size_t chunk : {1336890U, 1503945U})
                 std::fill_n(f.begin() + static_cast<std::ptrdiff_t>(chunk + 15), kPixels / 8,
                             0xFF);
             for (std::size_t k = 0; k < 30; ++k) {
                 f[pixel(object(k))] = 0;
                 for (std::size_t chunk : {1336890U, 1503945U})
                     f[maskByte(object(k), chunk)] &=
                         static_cast<std::uint8_t>(~(1U << (object(k).first % 8)));
             }
         },
         "round trip: exact\nwarning: the level has no sky: no pixel of its picture is 0, the "
         "sky, but under the objects, so all of it is land; paint the sky with entry 0 in the "
         "bitmap it was made of (or in its export, \"landinfo land.dat new-level.bmp\"), and "
         "convert that again\n" +
             warned},
        {"masks that disagree", [](ByteVector& f) { f[1336905] ^= 0x03; },
         "round trip: differs\nnote: the masks differ from the picture in 2 pixels; a "
         "converted bitmap gets masks made from its picture\n" +
             warned},
    };
    for (const auto& c : cases) {
        ByteVector land = good;
        c.change(land);
        writeFile(at("land.dat"), land);
        const Outcome o = landinfo("land.dat");
        EXPECT_EQ(o.status, 0) << c.name;
        const std::size_t tail = o.out.find(c.said.substr(0, c.said.find('\n') + 1));
        ASSERT_NE(tail, std::string::npos) << c.name;
        EXPECT_EQ(o.out.substr(tail), c.said) << c.name;
        EXPECT_EQ(o.err, "") << c.name;
    }
}

// Each bitmap goes through both programs: landinfo's verdict is the line
// bmp2land ends with, and every line is as the test drew the bitmap.
TEST_F(LandInfo, ChecksABitmapAsBmp2landWould) {
    const std::string plain =
        "bitmap: 1920 x 696, 8 bits, uncompressed, 40-byte header, 256 colours\n";
    const std::string rle8 = "bitmap: 1920 x 696, 8 bits, RLE8, 40-byte header, 256 colours\n";
    const std::string wrongCount = "verdict: You must have exactly 30 object positions!\n";
    const std::string allColours = "colours: 95 stored (entries 1 to 95)\n";
    const auto report = [&](const Picture& picture, const std::string& colours = "") {
        const Drawn d = drawn(picture, 100);
        return "objects: " + std::to_string(d.objects) + "\n" + d.objectLines +
               (d.objects > 100 ? "objects after the first 100 are not listed\n" : "") +
               (colours.empty() ? allColours : colours) +
               "land pixels: " + std::to_string(d.landPixels) +
               " of 1336320\ncolours 96 to 254: " + std::to_string(d.uncoloured) + " pixels\n";
    };
    // The sample picture's warning, with as many pixels as the markers leave.
    const auto warned = [](const Picture& picture) {
        return sampleWarning(drawn(picture).uncoloured);
    };
    const auto bmp = [](auto change, const ByteVector& pixels = samplePicture().indexes) {
        BmpOptions o;
        change(o);
        return makeBmp(o, samplePalette(), pixels);
    };
    const auto rle = [](BmpOptions& o) { o.compression = 1; };
    // Markers moved to entry 17, which has the marker colour: as a paint
    // program that sorts the palette leaves them.
    const auto moved = [](Picture picture, std::size_t markersMoved) {
        for (auto& v : picture.indexes)
            v = v == 17 ? 18 : v;
        for (auto& v : picture.indexes) {
            if (v == 255 && markersMoved > 0) {
                v = 17;
                --markersMoved;
            }
        }
        return picture;
    };
    const auto withoutGreys = [](Picture picture) {
        for (auto& v : picture.indexes)
            v = v >= 96 && v <= 254 ? 1 : v;
        return picture;
    };
    const Picture reordered = moved(samplePicture(), 30);
    Picture oneUncoloured = withoutGreys(samplePicture());
    oneUncoloured.at(0, 0) = 200;
    // A sky that became entry 254, as GIMP leaves it once it removes the
    // transparency, and three greys picked by hand.
    Picture greySky = withoutGreys(samplePicture());
    for (std::size_t y = 0; y < 50; ++y) {
        for (std::size_t x = 0; x < kW; ++x)
            greySky.at(x, y) = greySky.at(x, y) == 0 ? 254 : greySky.at(x, y);
    }
    for (std::size_t i = 0; i < 3; ++i)
        greySky.at(1000 + i, 600) = static_cast<std::uint8_t>(120 + i);
    greySky.at(5, 300) = 200;
    Picture dithered = withoutGreys(samplePicture());  // every other grey
    for (std::size_t entry = 96; entry <= 254; entry += 2)
        dithered.at(entry, 0) = static_cast<std::uint8_t>(entry);
    const Picture oneMoved = moved(samplePicture(), 1);
    Picture brushed = samplePicture(0);  // 30 objects painted as 2 x 2 blobs
    for (std::size_t i = 0; i < 30; ++i) {
        for (std::size_t d = 0; d < 4; ++d)
            brushed.at(100 + i * 50 + d % 2, 200 + d / 2) = 255;
    }
    std::vector<Colour> sortedPalette = samplePalette();
    sortedPalette[17] = {255, 0, 255};
    sortedPalette[255] = {0, 0, 0};
    std::vector<Colour> copiedPalette = samplePalette();
    copiedPalette[17] = copiedPalette[255];
    std::vector<Colour> landLikeMarkers =
        samplePalette();  // land in entry 80, of the marker colour
    landLikeMarkers[80] = landLikeMarkers[255];
    std::vector<Colour> blackPalette = samplePalette();  // entry 255 the background's colour
    blackPalette[0] = blackPalette[255] = {0, 0, 0};
    ByteVector png = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1A, '\n', 0,    0,    0,
                      13,   'I',  'H', 'D', 'R',  0,    0,    7,    0x80, 0,    0,
                      2,    0xB8, 8,   3,   0,    0,    0,    0x5C, 0x6D, 0x3E, 0x0A};
    png.resize(200, 0);
    const ByteVector full = makeBmp(samplePicture());
    ByteVector pngSigned = full;  // bmp2land reads it all the same
    std::copy_n(png.begin(), 8, pngSigned.begin());
    const auto withoutSignature = [](ByteVector file) {  // bmp2land never looks for "BM"
        file[0] = file[1] = 0;
        return file;
    };
    const std::string truncatedVerdict = "verdict: File in.bmp is truncated!\n";
    const std::string truncatedHint = truncatedVerdict + "hint: the file ends in its ";
    const std::string notEightBit = "verdict: Not 8-bit bitmap!\n";
    const std::string wrongSize = "verdict: Not 1920 x 696 bitmap!\n";
    const std::string inLevelPalette =
        "Image > Mode > RGB, then Image > Mode > Indexed with the custom palette \"bmp2land "
        "level\" and \"Remove unused and duplicate colors from colormap\" off";
    const auto renumbered = [&](const std::string& entry, const std::string& pixels) {
        return "hint: entry " + entry + ", and is used by " + pixels +
               ", but objects must be entry 255: the paint program renumbered the palette (in "
               "GIMP, \"Remove unused and duplicate colors from colormap\", or a generated "
               "palette), and the land colours moved too; re-index the picture with the level "
               "palette (in GIMP, " +
               inLevelPalette + ") to put every colour back at its entry\n";
    };
    // The way to a level by colour, where the picture gives one once it is
    // whole: these files hold the pixels of an 8-bit one, too few.
    const std::string byColour =
        "\"landinfo in.bmp level.bmp\" makes a level bitmap of it by its colours "
        "(docs/drawings.md), and \"bmp2land level.bmp\" converts that\n";
    const std::string cutShort =
        "it is cut short: the file ends in its pixels; save or copy the picture again; then ";
    const auto noPalette = [&](const std::string& bits) {
        return "bitmap: 1920 x 696, " + bits + " bits, uncompressed, 40-byte header, 0 colours\n" +
               notEightBit + "hint: this is a " + bits +
               "-bit bitmap, which has no palette and so no entry 255; " + cutShort + byColour;
    };
    // Not 30 objects, and nothing else wrong with them.
    const auto countHint = [](std::size_t found) {
        return "hint: " + std::to_string(found) +
               " found, and a level needs exactly 30, each one pixel of entry 255 apart from the "
               "others; the \"object\" lines above give their places, x and y from the top-left "
               "corner\n";
    };
    // The sky on entry 255, the markers on entry 0, as a paint program that
    // renumbers the palette may leave them; with the sky black and the
    // markers magenta, the level made by colour converts.
    const auto skyOn255 = [](std::vector<Colour> palette) {
        Picture picture = samplePicture();
        for (auto& v : picture.indexes)
            v = v == 0 ? 255 : v == 255 ? 0 : v;
        std::swap(palette[0], palette[255]);
        return std::pair{picture, palette};
    };
    std::vector<Colour> blackSkyPalette = samplePalette();
    blackSkyPalette[0] = {0, 0, 0};
    blackSkyPalette[255] = {255, 0, 255};
    const auto [skyMoved, skyMovedPalette] = skyOn255(samplePalette());
    const auto [blackSkyMoved, blackSkyMovedPalette] = skyOn255(blackSkyPalette);
    // Markers far from magenta: by colour, no objects either.
    std::vector<Colour> plumMarkers = skyMovedPalette;
    plumMarkers[0] = {200, 0, 100};
    // The sky's largest area is all of it above the caves, which start at
    // row 501 under the land.
    std::size_t openSky = 0;
    for (std::size_t y = 0; y <= 500; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            openSky += skyMoved.indexes[(kH - 1 - y) * kW + x] == 255;
    const std::string onEntry255 =
        "the largest area " + std::to_string(openSky) +
        " pixels): far too many for objects, each one dot of it; the "
        "palette looks renumbered: the paint program (in GIMP, \"Remove unused and duplicate "
        "colors from colormap\", or a generated palette) put the sky or a land colour on entry "
        "255, the object entry, and moved the other colours too; ";
    const std::string rebuilt =
        "\"landinfo in.bmp level.bmp\" rebuilds the palette by colour, the sky black, the "
        "objects magenta (255, 0, 255) (docs/drawings.md), and \"bmp2land level.bmp\" converts "
        "that\n";
    const std::string skyPixels = std::to_string(kPixels - drawn(samplePicture()).landPixels - 30);
    Picture noSky = samplePicture();  // the sky drawn in entry 1
    for (auto& v : noSky.indexes)
        v = v == 0 ? 1 : v;
    const std::string notScaled =
        "; crop it or extend its canvas to 1920 x 696 (in GIMP, Image > Canvas Size), but don't "
        "scale it: scaling blends colours into ones the palette doesn't have\n";
    // A picture of the wrong size: what to do before a level can be made of it.
    const std::string notScaledYet =
        "; crop it or extend its canvas to 1920 x 696 (in GIMP, Image > Canvas Size), but don't "
        "scale it: scaling blends the colours along every edge; then ";
    PngKind tall;
    tall.height = 1080;
    const ByteVector tallPng = encodePng(tall, std::vector<std::uint16_t>(kW * 1080 * 3, 0));
    const struct {
        const char* name;
        ByteVector file;
        std::string out;
        std::uintmax_t sparseSize = 0;  // grown to this length with a sparse tail
    } cases[] = {
        {"conforming", full,
         plain + report(samplePicture()) + "verdict: converts\n" + warned(samplePicture())},
        {"29 markers", makeBmp(samplePicture(29)),
         plain + report(samplePicture(29)) + wrongCount + countHint(29) +
             warned(samplePicture(29))},
        {"31 markers", makeBmp(samplePicture(31)),
         plain + report(samplePicture(31)) + wrongCount + countHint(31) +
             warned(samplePicture(31))},
        {"no markers", makeBmp(samplePicture(0)),
         plain + report(samplePicture(0)) + wrongCount + countHint(0) + warned(samplePicture(0))},
        {"120 markers", makeBmp(samplePicture(120)),
         plain + report(samplePicture(120)) + wrongCount + countHint(120) +
             warned(samplePicture(120))},
        {"reordered palette", makeBmp(BmpOptions{}, sortedPalette, reordered.indexes),
         plain + report(reordered) + wrongCount +
             renumbered("17 has magenta, the object colour (255, 0, 255)", "30 pixels") +
             warned(reordered)},
        {"one marker in a copy of entry 255",
         makeBmp(BmpOptions{}, copiedPalette, oneMoved.indexes),
         plain + report(oneMoved) + wrongCount +
             renumbered("17 has the colour of entry 255 (255, 0, 249)", "1 pixel") +
             warned(oneMoved)},
        {"all markers in a copy of entry 255",
         makeBmp(BmpOptions{}, copiedPalette, reordered.indexes),
         plain + report(reordered) + wrongCount +
             renumbered("17 has the colour of entry 255 (255, 0, 249)", "30 pixels") +
             warned(reordered)},
        {"31 markers, land in a colour like theirs",  // land, not objects, in entry 80
         makeBmp(BmpOptions{}, landLikeMarkers, samplePicture(31).indexes),
         plain + report(samplePicture(31)) + wrongCount + countHint(31) +
             warned(samplePicture(31))},
        {"the sky on entry 255, black, and the markers magenta",
         makeBmp(BmpOptions{}, blackSkyMovedPalette, blackSkyMoved.indexes),
         plain + report(blackSkyMoved) + wrongCount + "hint: entry 255, the objects' entry, has " +
             skyPixels + " pixels (colour 0, 0, 0; " + onEntry255 + rebuilt +
             warned(blackSkyMoved)},
        {"the sky on entry 255, green, and the markers not magenta",
         makeBmp(BmpOptions{}, plumMarkers, skyMoved.indexes),
         plain + report(skyMoved) + wrongCount + "hint: entry 255, the objects' entry, has " +
             skyPixels + " pixels (colour 0, 255, 0; " + onEntry255 +
             "by colour, the level would have no sky: first paint the sky black (0, 0, 0), and it "
             "would have 0 objects: mark exactly 30, each one dot of magenta (255, 0, 255); then " +
             rebuilt + warned(skyMoved)},
        {"no pixel of entry 0: no sky", makeBmp(noSky),
         plain + report(noSky) + "verdict: converts\n" +
             "warning: the level has no sky: no pixel is entry 0, the sky, and bmp2land makes "
             "every other entry land, whatever its colour; paint the sky with entry 0 (black in "
             "the level palette), or where the picture was made indexed with another palette, "
             "give its sky colour entry 0\n" +
             warned(noSky)},
        {"objects painted with a brush", makeBmp(brushed),
         plain + report(brushed) + wrongCount +
             "hint: 120 of the object pixels touch another one; each object is one pixel of "
             "entry 255: mark it with a 1-pixel pencil, not a brush\n" +
             warned(brushed)},
        {"29 markers, entry 255 black as entry 0",
         makeBmp(BmpOptions{}, blackPalette, samplePicture(29).indexes),
         plain + report(samplePicture(29)) + wrongCount + countHint(29) +
             warned(samplePicture(29))},
        {"one colour stored, one pixel past 95",
         bmp(
             [](BmpOptions& o) {
                 o.clrUsed = 1;
                 o.storedColours = 1;
             },
             oneUncoloured.indexes),
         "bitmap: 1920 x 696, 8 bits, uncompressed, 40-byte header, 1 colour\n" +
             report(oneUncoloured, "colours: 0 stored; entries 1 to 95 become black\n") +
             "verdict: converts\nwarning: 1 pixel of entry 200 is land whose colour the land "
             "file does not store, at 0, 0; " +
             kUncolouredAdvice},
        {"50 colours stored", bmp([](BmpOptions& o) { o.clrUsed = o.storedColours = 50; }),
         "bitmap: 1920 x 696, 8 bits, uncompressed, 40-byte header, 50 colours\n" +
             report(samplePicture(),
                    "colours: 49 stored (entries 1 to 49); entries 50 to 95 become black\n") +
             "verdict: converts\n" + warned(samplePicture())},
        {"95 colours stored", bmp([](BmpOptions& o) { o.clrUsed = o.storedColours = 95; }),
         "bitmap: 1920 x 696, 8 bits, uncompressed, 40-byte header, 95 colours\n" +
             report(samplePicture(),
                    "colours: 94 stored (entries 1 to 94); entry 95 becomes black\n") +
             "verdict: converts\n" + warned(samplePicture())},
        {"a sky of entry 254 and greys picked by hand", makeBmp(greySky),
         plain + report(greySky) +
             "verdict: converts\nwarning: " + std::to_string(drawn(greySky).uncoloured) +
             " pixels of entries 120 to 122, 200 and 254 are land whose colour the land file does "
             "not store, in the box x 0 to 1919, y 0 to 600 (the first at 0, 0, then 1, 0 and 2, "
             "0); " +
             kUncolouredAdvice},
        {"every other grey", makeBmp(dithered),
         plain + report(dithered) +
             "verdict: converts\nwarning: 80 pixels of entries 96, 98, 100, 102, 104, 106, 108, "
             "110 and 72 others are land whose colour the land file does not store, in the box "
             "x 96 to 254, y 0 to 0 (the first at 96, 0, then 98, 0 and 100, 0); " +
             kUncolouredAdvice},
        {"bit fields with alpha", bmp([](BmpOptions& o) {
             o.compression = 6;
             o.maskBytes = 16;
         }),
         "bitmap: 1920 x 696, 8 bits, bit fields with alpha, 40-byte header, 256 colours\n" +
             report(samplePicture()) + "verdict: converts\n" + warned(samplePicture())},
        {"4-bit", bmp([](BmpOptions& o) { o.bitCount = 4; }),
         "bitmap: 1920 x 696, 4 bits, uncompressed, 40-byte header, 16 colours\n" + notEightBit +
             "hint: this is a 4-bit bitmap; keep all 256 palette entries when saving, because a "
             "4-bit pixel can't hold entry 255. GIMP writes 4-bit files when \"Remove unused and "
             "duplicate colors\" is on, and ImageMagick does for drawings of 16 colours or "
             "fewer\n"},
        {"16-bit", bmp([](BmpOptions& o) { o.bitCount = 16; }), noPalette("16")},
        {"24-bit", bmp([](BmpOptions& o) { o.bitCount = 24; }), noPalette("24")},
        {"32-bit", bmp([](BmpOptions& o) { o.bitCount = 32; }), noPalette("32")},
        {"1920 x 695", bmp([](BmpOptions& o) { o.height = 695; }),
         "bitmap: 1920 x 695, 8 bits, uncompressed, 40-byte header, 256 colours\n" + wrongSize +
             "hint: the picture is 1920 x 695" + notScaled},
        {"1919 x 696, top row first", bmp([](BmpOptions& o) {
             o.width = 1919;
             o.topDown = true;
         }),
         "bitmap: 1919 x -696, 8 bits, uncompressed, 40-byte header, 256 colours\n" + wrongSize +
             "hint: the picture is 1919 x 696" + notScaled},
        {"a good bitmap without \"BM\"", withoutSignature(full),
         plain + report(samplePicture()) + "verdict: converts\n" + warned(samplePicture())},
        {"a 24-bit bitmap without \"BM\"",
         withoutSignature(bmp([](BmpOptions& o) { o.bitCount = 24; })), noPalette("24")},
        {"PNG", png,
         notEightBit +
             "hint: this is a PNG picture, not a BMP; it is cut short; save or copy the "
             "picture again; then " +
             byColour},
        {"PNG of 1920 x 1080", tallPng,
         notEightBit + "hint: this is a PNG picture, not a BMP; it is 1920 x 1080" + notScaledYet +
             byColour},
        {"24-bit, 1920 x 1080", bmp([](BmpOptions& o) {
             o.bitCount = 24;
             o.height = 1080;
         }),
         "bitmap: 1920 x 1080, 24 bits, uncompressed, 40-byte header, 0 colours\n" + notEightBit +
             "hint: this is a 24-bit bitmap, which has no palette and so no entry 255; it is 1920 "
             "x 1080" +
             notScaledYet + byColour},
        {"a good bitmap with a PNG signature", pngSigned,
         report(samplePicture()) + "verdict: converts\n" + warned(samplePicture())},
        {"truncated palette", ByteVector(full.begin(), full.begin() + 454),  // 100 entries
         "bitmap: 1920 x 696, 8 bits, uncompressed, 40-byte header, 100 colours\n" + truncatedHint +
             "palette: it has only 454 bytes; save or copy the bitmap again\n"},
        {"pixels past the 64 MiB that are read", bmp([](BmpOptions& o) { o.offBits = 70U << 20; }),
         plain + "verdict: File in.bmp is too large to be a level bitmap!\n" +
             "hint: the file has 74736640 bytes, but only the first 67108864 are read, and they "
             "end in its pixels; save it again as an 8-bit BMP\n",
         (std::uintmax_t{70} << 20) + 1336320},
        {"RLE8 corrupt", bmp(rle, {0, 2, 255, 255, 0, 2, 255, 255, 0, 2, 0, 255}),
         rle8 + "verdict: Bitmap data is corrupt!\nhint: RLE8 data is corrupt at byte 1086 (stored "
                "row 510, column 510)\n"},
        {"RLE8 cut short", bmp(rle, {10, 1, 0, 0}),
         rle8 + truncatedHint +
             "RLE8 data: it has only 1082 bytes; save or copy the bitmap again\n"},
    };
    // Pictures that bmp2land refuses for their kind, whose preview is their level's.
    const std::set<std::string> drawings = {"16-bit",
                                            "24-bit",
                                            "32-bit",
                                            "a 24-bit bitmap without \"BM\"",
                                            "PNG",
                                            "PNG of 1920 x 1080",
                                            "24-bit, 1920 x 1080"};
    for (const auto& c : cases) {
        writeFile(at("in.bmp"), c.file);
        if (c.sparseSize != 0)
            fs::resize_file(work() / "in.bmp", c.sparseSize);
        const Outcome converted = run("in.bmp");
        const Outcome checked = landinfo("in.bmp");
        EXPECT_EQ(checked.out, c.out) << c.name;
        EXPECT_EQ(checked.err, "") << c.name;
        // bmp2land's last line, and its status.
        std::string last = converted.out.substr(0, converted.out.size() - 1);
        last = last.substr(last.rfind('\n') + 1);
        const std::string verdict = last == "Done!" ? "converts" : last;
        EXPECT_NE(checked.out.find("verdict: " + verdict + "\n"), std::string::npos)
            << c.name << "; bmp2land said: " << converted.out << converted.err;
        EXPECT_EQ(checked.status, converted.status) << c.name;
        // Its preview, also where the pixels can't be read: the same report;
        // of a drawing, its level's, as `landinfo in.bmp new.bmp` makes it:
        // here none, for pixels stored as an 8-bit file's, and the same words.
        fs::remove(work() / "in.png");
        const Outcome previewed = landinfo("in.bmp in.png");
        if (drawings.contains(c.name)) {
            const Outcome made = landinfo("in.bmp new.bmp");
            const std::string refused = "; nothing written\n";
            ASSERT_TRUE(made.err.ends_with(refused)) << c.name << ": " << made.err;
            expectPreview(previewed, "",
                          made.err.substr(0, made.err.size() - refused.size()) + "\n", 1, "in.png",
                          c.name);
        } else {
            expectPreview(previewed, c.out, "", converted.status, "in.png", c.name);
        }
    }
}

TEST_F(LandInfo, ReportsProblemsOnStandardError) {
    makeLandFile(samplePicture());
    const ByteVector good = landFile();
    ByteVector land = good;
    land[1336890] = 'X';
    writeFile(at("land.dat"), land);
    writeFile(at("long.dat"), good);  // past the 64 MiB that are read: a sparse tail
    fs::resize_file(work() / "long.dat", (std::uintmax_t{64} << 20) + 5);
    ByteVector longer = good;
    longer.push_back(0);
    writeFile(at("one.dat"), longer);
    land = good;
    land[0] = 'X';
    writeFile(at("magic.dat"), land);
    // Neither a land file nor a bitmap to bmp2land, nor with a bitmap's headers.
    writeFile(at("notes.txt"), {'l', 'e', 'v', 'e', 'l', '\n'});
    BmpOptions noHeaderSize;
    noHeaderSize.signature = 0;
    noHeaderSize.infoHeaderSize = 0;
    noHeaderSize.bitCount = 24;
    writeFile(at("headless.bmp"), makeBmp(noHeaderSize, samplePalette(), ByteVector(100, 0)));
    writeFile(at("out.bmp"), {'o', 'l', 'd'});
    const std::string usage = "Usage: " + invokedAs(landinfoPath()) + " FILE [OUT.bmp | OUT.png]\n";
    // Pictures that give no level.
    PngKind wide;
    wide.height = 1080;
    writeFile(at("wide.png"), encodePng(wide, std::vector<std::uint16_t>(kW * 1080 * 3, 200)));
    const ByteVector hills = rgbaPng(shadedDrawing(true), true);
    writeFile(at("cut.png"), ByteVector(hills.begin(), hills.begin() + 100000));
    writeFile(at("photo.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
    // A paint program's own file, or a WebP: named, not taken for a land file.
    const std::string xcf = "gimp xcf v011";
    writeFile(at("drawing.xcf"), ByteVector(xcf.begin(), xcf.end()));
    writeFile(at("drawing.webp"), {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P'});
    BmpOptions short24;
    short24.bitCount = 24;
    short24.height = 695;
    short24.storedColours = 0;
    writeFile(at("short.bmp"), makeBmp(short24, {}, ByteVector(kW * 3 * 695, 9)));
    const std::string notScaled =
        "; crop it or extend its canvas to 1920 x 696 (in GIMP, Image > Canvas Size), but don't "
        "scale it: scaling blends the colours along every edge; nothing written\n";
    // Its preview says the same, on the picture.
    const std::string notScaledShown = notScaled.substr(0, notScaled.rfind("; nothing")) + "\n";
    // A damaged land file's preview, or one of a picture that gives no level,
    // is written all the same: `png`.
    const struct {
        std::string args, err, png;
    } cases[] = {
        {"land.dat out.bmp", "land.dat: IMG chunk 2: bad magic at offset 1336890\n", ""},
        {"missing.dat out.bmp", "missing.dat: cannot be opened\n", ""},
        {"'ない/レベル.dat' out.bmp", "ない/レベル.dat: cannot be opened\n", ""},
        {"long.dat out.bmp", "long.dat: end of file: 65435208 extra bytes at offset 1673661\n", ""},
        {"one.dat out.bmp", "one.dat: end of file: 1 extra byte at offset 1673661\n", ""},
        {"magic.dat out.bmp", "magic.dat: LND header: bad magic at offset 0\n", ""},
        {"notes.txt out.bmp", "notes.txt: LND header: cut short at offset 6\n", ""},
        {"headless.bmp out.bmp", "headless.bmp: LND header: bad magic at offset 0\n", ""},
        {"land.dat out.png", "land.dat: IMG chunk 2: bad magic at offset 1336890\n", "out.png"},
        {"one.dat OUT.PNG", "one.dat: end of file: 1 extra byte at offset 1673661\n", "OUT.PNG"},
        {"magic.dat out.png", "magic.dat: LND header: bad magic at offset 0\n", "out.png"},
        {"notes.txt out.png", "notes.txt: LND header: cut short at offset 6\n", "out.png"},
        {"missing.dat out.png", "missing.dat: cannot be opened\n", ""},
        {"land.dat out.gif", usage, ""},
        {"land.dat out", usage, ""},
        {"land.dat out.png out.bmp", usage, ""},
        {"wide.png new.bmp", "wide.png: is 1920 x 1080" + notScaled, ""},
        {"short.bmp new.bmp", "short.bmp: is 1920 x 695" + notScaled, ""},
        {"cut.png new.bmp",
         "cut.png: is cut short; save or copy the picture again; nothing written\n", ""},
        {"photo.jpg new.bmp",
         "photo.jpg: is a JPEG picture, which landinfo does not read; save it as PNG or BMP; "
         "nothing written\n",
         ""},
        {"level.bmp out.bmp extra.bmp", usage, ""},
        {"wide.png out.png", "wide.png: is 1920 x 1080" + notScaledShown, "out.png"},
        {"short.bmp out.png", "short.bmp: is 1920 x 695" + notScaledShown, "out.png"},
        {"cut.png out.png", "cut.png: is cut short; save or copy the picture again\n", "out.png"},
        {"drawing.xcf new.bmp",
         "drawing.xcf: is a GIMP XCF picture, which landinfo does not read; save it as PNG or "
         "BMP; nothing written\n",
         ""},
        {"drawing.webp new.bmp",
         "drawing.webp: is a WebP picture, which landinfo does not read; save it as PNG or BMP; "
         "nothing written\n",
         ""},
    };
    for (const auto& c : cases) {
        const Outcome o = landinfo(c.args);
        if (c.png.empty()) {
            EXPECT_EQ(o.status, 1) << c.args;
            EXPECT_EQ(o.out, "") << c.args;
            EXPECT_EQ(o.err, c.err) << c.args;
        } else {
            expectPreview(o, "", c.err, 1, c.png, c.args);
        }
        EXPECT_EQ(readFile(at("out.bmp")), (ByteVector{'o', 'l', 'd'})) << c.args;
        if (!c.png.empty())
            fs::remove(work() / c.png);
        EXPECT_EQ(strayFiles({"land.dat", "long.dat", "one.dat", "magic.dat", "notes.txt",
                              "headless.bmp", "out.bmp", "level.bmp", "wide.png", "cut.png",
                              "photo.jpg", "short.bmp", "drawing.xcf", "drawing.webp"}),
                  std::vector<std::string>{})
            << c.args;
    }
    EXPECT_EQ(landinfo("").status, 1);
}

}  // namespace

namespace {

// The level palette as the committed blank level holds it.
std::vector<Colour> levelPaletteOfBlank() {
    const ByteVector blank = readFile(std::string(EXAMPLES_DIR) + "/blank.bmp");
    std::vector<Colour> palette;
    for (std::size_t i = 0; i < 256; ++i) {
        const std::size_t at = 54 + 4 * i;
        palette.push_back({blank.at(at + 2), blank.at(at + 1), blank.at(at)});
    }
    return palette;
}

Rgba rgbaOf(const Colour& c) {
    return Rgba{c.red, c.green, c.blue, 255};
}

// A picture of entries (bottom row first) in the colours of `palette`, top
// row first.
std::vector<Rgba> coloured(const Picture& picture, const std::vector<Colour>& palette) {
    std::vector<Rgba> pixels(kPixels);
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            pixels[y * kW + x] = rgbaOf(palette[picture.indexes[(kH - 1 - y) * kW + x]]);
    return pixels;
}

// The example level's entries: land in the level palette, 30 markers.
Picture examplePicture() {
    const ByteVector example = readFile(std::string(EXAMPLES_DIR) + "/level.bmp");
    Picture p;
    std::copy(example.begin() + 1078, example.begin() + 1078 + kPixels, p.indexes.begin());
    return p;
}

// An indexed PNG of `picture` whose palette holds only the colours used, in
// another order than the level palette's: what GIMP saves after re-indexing
// with "Remove unused and duplicate colors from colormap" on.
ByteVector renumberedPng(const Picture& picture, const std::vector<Colour>& palette) {
    std::vector<std::uint8_t> used;
    for (std::size_t v = 256; v-- > 0;)
        if (std::find(picture.indexes.begin(), picture.indexes.end(), v) != picture.indexes.end())
            used.push_back(static_cast<std::uint8_t>(v));
    PngKind kind;
    kind.colourType = 3;
    std::array<std::uint16_t, 256> newIndex{};
    for (std::size_t k = 0; k < used.size(); ++k) {
        newIndex[used[k]] = static_cast<std::uint16_t>(k);
        const Colour& c = palette[used[k]];
        kind.plte.insert(kind.plte.end(), {c.red, c.green, c.blue});
    }
    std::vector<std::uint16_t> samples(kPixels);
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            samples[y * kW + x] = newIndex[picture.indexes[(kH - 1 - y) * kW + x]];
    return encodePng(kind, samples);
}

// What the test made a drawing of, and what its level must be.
struct DrawingCase {
    std::string name;
    ByteVector file;
    std::string pictureLine;  // the first line landinfo prints
    std::string ruleLines;    // the sky, objects and land colours lines
    // The level's entries (bottom row first) and palette, which give the
    // land.dat that bmp2land must make of it; empty where the test checks
    // the level otherwise.
    std::optional<Picture> level;
    std::vector<Colour> palette;
    std::string verdict = "converts";
    std::string after = {};  // what follows the verdict
};

std::size_t countOf(const Picture& p, std::uint8_t v) {
    return static_cast<std::size_t>(std::count(p.indexes.begin(), p.indexes.end(), v));
}

// The level's own lines after the picture's: land pixels, then, once
// written, the verdict.
std::string landPixelsLine(const Picture& level) {
    return "land pixels: " + std::to_string(kPixels - countOf(level, 0) - countOf(level, 255)) +
           " of 1336320\n";
}

std::string skyLine(std::size_t pixels, bool transparent) {
    return "sky: " + std::to_string(pixels) +
           (transparent ? " pixels, those less than half opaque (rule 2: the drawing has "
                          "transparency, so black is land)\n"
                        : " pixels, those of black, 0, 0, 0 (rule 2: no pixel of the drawing is "
                          "transparent)\n");
}

std::string objectsLine(std::size_t objects, std::size_t blots) {
    return "objects: " + std::to_string(objects) + ", " + std::to_string(blots) +
           " of them from blots (rule 3: each dot or blot of magenta, 255, 0, 255, is one "
           "object)\n";
}

// A drawing of `background` with land of two colours, entries 1 and 2 of
// the level it must give: from row `rows[0]` down, `entries[0]` above row
// `rows[1]` and `entries[1]` from there.
struct TwoColourLand {
    std::vector<Rgba> pixels;
    Picture level;
    std::vector<Colour> palette;
};
TwoColourLand twoColourLand(Rgba background, std::array<Colour, 2> colours,
                            std::array<std::size_t, 2> rows, std::array<std::uint8_t, 2> entries) {
    TwoColourLand d{std::vector<Rgba>(kPixels, background), {}, levelPaletteOfBlank()};
    d.palette[1] = colours[0];
    d.palette[2] = colours[1];
    for (std::size_t y = rows[0]; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t entry = y < rows[1] ? entries[0] : entries[1];
            d.pixels[y * kW + x] = rgbaOf(d.palette[entry]);
            d.level.at(x, y) = entry;
        }
    return d;
}

}  // namespace

// Any drawing to a level bitmap: landinfo's report line by line, and the
// land.dat that bmp2land makes of the level, as the test drew it.
TEST_F(LandInfo, MakesALevelOfAnyDrawing) {
    const std::vector<Colour> levelPalette = levelPaletteOfBlank();
    std::vector<DrawingCase> cases;

    {  // a 24-bit BMP as Pillow writes it: 12 colours under a black sky
        std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
        Picture level;
        std::vector<Colour> palette = levelPalette;
        for (std::size_t y = 300; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                const std::size_t band = x / 160;  // ascending colours: entries 1 to 12
                const Colour c{static_cast<std::uint8_t>(20 + band * 19),
                               static_cast<std::uint8_t>(200 - band * 9), 77};
                pixels[y * kW + x] = rgbaOf(c);
                level.at(x, y) = static_cast<std::uint8_t>(1 + band);
                palette[1 + band] = c;
            }
        for (const std::size_t at : objectPlaces()) {
            pixels[at] = kMagenta;
            level.at(at % kW, at / kW) = 255;
        }
        cases.push_back({"12 colours, black sky, 24-bit BMP", rgbBmp(pixels),
                         "picture: BMP, 1920 x 696, RGB, 24 bits a pixel, uncompressed, 40-byte "
                         "header\n",
                         skyLine(300 * kW, false) + objectsLine(30, 0) +
                             "land colours: 12 in the drawing, 12 in the level, each its own entry "
                             "(rule 5: up to 95 colours keep their own)\n",
                         level, palette});
    }
    {  // drawn in the level palette, saved as RGB PNG, and re-indexed by GIMP
        const Picture example = examplePicture();
        const std::string rules =
            skyLine(countOf(example, 0), false) + objectsLine(30, 0) + "land colours: " +
            std::to_string(
                std::set<std::uint8_t>(example.indexes.begin(), example.indexes.end()).size() - 2) +
            " in the drawing, all of the level palette, each at its entry there (rule 4)\n";
        cases.push_back(
            {"the level palette, RGB PNG", rgbaPng(coloured(example, levelPalette), false),
             "picture: PNG, 1920 x 696, RGB, 8 bits a channel\n", rules, example, levelPalette});
        const std::size_t used =
            std::set<std::uint8_t>(example.indexes.begin(), example.indexes.end()).size();
        cases.push_back({"the level palette, renumbered", renumberedPng(example, levelPalette),
                         "picture: PNG, 1920 x 696, indexed, 8 bits a pixel, " +
                             std::to_string(used) + " colours\n",
                         rules, example, levelPalette});
    }
    {  // the level palette with some of its greys, 96 to 254: those take the
       // nearest of 1 to 95, and the others keep their entries
        const Picture example = examplePicture();
        Picture drawn = example;
        Picture level = example;
        const auto nearest = [&](const Colour& c) {
            const auto distance = [&](std::size_t k) {
                const Colour& e = levelPalette[k];
                return (c.red - e.red) * (c.red - e.red) +
                       (c.green - e.green) * (c.green - e.green) +
                       (c.blue - e.blue) * (c.blue - e.blue);
            };
            std::size_t best = 1;
            for (std::size_t k = 2; k <= 95; ++k)
                best = distance(k) < distance(best) ? k : best;
            return static_cast<std::uint8_t>(best);
        };
        std::size_t greys = 0;
        int largest = 0;
        for (std::size_t i = 0; i < kPixels; i += 997) {
            const std::uint8_t v = example.indexes[i];
            if (v == 0 || v == 255)
                continue;
            const auto grey = static_cast<std::uint8_t>(96 + greys % 40);
            drawn.indexes[i] = grey;
            level.indexes[i] = nearest(levelPalette[grey]);
            const Colour& from = levelPalette[grey];
            const Colour& to = levelPalette[level.indexes[i]];
            largest = std::max({largest, std::abs(from.red - to.red),
                                std::abs(from.green - to.green), std::abs(from.blue - to.blue)});
            ++greys;
        }
        const std::size_t used =
            std::set<std::uint8_t>(drawn.indexes.begin(), drawn.indexes.end()).size() - 2;
        DrawingCase c{"the level palette and its greys, RGB PNG",
                      rgbaPng(coloured(drawn, levelPalette), false),
                      "picture: PNG, 1920 x 696, RGB, 8 bits a channel\n",
                      skyLine(countOf(example, 0), false) + objectsLine(30, 0) +
                          "land colours: " + std::to_string(used) +
                          " in the drawing, all of the level palette, each of 1 to 95 at its "
                          "entry there (rule 4), its greys of 96 to 254 at the nearest of those "
                          "(rule 6)\n",
                      level,
                      levelPalette};
        c.after = "warning: " + std::to_string(greys) +
                  " pixels in the level palette's greys, entries 96 to 254, whose colour the land "
                  "file does not store, now have the entry of 1 to 95 nearest their colour, a "
                  "change of up to " +
                  std::to_string(largest) +
                  " in a channel (rule 6); draw them in colours 1 to 95 of the palette\n";
        cases.push_back(std::move(c));
    }
    {  // soft-brush markers 3 to 9 pixels across, on land and in a transparent sky
        auto [pixels, level, palette] =
            twoColourLand({0, 0, 0, 0}, {{{60, 170, 50}, {140, 100, 70}}}, {400, 420}, {1, 2});
        for (std::size_t i = 0; i < 30; ++i) {
            const std::size_t x = 30 + i * 63;
            const std::size_t y = i % 2 == 0 ? 300 : 550;
            softMarker(pixels, x, y, 3 + static_cast<int>(i % 7));
            level.at(x, y) = 255;
        }
        cases.push_back({"soft markers 3 to 9 pixels across", rgbaPng(pixels, true),
                         "picture: PNG, 1920 x 696, RGBA, 8 bits a channel\n",
                         skyLine(countOf(level, 0), true) + objectsLine(30, 30) +
                             "land colours: 2 in the drawing, 2 in the level, each its own entry "
                             "(rule 5: up to 95 colours keep their own)\n",
                         level, palette});
    }
    {  // a white background, no transparency: no sky at all
        auto [pixels, level, palette] = twoColourLand(
            {255, 255, 255, 255}, {{{90, 60, 30}, {255, 255, 255}}}, {0, 400}, {2, 1});
        for (const std::size_t at : objectPlaces()) {
            pixels[at] = kMagenta;
            level.at(at % kW, at / kW) = 255;
        }
        DrawingCase c{"a white background",
                      rgbaPng(pixels, false),
                      "picture: PNG, 1920 x 696, RGB, 8 bits a channel\n",
                      skyLine(0, false) + objectsLine(30, 0) +
                          "land colours: 2 in the drawing, 2 in the level, each its own entry "
                          "(rule 5: up to 95 colours keep their own)\n",
                      level,
                      palette};
        c.after =
            "warning: the level has no sky: sky is the drawing's transparent pixels, or pure black "
            "(0, 0, 0) where none is transparent (rule 2), and this drawing has neither, so all "
            "of it is land (a white or coloured background too); make the sky transparent or "
            "paint it pure black, then make the level again (landinfo never writes over a file: "
            "delete the old one first)\n";
        cases.push_back(std::move(c));
    }
    {  // markers that GIMP's indexed conversion moved off magenta, and two
       // soft dots too small to leave any magenta itself: no objects, and said
        std::vector<Rgba> pixels(kPixels, Rgba{0, 0, 0, 255});
        Picture level;
        std::vector<Colour> palette = levelPalette;
        palette[1] = {60, 170, 50};
        palette[2] = {128, 0, 128};
        for (std::size_t y = 400; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                pixels[y * kW + x] = rgbaOf(palette[1]);
                level.at(x, y) = 1;
            }
        for (const std::size_t at : objectPlaces()) {
            pixels[at] = Rgba{250, 0, 250, 255};
            level.at(at % kW, at / kW) = 255;
        }
        for (const std::size_t x : {100U, 1700U})  // 3 x 3 dots at x, 200
            for (std::size_t y = 199; y <= 201; ++y)
                for (std::size_t dx = 0; dx < 3; ++dx) {
                    pixels[y * kW + x - 1 + dx] = rgbaOf(palette[2]);
                    level.at(x - 1 + dx, y) = 2;
                }
        DrawingCase c{"markers near magenta, dots without it",
                      rgbBmp(pixels),
                      "picture: BMP, 1920 x 696, RGB, 24 bits a pixel, uncompressed, 40-byte "
                      "header\n",
                      skyLine(countOf(level, 0), false) + objectsLine(30, 0) +
                          "near magenta: 30 of the objects marked by 30 pixels not of magenta "
                          "itself but within 8 of 255, 0, 255 in each channel, as a reduced "
                          "palette leaves it; taken as magenta (rule 3)\nland colours: 2 in the "
                          "drawing, 2 in the level, each its own "
                          "entry (rule 5: up to 95 colours keep their own)\n",
                      level,
                      palette};
        c.after =
            "warning: 2 spots of magenta mixed into the land or sky hold no pixel of magenta "
            "itself, 255, 0, 255, at least half opaque, so they are no object and stay as they "
            "are (at 99, 199; 1699, 199, x and y from the top-left corner); paint each object "
            "with a hard brush, or with at least one pixel of pure magenta in its middle (rule "
            "3)\n";
        cases.push_back(std::move(c));
    }
    {  // 29 one-pixel markers: written all the same
        Picture level = examplePicture();
        *std::find(level.indexes.begin(), level.indexes.end(), 255) = 0;
        const std::string rules =
            skyLine(countOf(level, 0), false) + objectsLine(29, 0) + "land colours: " +
            std::to_string(
                std::set<std::uint8_t>(level.indexes.begin(), level.indexes.end()).size() - 2) +
            " in the drawing, all of the level palette, each at its entry there (rule 4)\n";
        cases.push_back({"29 markers", rgbaPng(coloured(level, levelPalette), false),
                         "picture: PNG, 1920 x 696, RGB, 8 bits a channel\n", rules, level,
                         levelPalette, "You must have exactly 30 object positions!"});
    }

    for (const DrawingCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(work());
        fs::create_directory(work());
        writeFile(at("drawing"), c.file);
        const bool converts = c.verdict == "converts";
        const std::string facts = c.pictureLine + c.ruleLines + landPixelsLine(*c.level);
        // After "written: OUT": the verdict, and with 29 objects what to do,
        // which depends on whether OUT is the level or its preview.
        const auto verdict = [&](const std::string& whatToDo) {
            return "verdict: " + c.verdict + "\n" +
                   (converts ? ""
                             : "hint: 29 found, and a level needs exactly 30 (rule 7: the level "
                               "is " +
                                   whatToDo + "\n");
        };
        const Outcome o = landinfo("drawing level.bmp");
        EXPECT_EQ(o.out, facts + "written: level.bmp\n" +
                             verdict("written all the same); each object is one dot or blot of "
                                     "magenta, 255, 0, 255, apart from the others: fix the drawing "
                                     "and make the level again (delete level.bmp first: landinfo "
                                     "never writes over a file), or give the objects entry 255 in "
                                     "level.bmp (\"landinfo level.bmp\" lists them)") +
                             c.after);
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(o.status, converts ? 0 : 1);
        // Checked alone, the drawing gets the level's warnings too.
        const Outcome checked = landinfo("drawing");
        EXPECT_TRUE(checked.out.ends_with("converts that\n" + c.after)) << checked.out;
        const Outcome converted = run("level.bmp");
        EXPECT_NE(converted.out.find(converts ? "Done!" : c.verdict), std::string::npos)
            << converted.out;
        if (converts) {
            EXPECT_TRUE(sameBytes(landFile(), expectedLandFile(*c.level, c.palette)));
        }
        EXPECT_EQ(strayFiles({"drawing", "level.bmp", "land.dat"}), std::vector<std::string>{});

        // Never over an existing file: the level's facts, then the refusal.
        const ByteVector old = readFile(at("level.bmp"));
        const Outcome again = landinfo("drawing level.bmp");
        EXPECT_EQ(again.out, facts);
        EXPECT_EQ(again.err, "level.bmp: already exists; nothing written\n");
        EXPECT_EQ(again.status, 1);
        EXPECT_EQ(readFile(at("level.bmp")), old);

        // The preview of the drawing is its level's, the very picture that
        // landinfo draws of level.bmp, and its words are the level's.
        const Outcome previewed = landinfo("drawing level.png");
        if (!kWritesPng) {
            expectPreview(previewed, facts, "", 1, "level.png");
            continue;
        }
        const std::string words =
            facts + "written: level.png\n" +
            verdict(
                "made all the same); each object is one dot or blot of magenta, 255, 0, 255, "
                "apart from the others: the preview rings and numbers those found; fix the "
                "drawing") +
            c.after;
        EXPECT_EQ(previewed.out, words);
        EXPECT_EQ(previewed.err, "");
        EXPECT_EQ(previewed.status, converts ? 0 : 1);
        ASSERT_EQ(landinfo("level.bmp own.png").status, converts ? 0 : 1);
        // But where the drawing's legend says more than the bitmap can: that
        // it has no sky for want of transparent or black pixels, or where
        // magenta was kept as land.
        const bool noted = c.after.find("no sky") != std::string::npos ||
                           c.after.find("spots of magenta") != std::string::npos;
        EXPECT_EQ(static_cast<bool>(sameBytes(readFile(at("level.png")), readFile(at("own.png")))),
                  !noted);
    }
}

// A bitmap that converts keeps its entries, and an anti-aliased drawing of
// thousands of colours is merged into 95: each checked against what the
// test drew.
TEST_F(LandInfo, KeepsAConvertingBitmapAndMergesManyColours) {
    {  // RLE8, already a level: the very same land.dat
        Picture picture = samplePicture();
        for (auto& v : picture.indexes)
            v = v >= 96 && v <= 254 ? 7 : v;
        BmpOptions rle;
        rle.compression = 1;
        writeFile(at("level.bmp"), makeBmp(rle, samplePalette(), encodeRle8(picture)));
        ASSERT_EQ(run("level.bmp").status, 0);
        const ByteVector original = landFile();
        fs::remove(at("land.dat"));
        const Outcome o = landinfo("level.bmp again.bmp");
        const std::size_t colours =
            std::set<std::uint8_t>(picture.indexes.begin(), picture.indexes.end()).size() - 2;
        EXPECT_EQ(o.out,
                  "picture: BMP, 1920 x 696, indexed, 8 bits a pixel, 256 colours, RLE8, "
                  "40-byte header\nsky: " +
                      std::to_string(countOf(picture, 0)) +
                      " pixels, entry 0 (rule 1: a bitmap that bmp2land converts keeps "
                      "its entries)\nobjects: 30, entry 255 (rule 1)\nland colours: " +
                      std::to_string(colours) + " in the drawing, " + std::to_string(colours) +
                      " in the level, at their own entries (rule 1)\n" + landPixelsLine(picture) +
                      "written: again.bmp\nverdict: converts\n");
        EXPECT_EQ(o.status, 0);
        ASSERT_EQ(run("again.bmp").status, 0);
        EXPECT_TRUE(sameBytes(landFile(), original));
    }
    {  // an RGBA PNG, transparent sky, anti-aliased land of thousands of colours
        fs::remove(at("land.dat"));
        const std::vector<Rgba> drawing = shadedDrawing(true);
        writeFile(at("hills.png"), rgbaPng(drawing, true));
        const Outcome o = landinfo("hills.png hills.bmp");
        EXPECT_EQ(o.status, 0) << o.out << o.err;
        ASSERT_EQ(run("hills.bmp").status, 0);
        // Sky exactly where the drawing is transparent, objects at the
        // magenta pixels, land elsewhere in entries 1 to 95; each land
        // pixel's largest change in a channel, as landinfo reports it.
        const ByteVector level = readFile(at("hills.bmp"));
        ASSERT_EQ(level.size(), 1078 + kPixels);
        std::set<std::uint32_t> colours;
        std::set<std::uint8_t> entries;
        int largest = 0;
        double total = 0;
        std::size_t sky = 0;
        std::size_t land = 0;
        for (std::size_t y = 0; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                const Rgba& p = drawing[y * kW + x];
                const std::uint8_t v = level[1078 + (kH - 1 - y) * kW + x];
                if (p.alpha < 128) {
                    ASSERT_EQ(v, 0) << x << ", " << y;
                    ++sky;
                } else if (p == kMagenta) {
                    ASSERT_EQ(v, 255) << x << ", " << y;
                } else {
                    ASSERT_TRUE(v >= 1 && v <= 95) << x << ", " << y;
                    colours.insert(std::uint32_t{p.red} << 16 | std::uint32_t{p.green} << 8 |
                                   p.blue);
                    entries.insert(v);
                    const std::size_t at = 54 + 4 * std::size_t{v};
                    const int change =
                        std::max({std::abs(p.red - level[at + 2]),
                                  std::abs(p.green - level[at + 1]), std::abs(p.blue - level[at])});
                    largest = std::max(largest, change);
                    total += change;
                    ++land;
                }
            }
        ASSERT_GT(colours.size(), 1000U);
        EXPECT_EQ(entries.size(), 95U);  // more than 95 colours fill every entry
        char changes[64];
        std::snprintf(changes, sizeof changes, "the largest change %d levels in a channel, %.2f",
                      largest, total / double(land));
        EXPECT_EQ(
            o.out,
            "picture: PNG, 1920 x 696, RGBA, 8 bits a channel\n" + skyLine(sky, true) +
                objectsLine(30, 0) + "land colours: " + std::to_string(colours.size()) +
                " in the drawing, merged into " + std::to_string(entries.size()) +
                " level colours by Wu's variance cuts refined by k-means; " + changes +
                " on average (rule 5: more than 95 colours)\nland pixels: " + std::to_string(land) +
                " of 1336320\nwritten: hills.bmp\nverdict: converts\n");
    }
}
