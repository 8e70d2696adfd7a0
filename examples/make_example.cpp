// Draws the example level: rolling hills over a sky, grass on top, earth and
// rock below, caves cut into the ground, two floating islands, and 30 object
// markers (index 255) standing on the surface. Writes a 1920 x 696 8-bit BMP.
//
//   make_example level.bmp

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bitmap/bitmap_writer.hpp"
#include "common/rows.hpp"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 696;
constexpr int kMarkers = 30;
constexpr std::uint8_t kSky = 0;
constexpr std::uint8_t kMarker = 255;

// Indexes 1-8 grass, 9-60 earth, 61-95 rock, darker with depth.
std::uint8_t groundIndex(int depth, int x) {
    if (depth < 8)
        return static_cast<std::uint8_t>(1 + depth);
    if (depth < 120)
        return static_cast<std::uint8_t>(9 + (depth - 8) * 51 / 112 + (x % 3 == 0));
    return static_cast<std::uint8_t>(61 + std::min(34, (depth - 120) / 8));
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

std::array<bmp2land::bitmap::RgbQuad, 256> palette() {
    std::array<bmp2land::bitmap::RgbQuad, 256> quads{};
    quads.fill({128, 128, 128, 0});  // unused
    std::size_t at = 0;
    const auto add = [&](int r, int g, int b) {
        quads[at++] = {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                       static_cast<std::uint8_t>(r), 0};
    };
    add(120, 180, 255);  // sky
    for (int i = 0; i < 8; ++i)
        add(40 + i * 6, 170 - i * 8, 40);
    for (int i = 0; i < 52; ++i)
        add(150 - i, 100 - i, 50 - i / 2);
    for (int i = 0; i < 35; ++i)
        add(110 - i * 2, 110 - i * 2, 115 - i * 2);
    quads[kMarker] = {255, 0, 255, 0};  // object markers
    return quads;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("Usage: %s output.bmp\n", argv[0]);
        return 1;
    }
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

    bmp2land::bitmap::BitmapImage image;
    const bmp2land::bitmap::BitmapHeaders headers = bmp2land::bitmap::plainHeaders();
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    image.palette = palette();
    bmp2land::appendRowsReversed(picture, kWidth, image.pixels);
    bmp2land::MemorySink file;
    if (!bmp2land::bitmap::writeBitmap(image, file))
        return 1;

    std::FILE* out = std::fopen(argv[1], "wb");
    const bool ok = out != nullptr &&
                    std::fwrite(file.data.data(), 1, file.data.size(), out) == file.data.size();
    if (out != nullptr && std::fclose(out) != 0)
        return 1;
    return ok ? 0 : 1;
}
