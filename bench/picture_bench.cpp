// Turns a drawing into a level bitmap in memory, as landinfo will: reads the
// picture (PNG or any BMP), maps its colours to entries and writes the
// bitmap into memory, and says how long that took. With `make` it first
// writes the benchmark's drawing: a 1920 x 696 RGBA picture of shaded,
// anti-aliased hills of several thousand colours under a transparent sky,
// with 30 soft markers, as raw samples (red, green, blue, alpha a pixel, top
// row first), which bench/drawing.sh has ImageMagick save as a PNG.
//
//   picture_bench make DRAWING.rgba
//   picture_bench level DRAWING OUT.bmp [RUNS]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bitmap/bitmap_writer.hpp"
#include "drawing/drawing.hpp"

namespace {

constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 696;

std::vector<std::uint8_t> drawing() {
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t{kHeight} * 4 * kWidth);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const double top = 330 + 90 * std::sin(x / 170.0) + 25 * std::sin(x / 23.0);
            const double inside = y - top;
            const double cover = std::clamp(inside + 0.5, 0.0, 1.0);
            const auto shade = [&](double base, double depth) {
                return static_cast<std::uint8_t>(
                    std::clamp(base + depth * std::min(inside, 300.0) / 4 + 20 * std::sin(x / 37.0),
                               0.0, 255.0));
            };
            std::uint8_t r = shade(70, 0.5);
            std::uint8_t g = shade(180, -0.6);
            std::uint8_t b = shade(50, 0.3);
            auto a = static_cast<std::uint8_t>(std::lround(cover * 255));
            // 30 soft markers, 7 pixels across, standing on the hills.
            const std::uint32_t marker = (x + 32) / 64;
            const double mx = marker * 64.0;
            const double my = 330 + 90 * std::sin(mx / 170.0) + 25 * std::sin(mx / 23.0) - 4;
            const double d = std::hypot(x - mx, y - my);
            if (marker >= 1 && marker <= 30 && d < 3.5) {
                const double t = std::min(1.0, (1 - d / 3.5) * 1.8);
                const auto mix = [t](double m, double under) {
                    return static_cast<std::uint8_t>(std::lround(t * m + (1 - t) * under));
                };
                if (a < 128) {
                    r = 255, g = 0, b = 255, a = static_cast<std::uint8_t>(std::lround(t * 255));
                } else {
                    r = mix(255, r), g = mix(0, g), b = mix(255, b);
                }
            }
            samples.insert(samples.end(), {r, g, b, a});
        }
    }
    return samples;
}

std::vector<std::uint8_t> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int level(const char* in, const char* out, int runs) {
    const std::vector<std::uint8_t> file = readFile(in);
    double best = 1e9;
    bmp2land::MemorySink bitmap;
    bmp2land::drawing::DrawingFacts facts;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        auto made = bmp2land::drawing::levelFromFile(file);
        if (!made) {
            std::printf("%s: refused (%d)\n", in, static_cast<int>(made.error().kind));
            return 1;
        }
        bitmap.data.clear();
        if (!bmp2land::bitmap::writeBitmap(made->image, bitmap))
            return 1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        facts = made->facts;
    }
    std::printf(
        "decode + map + bitmap in memory: %.3f s (best of %d); %zu colours to %zu, "
        "mean change %.2f, %zu objects\n",
        best, runs, facts.drawingColours, facts.levelColours, facts.meanChange, facts.objects);
    return writeFile(out, bitmap.data) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make" && argc == 3)
        return writeFile(argv[2], drawing()) ? 0 : 1;
    if (command == "level" && (argc == 4 || argc == 5))
        return level(
            argv[2], argv[3],
            argc == 5 ? std::max(1, static_cast<int>(std::strtol(argv[4], nullptr, 10))) : 1);
    std::printf("Usage: %s make DRAWING.rgba | level DRAWING OUT.bmp [RUNS]\n", argv[0]);
    return 2;
}
