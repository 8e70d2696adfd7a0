// Writes the land-file fuzz target's seeds: the land file of a bitmap, and
// copies of it damaged in the ways the reader and the round trip look for.
//
//   make_land_seeds examples/level.bmp DIRECTORY
//
// The build runs it as the target land_seeds, into build/fuzz/land_corpus.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bitmap/bitmap_reader.hpp"
#include "land/land_conversion.hpp"
#include "land/land_format.hpp"
#include "land/land_writer.hpp"

namespace {

using namespace bmp2land;
using Seed = std::vector<std::uint8_t>;

std::vector<std::uint8_t> landFileOf(const std::vector<std::uint8_t>& bmp) {
    const auto headers = bitmap::readHeaders(bmp);
    if (!headers)
        return {};
    const auto image = bitmap::readBody(bmp, *headers);
    if (!image)
        return {};
    const auto model = land::convert(*image);
    MemorySink sink;
    if (!model || !land::write(*model, sink))
        return {};
    return sink.data;
}

// The picture pixel at (x, y), counted from the top-left corner.
std::size_t pixelOffset(std::size_t x, std::size_t y) {
    return land::kPictureChunkOffset + land::kPictureHeaderSize + y * land::kWidth + x;
}

void everyRoundTripReason(Seed& s) {
    s[pixelOffset(3, 3)] = land::kMarkerIndex;                            // a 31st marker
    std::copy_n(s.begin() + land::kPositionsOffset, land::kPositionSize,  // two at one place
                s.begin() + land::kPositionsOffset + 2 * land::kPositionSize);
    std::swap_ranges(s.begin() + land::kPositionsOffset + 3 * land::kPositionSize,  // order
                     s.begin() + land::kPositionsOffset + 4 * land::kPositionSize,
                     s.begin() + land::kPositionsOffset + 4 * land::kPositionSize);
    s[land::kLevelPathOffset + 14] = 'X';
    s[land::kWaterPathOffset + 14] = 'X';
    s[land::kBlankChunkOffset + land::kBitmaskHeaderSize + 9] = 1;
    s[land::kMaskChunkOffset + land::kBitmaskHeaderSize + 9] ^= 1;
}

// Land of entries 96 to 254, which have no colour, in place of some of the
// land, so that the masks still match.
void uncolouredLand(Seed& s) {
    constexpr std::size_t kChanged = 5000;
    constexpr std::size_t kFirst = land::kColourCount + 1;
    constexpr std::size_t kEntries = land::kMarkerIndex - kFirst;
    std::size_t changed = 0;
    for (std::size_t at = pixelOffset(0, 0);
         at < pixelOffset(0, land::kHeight) && changed < kChanged; ++at) {
        if (s[at] != 0)
            s[at] = static_cast<std::uint8_t>(kFirst + changed++ % kEntries);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        (void)std::fprintf(stderr, "usage: %s LEVEL.bmp DIRECTORY\n", argv[0]);
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const Seed good =
        landFileOf(Seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    if (good.empty()) {
        (void)std::fprintf(stderr, "%s: not a bitmap that converts\n", argv[1]);
        return 1;
    }
    const std::vector<std::pair<std::string, std::function<void(Seed&)>>> seeds = {
        {"good", [](Seed&) {}},
        {"every_round_trip_reason", everyRoundTripReason},
        {"uncoloured_land", uncolouredLand},
        {"bad_mask_magic", [](Seed& s) { s[land::kMaskChunkOffset] = 'X'; }},
        {"position_outside", [](Seed& s) { s[land::kPositionsOffset + 2] = 1; }},
        {"bad_path_length", [](Seed& s) { s[land::kWaterPathOffset] = 16; }},
        {"cut_short", [](Seed& s) { s.resize(land::kMaskChunkOffset + 100); }},
        {"extra_bytes",
         [](Seed& s) {
             s.insert(s.end(), {0, 0, 0});
         }},
    };
    for (const auto& [name, damage] : seeds) {
        Seed seed = good;
        damage(seed);
        std::ofstream out(std::string(argv[2]) + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.data()),
                  static_cast<std::streamsize>(seed.size()));
        if (!out) {
            (void)std::fprintf(stderr, "%s/%s: cannot be written\n", argv[2], name.c_str());
            return 1;
        }
    }
    return 0;
}
