// The stages of a land file's preview, as landinfo makes it: reads the file,
// fills a scene from it, renders and encodes the picture, and writes it; then
// prints the time each step took. bench/preview.py times the whole landinfo
// command against ImageMagick's convert of the exported bitmap to PNG.
//
//   preview_bench LAND_FILE OUT.png

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "landinfo/land_reader.hpp"
#include "landinfo/level_scenes.hpp"
#include "png/png_writer.hpp"
#include "preview/preview.hpp"

namespace {

using Clock = std::chrono::steady_clock;
namespace preview = bmp2land::preview;

std::vector<std::uint8_t> readWhole(const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

double milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("Usage: %s LAND_FILE OUT.png\n", argv[0]);
        return 1;
    }
    const Clock::time_point start = Clock::now();
    const std::vector<std::uint8_t> bytes = readWhole(argv[1]);
    const auto reading = bmp2land::landinfo::readLandFileRecords(bytes, bytes.size());
    if (reading.error) {
        std::printf("%s: not a good land file\n", argv[1]);
        return 1;
    }
    const preview::Scene scene = bmp2land::landinfo::landFileScene(reading);
    const Clock::time_point read = Clock::now();
    const preview::Preview picture = preview::render(scene);
    const Clock::time_point rendered = Clock::now();
    const auto png = bmp2land::png::encodeRgbPng(picture.image.width(), picture.image.height(),
                                                 picture.image.rgb());
    if (!png) {
        std::printf("%s\n", bmp2land::png::describe(png.error()));
        return 1;
    }
    const Clock::time_point encoded = Clock::now();
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png->data()),
              static_cast<std::streamsize>(png->size()));
    out.close();
    const Clock::time_point written = Clock::now();
    std::printf("read %.1f ms, render %.1f ms, encode %.1f ms, write %.1f ms; %zu bytes\n",
                milliseconds(start, read), milliseconds(read, rendered),
                milliseconds(rendered, encoded), milliseconds(encoded, written), png->size());
    return out ? 0 : 1;
}
