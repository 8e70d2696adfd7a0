#pragma once

// Test-only writers of pictures of every kind, and a scene to draw in them
// whose level is known: PNG of any colour type, bit depth and interlace
// (stored or compressed deflate blocks), BMP rows of any depth, and RLE4 and
// RLE8 streams.
// They share no code with the program's readers.

#include <array>
#include <cstdint>
#include <vector>

#include "common/rgba.hpp"
#include "test_bitmaps.hpp"

namespace testing_support {

using bmp2land::Rgba;

struct PngKind {
    std::uint32_t width = kW;
    std::uint32_t height = kH;
    std::uint8_t bitDepth = 8;
    std::uint8_t colourType = 2;  // 0 grey, 2 RGB, 3 indexed, 4 grey + alpha, 6 RGBA
    bool interlaced = false;
    bool compressed = false;  // deflate's fixed codes, not stored blocks
    ByteVector plte;          // red, green, blue a palette entry
    ByteVector trns;
};

// The channels of one colour type: 1, 3, 1, 2 or 4.
std::size_t channelsOf(std::uint8_t colourType);

// `samples` holds width x height x channels values below 2^bitDepth, top row
// first; Adam7 passes are cut from them for an interlaced picture.
ByteVector encodePng(const PngKind& kind, const std::vector<std::uint16_t>& samples);

// Rows of `values` (width x height, top row first; palette indexes, or
// pixels of bitCount bits, little-endian) as a bitmap stores them: bottom row
// first, each padded to 4 bytes.
ByteVector packBmpRows(const std::vector<std::uint32_t>& values, std::size_t width,
                       std::size_t height, unsigned bitCount);

// A 24-bit BMP of the level's size, from pixels top row first.
ByteVector rgbBmp(const std::vector<Rgba>& pixels);

// `indexes` (width x height, top row first, at least 3 wide) as an RLE8 or
// RLE4 stream: each row a literal of 5 pixels, then runs.
ByteVector encodeRle(const std::vector<std::uint8_t>& indexes, std::size_t width,
                     std::size_t height, bool rle4);

// A level-like scene: sky over hills of three kinds of land, and 30 single
// pixels for objects standing on them, well apart.
enum class Part : std::uint8_t { Sky, Grass, Soil, Rock, Object };
inline constexpr std::size_t kParts = 5;
Part partAt(std::size_t x, std::size_t y);
// The places of the 30 object pixels, top row first.
std::vector<std::size_t> objectPlaces();

// What a reader must decode each part's pixels to.
using PartColours = std::array<Rgba, kParts>;

// The level bitmap's pixels (bottom row first) for the scene in these
// colours, none of them the level palette's: sky where transparent, or black
// when no part is; magenta single pixels objects; the land colours entries 1
// on in ascending order of red, green, blue.
ByteVector expectedLevel(const PartColours& colours);

// The scene top row first in `value` of each part.
template <typename T>
std::vector<T> drawScene(const std::array<T, kParts>& value) {
    std::vector<T> out(kPixels);
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x)
            out[y * kW + x] = value[static_cast<std::size_t>(partAt(x, y))];
    return out;
}

inline constexpr Rgba kMagenta = {255, 0, 255, 255};

// An RGBA picture top row first, written as an 8-bit RGBA or RGB PNG.
ByteVector rgbaPng(const std::vector<Rgba>& pixels, bool alpha);

// Hills whose edge and inside are shaded smoothly, thousands of colours,
// anti-aliased against a transparent sky or into a black one, with magenta
// single pixels at objectPlaces().
std::vector<Rgba> shadedDrawing(bool transparentSky);

// `pixels` with the land (every opaque pixel but magenta) in three colours,
// a third of the width each, shaded by up to 6 levels a channel: hundreds of
// colours, but close together, in a few cells of the quantizer's histogram.
std::vector<Rgba> shadedFinely(std::vector<Rgba> pixels);

// Magenta of share t over a pixel: mixed into an opaque one, or on a
// transparent one, magenta that opaque.
void paintMagenta(Rgba& p, double t);
// A soft round brush of `diameter` pixels at (cx, cy) in a picture of the
// level's size: magenta in the middle, mixed into what is under it towards
// the edge, or on a transparent sky, magenta that fades out.
void softMarker(std::vector<Rgba>& pixels, std::size_t cx, std::size_t cy, int diameter);

// A round marker of `diameter` pixels whose centre (cx, cy) lies between
// pixels, as a paint program's anti-aliased brush or ellipse draws it: each
// pixel magenta by the share of it that the disc covers.
void antiAliasedMarker(std::vector<Rgba>& pixels, double cx, double cy, double diameter);
// A disc of magenta blurred as ImageMagick's `-blur 0x2` blurs it, then made
// opaque where it was 60 % or more (`-level 0,60%`), as an airbrush leaves
// it: a solid middle and an edge that fades out over some 8 pixels.
void blurredMarker(std::vector<Rgba>& pixels, std::size_t cx, std::size_t cy, double diameter);

}  // namespace testing_support
