#include "landinfo/land_summary_report.hpp"

#include <string>
#include <string_view>

#include "common/formatted.hpp"
#include "land/land_format.hpp"
#include "landinfo/counted.hpp"
#include "landinfo/uncoloured_land_report.hpp"

namespace bmp2land::landinfo {
namespace {

// A path from the file, every byte that is not printable ASCII as \xNN: a
// NUL must not cut it short, nor a control byte reach the terminal.
std::string printablePath(std::string_view path) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string printable;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= ' ' && byte <= '~') {
            printable += c;
        } else {
            printable += "\\x";
            printable += kHex[byte >> 4];
            printable += kHex[byte & 0xF];
        }
    }
    return printable;
}

std::string noteText(const RoundTripNote& n) {
    using Kind = RoundTripNote::Kind;
    const unsigned x = n.position.x;
    const unsigned y = n.position.y;
    switch (n.kind) {
        case Kind::MarkerColourInPicture:
            return formatted(
                "note: the picture has colour 255, the objects' colour, in %s (the first at %u, "
                "%u); a converted bitmap takes them as objects\n",
                counted(n.count, "pixel", "pixels").c_str(), x, y);
        case Kind::SharedPosition:
            return formatted(
                "note: %s at the place of an earlier object (the first: object %zu, at %u, %u "
                "like object %zu); a converted bitmap has one object at each place\n",
                counted(n.count, "object is", "objects are").c_str(), n.object, x, y, n.other);
        case Kind::OutOfOrder:
            return formatted(
                "note: the objects are not in the order a converted bitmap lists them, bottom "
                "row first and left to right (object %zu comes before object %zu there)\n",
                n.object, n.other);
        case Kind::PixelUnderObject:
            return formatted(
                "note: the picture is not 0 under %s (the first: object %zu, at %u, %u); a "
                "converted bitmap has 0 there\n",
                counted(n.count, "object", "objects").c_str(), n.object, x, y);
        case Kind::LevelPath:
            return formatted("note: the level path is %s; a converted bitmap gets %s\n",
                             printablePath(n.path).c_str(), std::string(land::kLevelPath).c_str());
        case Kind::WaterPath:
            return formatted("note: the water path is %s; a converted bitmap gets %s\n",
                             printablePath(n.path).c_str(), std::string(land::kWaterPath).c_str());
        case Kind::BlankNotBlank:
            return formatted(
                "note: IMG chunk 4 is not blank; a converted bitmap gets a blank one\n");
        case Kind::MasksDiffer:
            return formatted(
                "note: the masks differ from the picture in %s; a converted bitmap gets masks "
                "made from its picture\n",
                counted(n.count, "pixel", "pixels").c_str());
    }
    return {};
}

// A land file without sky: every pixel is land, but the objects' own.
std::string noSkyText(const LandSummary& summary, const char* path, Wording wording) {
    if (summary.skyPixels > 0)
        return {};
    const std::string fix =
        wording == Wording::Page
            ? std::string(
                  "save level.bmp, paint the sky with entry 0 in it, and drop it here "
                  "again to make land.dat anew")
            : formatted(
                  "paint the sky with entry 0 in the bitmap it was made of (or in its "
                  "export, \"landinfo %s new-level.bmp\"), and convert that again",
                  path);
    return "warning: the level has no sky: no pixel of its picture is 0, the sky, but under the "
           "objects, so all of it is land; " +
           fix + "\n";
}

}  // namespace

std::string landSummaryText(const LandFile& file, const LandSummary& summary, const char* path,
                            Wording wording) {
    const land::LandModel& m = file.model;
    std::string text;
    text += formatted("size: %u x %u\n", m.width, m.height);
    text += formatted("objects: %zu\n", land::kObjectCount);
    for (std::size_t k = 0; k < land::kObjectCount; ++k) {
        text += formatted("object %zu: %u, %u\n", k + 1, m.positions[k].x, m.positions[k].y);
    }
    text += formatted("colours: %zu\n", land::kColourCount);
    text += formatted("land pixels: %zu of %u\n", summary.landPixels, land::kPixelCount);
    if (summary.maskDifferences == 0) {
        text += formatted("mask: matches picture\n");
    } else {
        text +=
            formatted("mask: %s from picture\n",
                      counted(summary.maskDifferences, "pixel differs", "pixels differ").c_str());
    }
    text += formatted("level: %s\n", printablePath(file.levelPath).c_str());
    text += formatted("water: %s\n", printablePath(file.waterPath).c_str());
    text += formatted("round trip: %s\n", summary.roundTripExact ? "exact" : "differs");
    for (const RoundTripNote& note : summary.notes)
        text += noteText(note);
    text += noSkyText(summary, path, wording);
    text += uncolouredLandText(summary.uncoloured);
    return text;
}

}  // namespace bmp2land::landinfo
