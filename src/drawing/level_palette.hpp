#pragma once

// The palette a level is drawn in, with a name for every entry: 0 is empty,
// 1 to 95 are the example level's colours (the ones a land file stores), 96
// to 254 are greys the land file drops, and 255 marks an object. The starter
// files of examples/ are made from it, and a drawing in its colours keeps
// their entries.

#include <array>
#include <cstdint>
#include <string>

namespace bmp2land::drawing {

struct NamedColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::string name;
};

using LevelPalette = std::array<NamedColour, 256>;

inline constexpr std::uint8_t kEmptyIndex = 0;
inline constexpr std::uint8_t kMarkerIndex = 255;

// The example's colours by kind, each kind lighter to darker, as the ground
// goes down: grass 1-8, soil 9-34, clay 35-60, rock 61-95.
inline constexpr int kGrassColours = 8;
inline constexpr int kSoilColours = 26;
inline constexpr int kClayColours = 26;
inline constexpr int kRockColours = 35;
inline constexpr int kFirstGrass = 1;
inline constexpr int kFirstSoil = kFirstGrass + kGrassColours;
inline constexpr int kFirstClay = kFirstSoil + kSoilColours;
inline constexpr int kFirstRock = kFirstClay + kClayColours;
inline constexpr int kFirstUnstored = kFirstRock + kRockColours;  // 96

LevelPalette levelPalette();

// The palette as a GIMP palette file (.gpl), one entry a line in index order.
std::string gimpPalette(const LevelPalette& palette);

// The palette as a JASC palette file (.pal: Paint Shop Pro's, read by
// Aseprite and others on Windows), with Windows line ends.
std::string jascPalette(const LevelPalette& palette);

}  // namespace bmp2land::drawing
