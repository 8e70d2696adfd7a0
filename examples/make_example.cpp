// Makes the files of examples/: the example level (rolling hills over a sky,
// grass on top, earth and rock below, caves cut into the ground, two floating
// islands, and 30 object markers standing on the surface), a blank level to
// draw on, and the palette both use, for GIMP, as a JASC palette and as a PNG.
//
//   make_example DIR     writes DIR/level.bmp, DIR/blank.bmp,
//                        DIR/level-palette.gpl, DIR/level-palette.pal and
//                        DIR/palette.png

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bitmap/bitmap_writer.hpp"
#include "common/rows.hpp"
#include "drawing/level_palette.hpp"
#include "png/png_writer.hpp"

namespace {

namespace drawing = bmp2land::drawing;

constexpr int kWidth = 1920;
constexpr int kHeight = 696;
constexpr int kMarkers = 30;
constexpr std::uint8_t kSky = drawing::kEmptyIndex;
constexpr std::uint8_t kMarker = drawing::kMarkerIndex;

// Grass, then soil and clay, then rock, darker with depth.
std::uint8_t groundIndex(int depth, int x) {
    using namespace bmp2land::drawing;
    constexpr int kRockDepth = 120;
    constexpr int kEarthColours = kSoilColours + kClayColours;
    if (depth < kGrassColours)
        return static_cast<std::uint8_t>(kFirstGrass + depth);
    if (depth < kRockDepth)
        return static_cast<std::uint8_t>(kFirstSoil +
                                         (depth - kGrassColours) * (kEarthColours - 1) /
                                             (kRockDepth - kGrassColours) +
                                         (x % 3 == 0));
    return static_cast<std::uint8_t>(kFirstRock +
                                     std::min(kRockColours - 1, (depth - kRockDepth) / 8));
}

double surface(int x) {
    const double t = x / static_cast<double>(kWidth);
    return 330 + 70 * std::sin(t * 6.3) + 35 * std::sin(t * 17.0 + 1.0) + 12 * std::sin(t * 53.0);
}

bool inCave(int x, int y) {
    constexpr std::array<std::array<double, 4>, 6> kCaves = {{
        {260, 520, 120, 40},
        {700, 600, 180, 45},
        {1150, 480, 90, 35},
        {1500, 580, 200, 50},
        {1800, 500, 70, 60},
        {950, 650, 140, 25},
    }};
    return std::any_of(kCaves.begin(), kCaves.end(), [&](const auto& c) {
        const double dx = (x - c[0]) / c[2];
        const double dy = (y - c[1]) / c[3];
        return dx * dx + dy * dy < 1.0;
    });
}

bool onIsland(int x, int y, int& depth) {
    constexpr std::array<std::array<int, 3>, 2> kIslands = {{{480, 150, 90}, {1380, 120, 120}}};
    for (const auto& island : kIslands) {
        const int top = island[1];
        const int half = island[2];
        const int dx = std::abs(x - island[0]);
        const int bottom = top + 40 - dx * 40 / half;
        if (dx < half && y >= top && y < bottom) {
            depth = y - top;
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> drawLevel() {
    // Top-down while drawing; the file stores the bottom row first.
    std::vector<std::uint8_t> picture(std::size_t{kWidth} * kHeight, kSky);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int depth = y - static_cast<int>(surface(x));
            std::uint8_t v = kSky;
            if (onIsland(x, y, depth) || depth >= 0)
                v = groundIndex(depth, x);
            if (depth >= 20 && inCave(x, y))
                v = kSky;
            picture[std::size_t(y) * kWidth + std::size_t(x)] = v;
        }
    }
    for (int i = 0; i < kMarkers; ++i) {
        const int x = 30 + i * (kWidth - 60) / (kMarkers - 1);
        const int y = static_cast<int>(surface(x)) - 2;
        picture[std::size_t(y) * kWidth + std::size_t(x)] = kMarker;
    }
    return picture;
}

std::vector<std::uint8_t> bitmapFile(const std::vector<std::uint8_t>& topDown,
                                     const drawing::LevelPalette& palette) {
    bmp2land::bitmap::BitmapImage image;
    const bmp2land::bitmap::BitmapHeaders headers = bmp2land::bitmap::plainHeaders();
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    for (std::size_t i = 0; i < palette.size(); ++i)
        image.palette[i] = {palette[i].blue, palette[i].green, palette[i].red, 0};
    bmp2land::appendRowsReversed(topDown, kWidth, image.pixels);
    bmp2land::MemorySink file;
    if (!bmp2land::bitmap::writeBitmap(image, file))
        file.data.clear();
    return file.data;
}

// The palette as a 16 x 16 picture, one pixel an entry, in index order: the
// form ImageMagick's -remap and netpbm's -mapfile take a palette in. Empty
// when this build has no PNG encoder.
std::vector<std::uint8_t> palettePng(const drawing::LevelPalette& palette) {
    constexpr std::uint32_t kSide = 16;
    std::vector<std::uint8_t> rgb;
    for (const drawing::NamedColour& c : palette)
        rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    auto png = bmp2land::png::encodeRgbPng(kSide, kSide, rgb);
    if (!png) {
        std::printf("palette.png: %s\n", bmp2land::png::describe(png.error()));
        return {};
    }
    return std::move(*png);
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written =
        !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    if (!(written && closed))
        std::printf("%s can't be written\n", path.c_str());
    return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("Usage: %s DIR\n", argv[0]);
        return 1;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const drawing::LevelPalette palette = drawing::levelPalette();
    const std::string gpl = drawing::gimpPalette(palette);
    const std::string pal = drawing::jascPalette(palette);
    const std::vector<std::uint8_t> blank(std::size_t{kWidth} * kHeight, kSky);
    const std::vector<std::uint8_t> png = palettePng(palette);
    const bool ok = writeFile(dir + "level.bmp", bitmapFile(drawLevel(), palette)) &&
                    writeFile(dir + "blank.bmp", bitmapFile(blank, palette)) &&
                    writeFile(dir + "level-palette.gpl", {gpl.begin(), gpl.end()}) &&
                    writeFile(dir + "level-palette.pal", {pal.begin(), pal.end()}) &&
                    !png.empty() && writeFile(dir + "palette.png", png);
    return ok ? 0 : 1;
}
