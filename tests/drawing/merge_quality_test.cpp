// Merging many colours into 95 changes them less than ImageMagick's own
// quantizer does on the same picture, measured as the mean over land pixels
// of each pixel's largest change in any channel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include "../writers/writer_program.hpp"
#include "drawing/drawing.hpp"
#include "drawing/objects.hpp"
#include "scratch_dir.hpp"
#include "test_pictures.hpp"

namespace {

using namespace testing_support;

// Every hue from left to right, from near white at the top through the full
// colours to near black at the bottom: no pixel black (the sky) or magenta.
std::vector<Rgba> fullSpectrum() {
    std::vector<Rgba> pixels;
    pixels.reserve(kPixels);
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const double hue = double(x) * 6.0 / kW;
            const double lightness = 0.98 - 0.96 * double(y) / (kH - 1);
            const double chroma = (1 - std::abs(2 * lightness - 1));
            const double second = chroma * (1 - std::abs(std::fmod(hue, 2.0) - 1));
            const double m = lightness - chroma / 2;
            std::array<double, 3> c{};
            const int sector = static_cast<int>(hue);
            const std::array<std::array<double, 3>, 6> bySector = {{{chroma, second, 0},
                                                                    {second, chroma, 0},
                                                                    {0, chroma, second},
                                                                    {0, second, chroma},
                                                                    {second, 0, chroma},
                                                                    {chroma, 0, second}}};
            c = bySector[static_cast<std::size_t>(std::min(sector, 5))];
            const auto byte = [&](double v) {
                return static_cast<std::uint8_t>(std::lround(std::clamp(v + m, 0.0, 1.0) * 255));
            };
            Rgba p{byte(c[0]), byte(c[1]), byte(c[2]), 255};
            if (bmp2land::drawing::isMarker(p))  // near magenta: an object
                p.green = bmp2land::drawing::kMarkerTolerance + 1;
            if (p.red == 0 && p.green == 0 && p.blue == 0)
                p.blue = 1;
            pixels.push_back(p);
        }
    return pixels;
}

// The pixels of a binary PPM (P6) of 8-bit samples.
std::vector<Rgba> readPpm(const ByteVector& file) {
    std::istringstream head(std::string(file.begin(), file.begin() + 64));
    std::string magic;
    std::size_t width = 0;
    std::size_t height = 0;
    int top = 0;
    head >> magic >> width >> height >> top;
    const auto start = static_cast<std::size_t>(head.tellg()) + 1;
    std::vector<Rgba> pixels;
    if (magic != "P6" || top != 255 || file.size() < start + width * height * 3)
        return pixels;
    for (std::size_t i = 0; i < width * height; ++i)
        pixels.push_back(
            {file[start + 3 * i], file[start + 3 * i + 1], file[start + 3 * i + 2], 255});
    return pixels;
}

double meanLargestChange(const std::vector<Rgba>& from, const std::vector<Rgba>& to) {
    double total = 0;
    for (std::size_t i = 0; i < from.size(); ++i)
        total += std::max({std::abs(from[i].red - to[i].red), std::abs(from[i].green - to[i].green),
                           std::abs(from[i].blue - to[i].blue)});
    return total / double(from.size());
}

class MergeQuality : public ScratchDir {};

TEST_F(MergeQuality, NoWorseThanImageMagick) {
    const std::string convert = program(IMAGEMAGICK_CONVERT, "ImageMagick");
    if (convert.empty())
        return;
    for (const auto& [name, picture] :
         {std::pair{"full spectrum", fullSpectrum()},
          std::pair{"three colours shaded finely",
                    shadedFinely(std::vector<Rgba>(kPixels, Rgba{1, 1, 1, 255}))}}) {
        SCOPED_TRACE(name);
        const ByteVector file = rgbBmp(picture);
        writeFile(at("spectrum.bmp"), file);
        const Outcome im =
            shell(quote(convert) + " spectrum.bmp +dither -colors 95 -depth 8 merged.ppm");
        ASSERT_EQ(im.status, 0) << im.err;
        const std::vector<Rgba> theirs = readPpm(readFile(at("merged.ppm")));
        ASSERT_EQ(theirs.size(), kPixels);

        const auto level = bmp2land::drawing::levelFromFile(file);
        ASSERT_TRUE(level);
        ASSERT_EQ(level->facts.landPixels, kPixels);  // no sky, no object
        EXPECT_EQ(level->facts.mapping, bmp2land::drawing::Mapping::Merged);
        const double theirChange = meanLargestChange(picture, theirs);
        std::vector<Rgba> ours;
        for (std::size_t y = 0; y < kH; ++y)
            for (std::size_t x = 0; x < kW; ++x) {
                const auto& q = level->image.palette[level->image.pixels[(kH - 1 - y) * kW + x]];
                ours.push_back({q.red, q.green, q.blue, 255});
            }
        const double ourChange = meanLargestChange(picture, ours);
        EXPECT_NEAR(ourChange, level->facts.meanChange, 1e-9);
        RecordProperty(std::string("ours, ") + name, std::to_string(ourChange));
        RecordProperty(std::string("imagemagick, ") + name, std::to_string(theirChange));
        std::printf("%s: mean largest channel change %.2f here, %.2f by ImageMagick\n", name,
                    ourChange, theirChange);
        EXPECT_LE(ourChange, theirChange);
        EXPECT_EQ(level->facts.levelColours, 95U);
    }
}

}  // namespace
