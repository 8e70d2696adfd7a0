#include "test_pictures.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

#include "png_assembler.hpp"

namespace testing_support {
namespace {

// Adam7: where each pass starts and how far apart its pixels are.
struct Pass {
    std::size_t x0, y0, dx, dy;
};
constexpr std::array<Pass, 7> kAdam7 = {{{0, 0, 8, 8},
                                         {4, 0, 8, 8},
                                         {0, 4, 4, 8},
                                         {2, 0, 4, 4},
                                         {0, 2, 2, 4},
                                         {1, 0, 2, 2},
                                         {0, 1, 1, 2}}};

// Packs samples of `depth` bits, most significant first, big-endian at 16.
class BitWriter {
  public:
    explicit BitWriter(ByteVector& out) : out_(out) {}
    void put(std::uint32_t value, unsigned depth) {
        if (depth == 16) {
            out_.push_back(static_cast<std::uint8_t>(value >> 8));
            out_.push_back(static_cast<std::uint8_t>(value));
            return;
        }
        for (unsigned bit = depth; bit-- > 0;) {
            if (used_ == 0)
                out_.push_back(0);
            if ((value >> bit) & 1U)
                out_.back() |= static_cast<std::uint8_t>(0x80U >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void endRow() { used_ = 0; }

  private:
    ByteVector& out_;
    unsigned used_ = 0;
};

}  // namespace

std::size_t channelsOf(std::uint8_t colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

ByteVector encodePng(const PngKind& kind, const std::vector<std::uint16_t>& samples) {
    const std::size_t channels = channelsOf(kind.colourType);
    const std::vector<Pass> passes = kind.interlaced
                                         ? std::vector<Pass>(kAdam7.begin(), kAdam7.end())
                                         : std::vector<Pass>{{0, 0, 1, 1}};
    ByteVector scanlines;
    for (const Pass& pass : passes) {
        if (pass.x0 >= kind.width || pass.y0 >= kind.height)
            continue;  // an empty pass has no rows at all
        for (std::size_t y = pass.y0; y < kind.height; y += pass.dy) {
            scanlines.push_back(0);  // filter: none
            BitWriter bits(scanlines);
            for (std::size_t x = pass.x0; x < kind.width; x += pass.dx)
                for (std::size_t c = 0; c < channels; ++c)
                    bits.put(samples[(y * kind.width + x) * channels + c], kind.bitDepth);
            bits.endRow();
        }
    }
    return assemblePng(
        {kind.width, kind.height, kind.bitDepth, kind.colourType, kind.interlaced, kind.compressed},
        kind.plte, kind.trns, scanlines);
}

ByteVector packBmpRows(const std::vector<std::uint32_t>& values, std::size_t width,
                       std::size_t height, unsigned bitCount) {
    ByteVector out;
    for (std::size_t stored = 0; stored < height; ++stored) {
        const std::size_t y = height - 1 - stored;
        const std::size_t start = out.size();
        if (bitCount < 8) {
            BitWriter bits(out);
            for (std::size_t x = 0; x < width; ++x)
                bits.put(values[y * width + x], bitCount);
        } else {
            for (std::size_t x = 0; x < width; ++x)
                for (unsigned byte = 0; byte < bitCount / 8; ++byte)
                    out.push_back(static_cast<std::uint8_t>(values[y * width + x] >> (8 * byte)));
        }
        while ((out.size() - start) % 4 != 0)
            out.push_back(0);
    }
    return out;
}

ByteVector rgbBmp(const std::vector<Rgba>& pixels) {
    std::vector<std::uint32_t> values;
    values.reserve(pixels.size());
    for (const Rgba& p : pixels)
        values.push_back(std::uint32_t{p.red} << 16 | std::uint32_t{p.green} << 8 | p.blue);
    BmpOptions o;
    o.bitCount = 24;
    o.storedColours = 0;
    return makeBmp(o, {}, packBmpRows(values, kW, kH, 24));
}

ByteVector encodeRle(const std::vector<std::uint8_t>& indexes, std::size_t width,
                     std::size_t height, bool rle4) {
    ByteVector out;
    for (std::size_t stored = 0; stored < height; ++stored) {
        const std::uint8_t* row = &indexes[(height - 1 - stored) * width];
        // The first 5 pixels as a literal, padded to an even length.
        const std::size_t literal = std::min<std::size_t>(width, 5);
        out.insert(out.end(), {0, static_cast<std::uint8_t>(literal)});
        const std::size_t start = out.size();
        for (std::size_t x = 0; x < literal; ++x) {
            if (!rle4)
                out.push_back(row[x]);
            else if (x % 2 == 0)
                out.push_back(static_cast<std::uint8_t>(row[x] << 4));
            else
                out.back() = static_cast<std::uint8_t>(out.back() | row[x]);
        }
        if ((out.size() - start) % 2 != 0)
            out.push_back(0);
        for (std::size_t x = literal; x < width;) {
            std::size_t n = 1;
            while (x + n < width && n < 255 && row[x + n] == row[x])
                ++n;
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(rle4 ? static_cast<std::uint8_t>(row[x] << 4 | row[x]) : row[x]);
            x += n;
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

namespace {

std::size_t surface(std::size_t x) {
    return 330 + static_cast<std::size_t>(60 * std::sin(double(x) / 150.0) + 60);
}

}  // namespace

std::vector<std::size_t> objectPlaces() {
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < 30; ++i) {
        const std::size_t x = 40 + i * 62;
        places.push_back((surface(x) - 3) * kW + x);
    }
    std::sort(places.begin(), places.end());
    return places;
}

Part partAt(std::size_t x, std::size_t y) {
    static const std::vector<std::size_t> objects = objectPlaces();
    if (std::binary_search(objects.begin(), objects.end(), y * kW + x))
        return Part::Object;
    const std::size_t top = surface(x);
    if (y < top)
        return Part::Sky;
    if (x < 4)  // a striped edge, so that packed pixels differ from their neighbours
        return x % 2 == 0 ? Part::Grass : Part::Rock;
    if (y < top + 8)
        return Part::Grass;
    return y < top + 100 ? Part::Soil : Part::Rock;
}

ByteVector expectedLevel(const PartColours& colours) {
    const bool transparent =
        std::any_of(colours.begin(), colours.end(), [](const Rgba& c) { return c.alpha < 128; });
    const auto isSky = [&](const Rgba& c) {
        return c.alpha < 128 || (!transparent && c.red == 0 && c.green == 0 && c.blue == 0);
    };
    const auto isObject = [](const Rgba& c) {
        return c.red == 255 && c.green == 0 && c.blue == 255 && c.alpha >= 128;
    };
    std::map<std::uint32_t, std::uint8_t> entries;  // land colours in ascending order
    for (const Rgba& c : colours)
        if (!isSky(c) && !isObject(c))
            entries[std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue] = 0;
    std::uint8_t next = 1;
    for (auto& [colour, entry] : entries)
        entry = next++;
    std::array<std::uint8_t, kParts> entryOf{};
    for (std::size_t p = 0; p < kParts; ++p) {
        const Rgba& c = colours[p];
        entryOf[p] =
            isSky(c) ? 0
            : isObject(c)
                ? 255
                : entries.at(std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue);
    }
    const ByteVector topDown = drawScene(entryOf);
    ByteVector level;
    for (std::size_t stored = 0; stored < kH; ++stored)
        level.insert(level.end(), topDown.begin() + std::ptrdiff_t((kH - 1 - stored) * kW),
                     topDown.begin() + std::ptrdiff_t((kH - stored) * kW));
    return level;
}

// An RGBA picture top row first, written as an 8-bit RGBA or RGB PNG.
ByteVector rgbaPng(const std::vector<Rgba>& pixels, bool alpha) {
    PngKind kind;
    kind.colourType = alpha ? 6 : 2;
    std::vector<std::uint16_t> samples;
    samples.reserve(pixels.size() * 4);
    for (const Rgba& p : pixels) {
        samples.insert(samples.end(), {p.red, p.green, p.blue});
        if (alpha)
            samples.push_back(p.alpha);
    }
    return encodePng(kind, samples);
}

// Hills whose edge and inside are shaded smoothly: thousands of colours.
std::vector<Rgba> shadedDrawing(bool transparentSky) {
    std::vector<Rgba> pixels(kPixels);
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            const double top = 350 + 80 * std::sin(double(x) / 170.0);
            const double inside = double(y) - top;  // anti-aliased over one pixel
            const double cover = std::clamp(inside + 0.5, 0.0, 1.0);
            const auto shade = [&](double base, double depth) {
                return static_cast<std::uint8_t>(std::clamp(
                    base + depth * inside / 3 + 30 * std::sin(double(x) / 40), 0.0, 255.0));
            };
            Rgba land{shade(60, 0.3), shade(170, -0.4), shade(40, 0.2), 255};
            if (transparentSky) {
                land.alpha = static_cast<std::uint8_t>(std::lround(cover * 255));
            } else {
                land.red = static_cast<std::uint8_t>(land.red * cover);
                land.green = static_cast<std::uint8_t>(land.green * cover);
                land.blue = static_cast<std::uint8_t>(land.blue * cover);
            }
            pixels[y * kW + x] = land;
        }
    for (const std::size_t at : objectPlaces())
        pixels[at] = kMagenta;
    return pixels;
}

// A soft round brush of `diameter` pixels at (cx, cy): magenta in the
// middle, mixed into what is under it towards the edge, or on a transparent
// sky, magenta that fades out.
void paintMagenta(Rgba& p, double t) {
    if (p.alpha == 0) {
        p = Rgba{255, 0, 255, static_cast<std::uint8_t>(std::lround(t * 255))};
        return;
    }
    const auto mix = [t](std::uint8_t m, std::uint8_t under) {
        return static_cast<std::uint8_t>(std::lround(t * m + (1 - t) * under));
    };
    p = Rgba{mix(255, p.red), mix(0, p.green), mix(255, p.blue), 255};
}

void softMarker(std::vector<Rgba>& pixels, std::size_t cx, std::size_t cy, int diameter) {
    const double radius = diameter / 2.0;
    const int reach = diameter / 2;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double share =
                std::clamp(1.0 - std::hypot(dx, dy) / radius, 0.0, 1.0) * 1.6;  // flat top
            if (share > 0)
                paintMagenta(pixels[(cy + std::size_t(dy)) * kW + cx + std::size_t(dx)],
                             std::min(share, 1.0));
        }
}

void antiAliasedMarker(std::vector<Rgba>& pixels, double cx, double cy, double diameter) {
    constexpr int kSamples = 8;  // a side, within each pixel
    const double radius = diameter / 2;
    for (auto y = static_cast<std::size_t>(std::floor(cy - radius));
         y <= static_cast<std::size_t>(std::ceil(cy + radius)); ++y)
        for (auto x = static_cast<std::size_t>(std::floor(cx - radius));
             x <= static_cast<std::size_t>(std::ceil(cx + radius)); ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = double(x) - 0.5 + (sx + 0.5) / kSamples;
                    const double py = double(y) - 0.5 + (sy + 0.5) / kSamples;
                    inside += std::hypot(px - cx, py - cy) <= radius ? 1 : 0;
                }
            if (inside > 0)
                paintMagenta(pixels[y * kW + x], double(inside) / (kSamples * kSamples));
        }
}

std::vector<Rgba> shadedFinely(std::vector<Rgba> pixels) {
    const std::array<Rgba, 3> bases = {
        {{60, 170, 50, 255}, {140, 100, 70, 255}, {90, 90, 96, 255}}};
    for (std::size_t y = 0; y < kH; ++y)
        for (std::size_t x = 0; x < kW; ++x) {
            Rgba& p = pixels[y * kW + x];
            if (p.alpha < 128 || p == kMagenta)
                continue;
            const Rgba& base = bases[x * 3 / kW];
            const auto shade = [&](std::uint8_t v, std::size_t k) {
                return static_cast<std::uint8_t>(v + (x * (k + 2) + y * (2 * k + 3)) % 7);
            };
            p = Rgba{shade(base.red, 0), shade(base.green, 1), shade(base.blue, 2), 255};
        }
    return pixels;
}

void blurredMarker(std::vector<Rgba>& pixels, std::size_t cx, std::size_t cy, double diameter) {
    constexpr double kSigma = 2;
    constexpr double kSolid = 0.6;
    constexpr int kReach = 13;
    const double radius = diameter / 2;
    for (int dy = -kReach; dy <= kReach; ++dy)
        for (int dx = -kReach; dx <= kReach; ++dx) {
            const double edge = std::hypot(dx, dy) - radius;
            const double covered = 0.5 * std::erfc(edge / (kSigma * std::sqrt(2.0)));
            const double share = std::min(covered / kSolid, 1.0);
            if (share * 255 >= 0.5)
                paintMagenta(pixels[(cy + std::size_t(dy)) * kW + cx + std::size_t(dx)], share);
        }
}

}  // namespace testing_support
