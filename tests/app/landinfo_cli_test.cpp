// landinfo as a user runs it: the summary on standard output, problems on
// standard error, and the exported bitmap only from a good land file.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "scratch_dir.hpp"

namespace {

using namespace testing_support;

class LandInfo : public ScratchDir {
  public:
    Outcome landinfo(const std::string& args) {
        Outcome o = shell(landinfoCommand() + " " + args);
        o.out = asLines(o.out);
        o.err = asLines(o.err);
        return o;
    }
    void makeLandFile(const Picture& picture) {
        writeFile(at("level.bmp"), makeBmp(picture));
        ASSERT_EQ(run("level.bmp").status, 0);
    }
};

TEST_F(LandInfo, PrintsTheSummary) {
    const Picture picture = samplePicture();
    makeLandFile(picture);
    std::string expected = "size: 1920 x 696\nobjects: 30\n";
    std::size_t landPixels = 0;
    int k = 0;
    for (std::size_t stored = 0; stored < kH; ++stored) {
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = picture.indexes[stored * kW + x];
            landPixels += v != 0 && v != 255;
            if (v == 255) {
                expected += "object " + std::to_string(++k) + ": " + std::to_string(x) + ", " +
                            std::to_string(kH - 1 - stored) + "\n";
            }
        }
    }
    expected += "colours: 95\nland pixels: " + std::to_string(landPixels) +
                " of 1336320\nmask: matches picture\n"
                "level: .\\data\\level\\GULF\nwater: .\\data\\water\\Blue\n";
    const Outcome o = landinfo("land.dat");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.err, "");

    // Flip pixel 0 in the first mask and pixel 9 in the second.
    ByteVector land = landFile();
    land[1336905] ^= 0x01;
    land[1503960 + 1] ^= 0x02;
    writeFile(at("land.dat"), land);
    EXPECT_NE(landinfo("land.dat").out.find("mask: 2 pixels differ from picture\n"),
              std::string::npos);
}

TEST_F(LandInfo, ExportsABitmapThatConvertsBack) {
    makeLandFile(samplePicture());
    const ByteVector original = landFile();
    writeFile(at("out.bmp"), {'o', 'l', 'd'});
    ASSERT_EQ(landinfo("land.dat out.bmp").status, 0);
    ASSERT_EQ(run("out.bmp").status, 0);
    EXPECT_EQ(landFile(), original);
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat", "out.bmp"}), std::vector<std::string>{});

    // Names outside Windows' ANSI code page, both read and written.
    std::filesystem::create_directory(work() / "レベル");
    std::filesystem::rename(at("land.dat"), at("レベル/land.dat"));
    const Outcome o = landinfo("レベル/land.dat 'レベル/x€ 🎮.bmp'");
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("mask: matches picture\n"), std::string::npos);
    EXPECT_EQ(o.err, "");
    ASSERT_EQ(run("'レベル/x€ 🎮.bmp'").status, 0);
    EXPECT_EQ(landFile(), original);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work() / "レベル"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"land.dat", "x€ 🎮.bmp"}));
}

TEST_F(LandInfo, ReportsProblemsOnStandardError) {
    makeLandFile(samplePicture());
    ByteVector land = landFile();
    land[1336890] = 'X';
    writeFile(at("land.dat"), land);
    writeFile(at("out.bmp"), {'o', 'l', 'd'});
    const struct {
        std::string args, err;
    } cases[] = {
        {"land.dat out.bmp", "land.dat: IMG chunk 2: bad magic at offset 1336890\n"},
        {"missing.dat out.bmp", "missing.dat: cannot be opened\n"},
        {"'ない/レベル.dat' out.bmp", "ない/レベル.dat: cannot be opened\n"},
        {"level.bmp out.bmp", "level.bmp: LND header: bad magic at offset 0\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = landinfo(c.args);
        EXPECT_EQ(o.status, 1) << c.args;
        EXPECT_EQ(o.out, "") << c.args;
        EXPECT_EQ(o.err, c.err) << c.args;
        EXPECT_EQ(readFile(at("out.bmp")), (ByteVector{'o', 'l', 'd'})) << c.args;
    }
    EXPECT_EQ(landinfo("").status, 1);
}

}  // namespace
