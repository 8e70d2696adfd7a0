// The recipes of docs/making-levels.md, each run as that file gives it (its
// code blocks, taken from the file itself) on a drawing made here with 30
// markers at known places; and the files of examples/ checked against their
// generator.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "png/png_writer.hpp"
#include "scratch_dir.hpp"
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

std::vector<Place> markerPlaces() {
    std::vector<Place> places;
    for (std::size_t i = 0; i < 30; ++i)
        places.push_back({(i * 61 + 13) % kW, (i * 23 + 5) % kH});
    return places;
}

// A drawing in the level's 95 colours, empty, and the 30 markers.
Picture drawing() {
    Picture p = samplePicture(0);
    for (std::uint8_t& v : p.indexes) {
        if (v > 95)
            v = static_cast<std::uint8_t>(1 + v % 95);
    }
    for (const Place& m : markerPlaces())
        p.at(m.x, m.y) = 255;
    return p;
}

// What is drawn on the blank level: a strip of each of the 95 colours, then
// the markers.
struct Fill {
    std::uint8_t entry;
    std::size_t x, y, width, height;
};

std::vector<Fill> stripsOnBlank() {
    std::vector<Fill> fills;
    for (std::uint8_t entry = 1; entry <= 95; ++entry)
        fills.push_back({entry, (entry - 1U) * 20U, 400, 20, kH - 400});
    return fills;
}

Picture drawnOnBlank() {
    Picture p;
    for (const Fill& f : stripsOnBlank()) {
        for (std::size_t y = f.y; y < f.y + f.height; ++y) {
            for (std::size_t x = f.x; x < f.x + f.width; ++x)
                p.at(x, y) = f.entry;
        }
    }
    for (const Place& m : markerPlaces())
        p.at(m.x, m.y) = 255;
    return p;
}

ByteVector topDown(const Picture& picture) {
    ByteVector rows;
    for (std::size_t stored = kH; stored-- > 0;) {
        const auto row = picture.indexes.begin() + static_cast<std::ptrdiff_t>(stored * kW);
        rows.insert(rows.end(), row, row + kW);
    }
    return rows;
}

// GIMP's batch mode, doing what the recipe's menu steps say, one call a step.
const char* const kGimpPalette = "\"bmp2land level\"";

std::string gimpStart(const char* file) {
    return std::string("(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"") + file +
           "\" \"" + file +
           "\")))"
           " (drawable (car (gimp-image-get-active-drawable image))))\n"
           "(gimp-palettes-refresh)\n"
           "(call-with-output-file \"palette-entries\" (lambda (port) (display (car "
           "(gimp-palette-get-info " +
           kGimpPalette + ")) port)))\n";
}

std::string gimpForeground(int entry) {
    return "(gimp-context-set-foreground (car (gimp-palette-entry-get-color " +
           std::string(kGimpPalette) + " " + std::to_string(entry) + ")))\n";
}

const char* const kGimpExport =
    "(file-bmp-save2 RUN-NONINTERACTIVE image (car (gimp-image-get-active-drawable image))"
    " \"level.bmp\" \"level.bmp\" FALSE TRUE 3))\n";

std::string gimpOnBlank() {
    std::string steps = gimpStart("blank.bmp");
    for (const Fill& f : stripsOnBlank()) {
        steps +=
            gimpForeground(f.entry) + "(gimp-image-select-rectangle image CHANNEL-OP-REPLACE " +
            std::to_string(f.x) + " " + std::to_string(f.y) + " " + std::to_string(f.width) + " " +
            std::to_string(f.height) + ")\n(gimp-drawable-edit-fill drawable FILL-FOREGROUND)\n";
    }
    steps +=
        "(gimp-selection-none image)\n" + gimpForeground(255) + "(gimp-context-set-brush-size 1)\n";
    for (const Place& m : markerPlaces()) {  // a click lands inside the pixel
        steps += "(gimp-pencil drawable 2 (vector " + std::to_string(m.x) + ".5 " +
                 std::to_string(m.y) + ".5))\n";
    }
    return steps + kGimpExport;
}

std::string gimpFromDrawing() {
    return gimpStart("drawing.png") +
           "(gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-CUSTOM 256 FALSE "
           "FALSE " +
           kGimpPalette + ")\n" + kGimpExport;
}

enum class Start {
    blankLevel,  // the copied examples only
    rgbDrawing,  // drawing.png, RGB in the palette's colours
    paletted,    // level.png, indexed with the level palette, saved by Pillow
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
    std::string gimpSteps;  // menu steps, in GIMP's batch mode, before bmp2land runs
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
    // first line names ("# make_level.py: ...").
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
};

TEST_P(recipes, make_a_level_that_converts) {
    const Recipe& r = GetParam();
    for (const Tool& t : r.tools) {
        if (program(t.path, t.label).empty())
            return;
    }
    const std::vector<Colour> palette = levelPalette();
    for (const char* name : {"blank.bmp", "level-palette.gpl", "palette.png"})
        fs::copy_file(kExamples / name, work() / name);
    const Picture picture = r.start == Start::blankLevel ? drawnOnBlank() : drawing();
    if (r.start == Start::rgbDrawing) {
        ByteVector rgb;
        for (const std::uint8_t v : topDown(picture))
            rgb.insert(rgb.end(), {palette[v].red, palette[v].green, palette[v].blue});
        const auto png = bmp2land::png::encodeRgbPng(kW, kH, rgb);
        if (!png)
            GTEST_SKIP() << "drawing.png: " << bmp2land::png::describe(png.error());
        writeFile(at("drawing.png"), *png);
    } else if (r.start == Start::paletted) {
        writeFile(at("drawing.bmp"), makeBmp(BmpOptions{}, palette, picture.indexes));
        const Outcome saved = shell(quote(PILLOW_PYTHON) +
                                    " -c 'from PIL import Image; "
                                    "Image.open(\"drawing.bmp\").save(\"level.png\")'");
        ASSERT_EQ(saved.status, 0) << saved.out << saved.err;
    }

    std::string script = recipeScript(r);
    const std::string last = "bmp2land level.bmp\nlandinfo level.bmp\n";
    ASSERT_TRUE(script.ends_with(last)) << "the recipe must end with\n" << last;
    if (!r.gimpSteps.empty()) {
        writeFile(at("gimp-steps.scm"), ByteVector(r.gimpSteps.begin(), r.gimpSteps.end()));
        script.insert(script.size() - last.size(),
                      "gimp -i -b \"$(cat gimp-steps.scm)\" -b '(gimp-quit 0)'\n");
        // GIMP makes its folders the first time it starts.
        script = "gimp -i -b '(gimp-quit 0)'\n" + script;
    }
    writeFile(at("recipe.sh"), ByteVector(script.begin(), script.end()));
    const std::string home = (root_ / "home").string();
    fs::create_directories(home);
    const Outcome o =
        shell("env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME=" + quote(home) +
              " PATH=" + quote(toolPath(r)) + ":\"$PATH\" bash -e recipe.sh");

    if (!r.gimpSteps.empty()) {
        EXPECT_EQ(slurp(work() / "palette-entries"), "256")
            << "GIMP's entries of level-palette.gpl";
    }
    ASSERT_TRUE(fs::exists(work() / "land.dat")) << o.out << o.err;
    EXPECT_TRUE(sameBytes(landFile(), expectedLandFile(picture, palette)));
    EXPECT_EQ(o.status, 0) << "the recipe stopped:\n" << o.out << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    making_levels, recipes,
    ::testing::Values(Recipe{"gimp_blank",
                             "## GIMP 2.10",
                             {{"gimp", GIMP_PROGRAM, "GIMP 2.10"}},
                             Start::blankLevel,
                             gimpOnBlank()},
                      Recipe{"gimp_drawing",
                             "## GIMP 2.10",
                             {{"gimp", GIMP_PROGRAM, "GIMP 2.10"}},
                             Start::rgbDrawing,
                             gimpFromDrawing()},
                      Recipe{"imagemagick_resave",
                             "## ImageMagick 6",
                             {{"convert", IMAGEMAGICK_CONVERT,
                               "ImageMagick (convert-im6.q16 or magick)"},
                              {"python3", PILLOW_PYTHON,
                               "Pillow for /usr/bin/python3, which saves the indexed level.png"}},
                             Start::paletted,
                             ""},
                      Recipe{"pillow",
                             "## Pillow",
                             {{"python3", PILLOW_PYTHON, "Pillow for /usr/bin/python3"}},
                             Start::rgbDrawing,
                             ""},
                      Recipe{"netpbm",
                             "## netpbm",
                             {{"pngtopnm", NETPBM_PNGTOPNM, "netpbm's pngtopnm"},
                              {"ppmtobmp", NETPBM_PPMTOBMP, "netpbm's ppmtobmp"}},
                             Start::rgbDrawing,
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
