#include "drawing/level_palette.hpp"

#include <algorithm>
#include <cmath>

namespace bmp2land::drawing {

namespace {

std::uint8_t byte(int v) {
    return static_cast<std::uint8_t>(v);
}

// A run of colours of one kind, given in CIE L*a*b*: the same hue, each entry
// `step` darker than the one before. Paint programs that map a colour to the
// nearest palette entry (GIMP's conversion to a custom palette among them)
// tell colours apart coarsely in hue but finely in lightness, so colours of
// one kind differ by 2 in L* at least and kinds differ in hue.
struct Kind {
    const char* name;
    int first;
    int count;
    double lightness;
    double step;
    double a;
    double b;
};

constexpr std::array<Kind, 4> kKinds = {{
    {"grass", kFirstGrass, kGrassColours, 72, 4, -45, 45},
    {"soil", kFirstSoil, kSoilColours, 66, 2, 10, 18},
    {"clay", kFirstClay, kClayColours, 68, 2, 20, 28},
    {"rock", kFirstRock, kRockColours, 80, 2, -2, -8},
}};

// sRGB (D65) of a L*a*b* colour, clipped to the gamut.
NamedColour fromLab(double lightness, double a, double b, std::string name) {
    const auto inverse = [](double t) {
        constexpr double kDelta = 6.0 / 29.0;
        return t > kDelta ? t * t * t : 3 * kDelta * kDelta * (t - 4.0 / 29.0);
    };
    const double fy = (lightness + 16) / 116;
    const double x = 0.95047 * inverse(fy + a / 500);
    const double y = inverse(fy);
    const double z = 1.08883 * inverse(fy - b / 200);
    const auto encode = [](double linear) {
        const double v =
            linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
        return static_cast<std::uint8_t>(std::clamp(std::round(v * 255), 0.0, 255.0));
    };
    return {encode(3.2406 * x - 1.5372 * y - 0.4986 * z),
            encode(-0.9689 * x + 1.8758 * y + 0.0415 * z),
            encode(0.0557 * x - 0.2040 * y + 1.0570 * z), std::move(name)};
}

// A colour value right-aligned in three columns, as GIMP writes its palettes.
std::string column(std::uint8_t v) {
    const std::string digits = std::to_string(v);
    return std::string(3 - digits.size(), ' ') + digits;
}

}  // namespace

LevelPalette levelPalette() {
    LevelPalette palette;
    palette[kEmptyIndex] = {0, 0, 0, "empty"};
    for (const Kind& kind : kKinds) {
        for (int i = 0; i < kind.count; ++i)
            palette[static_cast<std::size_t>(kind.first) + static_cast<std::size_t>(i)] =
                fromLab(kind.lightness - kind.step * i, kind.a, kind.b,
                        std::string(kind.name) + " " + std::to_string(i + 1));
    }
    // Each grey's level is its index: no two entries have one colour, which
    // netpbm's colour maps require.
    for (int i = kFirstUnstored; i < kMarkerIndex; ++i)
        palette[std::size_t(i)] = {byte(i), byte(i), byte(i), "not stored"};
    palette[kMarkerIndex] = {255, 0, 255, "object marker"};
    return palette;
}

std::string gimpPalette(const LevelPalette& palette) {
    std::string text = "GIMP Palette\nName: bmp2land level\nColumns: 16\n#\n";
    for (const NamedColour& c : palette) {
        text += column(c.red) + ' ' + column(c.green) + ' ' + column(c.blue) + '\t' + c.name + '\n';
    }
    return text;
}

std::string jascPalette(const LevelPalette& palette) {
    std::string text = "JASC-PAL\r\n0100\r\n" + std::to_string(palette.size()) + "\r\n";
    for (const NamedColour& c : palette) {
        text += std::to_string(c.red) + ' ' + std::to_string(c.green) + ' ' +
                std::to_string(c.blue) + "\r\n";
    }
    return text;
}

}  // namespace bmp2land::drawing
