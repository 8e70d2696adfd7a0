// The recipes of docs/making-levels.md, each run as that file gives it (its
// code blocks, taken from the file itself) on a drawing made here with 30
// markers at known places, each program making the drawing that landinfo
// then turns into a level; and the files of examples/ checked against their
// generator.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "png/png_writer.hpp"
#include "scratch_dir.hpp"
#include "test_pictures.hpp"
#include "writer_program.hpp"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const fs::path kExamples = EXAMPLES_DIR;

// The level palette as the committed blank level holds it.
std::vector<Colour> levelPalette() {
    const ByteVector blank = readFile((kExamples / "blank.bmp").string());
    std::vector<Colour> palette;
    for (std::size_t i = 0; i < 256; ++i) {
        const std::size_t at = 54 + 4 * i;
        palette.push_back({blank.at(at + 2), blank.at(at + 1), blank.at(at)});
    }
    return palette;
}

struct Place {
    std::size_t x, y;
};

// Below the top 100 rows, which the ImageMagick recipe adds as sky.
std::vector<Place> markerPlaces() {
    std::vector<Place> places;
    for (std::size_t i = 0; i < 30; ++i)
        places.push_back({(i * 61 + 13) % kW, 100 + (i * 23 + 5) % (kH - 100)});
    return places;
}

// A drawing in the level's 95 colours over an empty sky, with or without the
// 30 markers.
Picture drawing(bool markers) {
    Picture p = samplePicture(0);
    for (std::uint8_t& v : p.indexes) {
        if (v > 95)
            v = static_cast<std::uint8_t>(1 + v % 95);
    }
    for (const Place& m : markerPlaces())
        p.at(m.x, m.y) = markers ? 255 : p.at(m.x, m.y);
    return p;
}

// Land in 12 colours of its own in bands, under a black sky, and the
// entries and palette its level has: entries 1 to 12, in ascending colour.
struct Bands {
    Picture land;    // entries
    Picture marked;  // and the markers
    std::vector<Colour> palette;
};

Bands bands(const std::vector<Colour>& levelPalette) {
    Bands b;
    b.palette = levelPalette;
    for (std::size_t band = 0; band < 12; ++band)
        b.palette[1 + band] = {static_cast<std::uint8_t>(20 + band * 19),
                               static_cast<std::uint8_t>(200 - band * 9), 77};
    for (std::size_t y = 300; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            b.land.at(x, y) = static_cast<std::uint8_t>(1 + x / 160);
    b.marked = b.land;
    for (const Place& m : markerPlaces())
        b.marked.at(m.x, m.y) = 255;
    return b;
}

// Red, green, blue and opacity of each pixel, top row first; entry 0 is
// transparent where `transparentSky`.
ByteVector rgbaSamples(const Picture& picture, const std::vector<Colour>& palette,
                       bool transparentSky, std::size_t firstRow = 0) {
    ByteVector out;
    for (std::size_t y = firstRow; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = picture.indexes[(kH - 1 - y) * kW + x];
            const Colour& c = palette[v];
            out.insert(out.end(), {c.red, c.green, c.blue});
            out.push_back(transparentSky && v == 0 ? 0 : 255);
        }
    return out;
}

// GIMP's batch mode, doing what the recipe's menu steps say, one call a step.
std::string gimpLoad(const char* file) {
    return std::string("(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"") + file +
           "\" \"" + file +
           "\")))"
           " (drawable (car (gimp-image-get-active-drawable image))))\n";
}

const char* const kGimpExportPng =
    "(file-png-save2 RUN-NONINTERACTIVE image (car (gimp-image-get-active-drawable image))"
    " \"drawing.png\" \"drawing.png\" FALSE 9 FALSE FALSE FALSE FALSE FALSE FALSE FALSE))\n";

// Opens the drawing of transparent sky and land, marks the objects with the
// Pencil in magenta, and exports drawing.png.
std::string gimpMarksObjects() {
    std::string steps = gimpLoad("start.png") +
                        "(gimp-context-set-foreground '(255 0 255))\n"
                        "(gimp-context-set-brush-size 1)\n";
    for (const Place& m : markerPlaces()) {  // a click lands inside the pixel
        steps += "(gimp-pencil drawable 2 (vector " + std::to_string(m.x) + ".5 " +
                 std::to_string(m.y) + ".5))\n";
    }
    return steps + kGimpExportPng;
}

// Re-indexes a drawing in the level palette's colours with that palette and
// "Remove unused and duplicate colors from colormap" on, which renumbers it,
// and exports drawing.png.
std::string gimpReindexes() {
    return gimpLoad("start.png") +
           "(gimp-palettes-refresh)\n"
           "(gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-CUSTOM 256 FALSE "
           "TRUE \"bmp2land level\")\n" +
           kGimpExportPng;
}

enum class Start {
    transparentSky,  // start.png: RGBA, land in the level palette, no markers
    levelPalette,    // start.png: RGB in the level palette, with the markers
    sketch,          // sketch.png: the transparent-sky drawing without its top 100 rows
    bandsAndList,    // land.png: 12 colours over black, and objects.txt
    ppm,             // drawing.ppm: the level palette over black, with the markers
};

struct Tool {
    const char* name;   // as the recipes' commands call it
    const char* path;   // found at configure time; empty when not
    const char* label;  // what to install when it is missing
};

struct Recipe {
    const char* name;
    const char* heading;  // the section whose code blocks are the recipe
    std::vector<Tool> tools;
    Start start;
    std::string gimpSteps;  // menu steps, in GIMP's batch mode, before landinfo runs
};

std::ostream& operator<<(std::ostream& out, const Recipe& r) {
    return out << r.name;
}

struct CodeBlock {
    std::string language;
    std::string text;
};

// The fenced code blocks of one section of the recipes, in order.
std::vector<CodeBlock> recipeBlocks(const std::string& heading) {
    std::ifstream recipes(RECIPES_PATH);
    std::vector<CodeBlock> blocks;
    bool inSection = false;
    bool inBlock = false;
    for (std::string line; std::getline(recipes, line);) {
        if (inBlock) {
            if (line == "```")
                inBlock = false;
            else
                blocks.back().text += line + "\n";
        } else if (line.starts_with("#")) {
            if (inSection)
                break;
            inSection = line == heading;
        } else if (inSection && line.starts_with("```")) {
            blocks.push_back({line.substr(3), ""});
            inBlock = true;
        }
    }
    return blocks;
}

class recipes : public ScratchDir, public ::testing::WithParamInterface<Recipe> {
  public:
    // The recipe's shell lines; its Python blocks become the files their
    // first line names ("# mark_objects.py: ...").
    std::string recipeScript(const Recipe& r) {
        std::string script;
        for (const CodeBlock& block : recipeBlocks(r.heading)) {
            if (block.language == "python") {
                const std::string name = block.text.substr(2, block.text.find(':') - 2);
                writeFile(at(name), ByteVector(block.text.begin(), block.text.end()));
            } else {
                EXPECT_EQ(block.language, "sh");
                script += block.text;
            }
        }
        return script;
    }

    // Puts the recipes' command names for the tools on a PATH of their own.
    std::string toolPath(const Recipe& r) const {
        const fs::path bin = root_ / "bin";
        fs::create_directories(bin);
        std::vector<Tool> tools = r.tools;
        tools.push_back({"bmp2land", programPath().c_str(), "bmp2land"});
        tools.push_back({"landinfo", LANDINFO_EXE, "landinfo"});
        for (const Tool& t : tools)
            fs::create_symlink(t.path, bin / t.name);
        return bin.string();
    }

    // Writes the files the recipe starts from; returns the level it must
    // give, its entries and palette.
    std::pair<Picture, std::vector<Colour>> startFiles(Start start) {
        const std::vector<Colour> palette = levelPalette();
        const auto png = [&](const char* name, const ByteVector& rgba, std::size_t rows,
                             bool alpha) {
            PngKind kind;
            kind.height = static_cast<std::uint32_t>(rows);
            kind.colourType = alpha ? 6 : 2;
            std::vector<std::uint16_t> samples;
            for (std::size_t i = 0; i < rgba.size(); ++i) {
                if (alpha || i % 4 != 3)
                    samples.push_back(rgba[i]);
            }
            writeFile(at(name), encodePng(kind, samples));
        };
        switch (start) {
            case Start::transparentSky:
                png("start.png", rgbaSamples(drawing(false), palette, true), kH, true);
                return {drawing(true), palette};
            case Start::levelPalette:
                png("start.png", rgbaSamples(drawing(true), palette, false), kH, false);
                return {drawing(true), palette};
            case Start::sketch:
                png("sketch.png", rgbaSamples(drawing(true), palette, true, 100), kH - 100, true);
                return {drawing(true), palette};
            case Start::bandsAndList: {
                const Bands b = bands(palette);
                png("land.png", rgbaSamples(b.land, b.palette, false), kH, false);
                std::string list;
                for (const Place& m : markerPlaces())
                    list += std::to_string(m.x) + " " + std::to_string(m.y) + "\n";
                writeFile(at("objects.txt"), ByteVector(list.begin(), list.end()));
                return {b.marked, b.palette};
            }
            case Start::ppm: {
                const std::string header = "P6\n1920 696\n255\n";
                ByteVector ppm(header.begin(), header.end());
                const ByteVector rgba = rgbaSamples(drawing(true), palette, false);
                for (std::size_t i = 0; i < rgba.size(); ++i) {
                    if (i % 4 != 3)
                        ppm.push_back(rgba[i]);
                }
                writeFile(at("drawing.ppm"), ppm);
                return {drawing(true), palette};
            }
        }
        return {};
    }
};

TEST_P(recipes, make_a_level_that_converts) {
    const Recipe& r = GetParam();
    for (const Tool& t : r.tools) {
        if (program(t.path, t.label).empty())
            return;
    }
    for (const char* name : {"blank.bmp", "level-palette.gpl", "palette.png"})
        fs::copy_file(kExamples / name, work() / name);
    const auto [picture, palette] = startFiles(r.start);

    std::string script = recipeScript(r);
    const std::string last = "bmp2land level.bmp\n";
    ASSERT_TRUE(script.ends_with(last)) << "the recipe must end with\n" << last;
    ASSERT_NE(script.find("landinfo drawing."), std::string::npos);
    if (!r.gimpSteps.empty()) {
        // GIMP makes its folders the first time it starts; the palette goes
        // where the recipe says.
        writeFile(at("gimp-steps.scm"), ByteVector(r.gimpSteps.begin(), r.gimpSteps.end()));
        script =
            "gimp -i -b '(gimp-quit 0)'\n"
            "cp level-palette.gpl ~/.config/GIMP/2.10/palettes/\n"
            "gimp -i -b \"$(cat gimp-steps.scm)\" -b '(gimp-quit 0)'\n" +
            script;
    }
    writeFile(at("recipe.sh"), ByteVector(script.begin(), script.end()));
    const std::string home = (root_ / "home").string();
    fs::create_directories(home);
    const Outcome o =
        shell("env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME=" + quote(home) +
              " PATH=" + quote(toolPath(r)) + ":\"$PATH\" bash -e recipe.sh");

    ASSERT_TRUE(fs::exists(work() / "land.dat")) << o.out << o.err;
    EXPECT_TRUE(sameBytes(landFile(), expectedLandFile(picture, palette)));
    EXPECT_EQ(o.status, 0) << "the recipe stopped:\n" << o.out << o.err;
    EXPECT_NE(o.out.find("written: level.bmp\nverdict: converts\n"), std::string::npos) << o.out;
}

const Tool kGimp = {"gimp", GIMP_PROGRAM, "GIMP 2.10"};
const Tool kPillow = {"python3", PILLOW_PYTHON, "Pillow for /usr/bin/python3"};

INSTANTIATE_TEST_SUITE_P(
    making_levels, recipes,
    ::testing::Values(Recipe{"gimp_transparent_sky",
                             "## GIMP 2.10",
                             {kGimp},
                             Start::transparentSky,
                             gimpMarksObjects()},
                      Recipe{"gimp_reindexed_remove_unused",
                             "## GIMP 2.10",
                             {kGimp},
                             Start::levelPalette,
                             gimpReindexes()},
                      Recipe{"imagemagick_canvas",
                             "## ImageMagick 6",
                             {{"convert", IMAGEMAGICK_CONVERT,
                               "ImageMagick (convert-im6.q16 or magick)"}},
                             Start::sketch,
                             ""},
                      Recipe{"pillow_24bit", "## Pillow", {kPillow}, Start::bandsAndList, ""},
                      Recipe{"netpbm",
                             "## netpbm",
                             {{"ppmtobmp", NETPBM_PPMTOBMP, "netpbm's ppmtobmp"}},
                             Start::ppm,
                             ""}),
    [](const ::testing::TestParamInfo<Recipe>& p) { return std::string(p.param.name); });

class examples_dir : public ScratchDir {};

TEST_F(examples_dir, holds_what_make_example_makes) {
    const auto png = bmp2land::png::encodeRgbPng(1, 1, ByteVector(3));
    if (!png)
        GTEST_SKIP() << "make_example can't write palette.png: "
                     << bmp2land::png::describe(png.error());
    const Outcome o = shell(quote(MAKE_EXAMPLE) + " .");
    ASSERT_EQ(o.status, 0) << o.out;
    for (const char* name :
         {"level.bmp", "blank.bmp", "level-palette.gpl", "level-palette.pal", "palette.png"}) {
        EXPECT_TRUE(readFile(at(name)) == readFile((kExamples / name).string()))
            << "examples/" << name
            << " is not what make_example writes now; run make_example examples";
    }
}

}  // namespace
