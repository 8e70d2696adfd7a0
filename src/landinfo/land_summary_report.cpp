#include "landinfo/land_summary_report.hpp"

#include <cstdio>
#include <string>
#include <string_view>

#include "land/land_format.hpp"
#include "landinfo/counted.hpp"
#include "platform/console_output.hpp"

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

void printNote(const RoundTripNote& n) {
    using Kind = RoundTripNote::Kind;
    const unsigned x = n.position.x;
    const unsigned y = n.position.y;
    switch (n.kind) {
        case Kind::MarkerColourInPicture:
            platform::printOutFormatted(
                "note: the picture has colour 255, the objects' colour, in %s (the first at %u, "
                "%u); a converted bitmap takes them as objects\n",
                counted(n.count, "pixel", "pixels").c_str(), x, y);
            break;
        case Kind::SharedPosition:
            platform::printOutFormatted(
                "note: %s at the place of an earlier object (the first: object %zu, at %u, %u "
                "like object %zu); a converted bitmap has one object at each place\n",
                counted(n.count, "object is", "objects are").c_str(), n.object, x, y, n.other);
            break;
        case Kind::OutOfOrder:
            platform::printOutFormatted(
                "note: the objects are not in the order a converted bitmap lists them, bottom "
                "row first and left to right (object %zu comes before object %zu there)\n",
                n.object, n.other);
            break;
        case Kind::PixelUnderObject:
            platform::printOutFormatted(
                "note: the picture is not 0 under %s (the first: object %zu, at %u, %u); a "
                "converted bitmap has 0 there\n",
                counted(n.count, "object", "objects").c_str(), n.object, x, y);
            break;
        case Kind::LevelPath:
            platform::printOutFormatted("note: the level path is %s; a converted bitmap gets %s\n",
                                        printablePath(n.path).c_str(),
                                        std::string(land::kLevelPath).c_str());
            break;
        case Kind::WaterPath:
            platform::printOutFormatted("note: the water path is %s; a converted bitmap gets %s\n",
                                        printablePath(n.path).c_str(),
                                        std::string(land::kWaterPath).c_str());
            break;
        case Kind::BlankNotBlank:
            platform::printOutFormatted(
                "note: IMG chunk 4 is not blank; a converted bitmap gets a blank one\n");
            break;
        case Kind::MasksDiffer:
            platform::printOutFormatted(
                "note: the masks differ from the picture in %s; a converted bitmap gets masks "
                "made from its picture\n",
                counted(n.count, "pixel", "pixels").c_str());
            break;
    }
}

}  // namespace

void printLandSummary(const LandFile& file, const LandSummary& summary) {
    const land::LandModel& m = file.model;
    platform::printOutFormatted("size: %u x %u\n", m.width, m.height);
    platform::printOutFormatted("objects: %zu\n", land::kObjectCount);
    for (std::size_t k = 0; k < land::kObjectCount; ++k) {
        platform::printOutFormatted("object %zu: %u, %u\n", k + 1, m.positions[k].x,
                                    m.positions[k].y);
    }
    platform::printOutFormatted("colours: %zu\n", land::kColourCount);
    platform::printOutFormatted("land pixels: %zu of %u\n", summary.landPixels, land::kPixelCount);
    if (summary.maskDifferences == 0) {
        platform::printOutFormatted("mask: matches picture\n");
    } else {
        platform::printOutFormatted("mask: %zu pixels differ from picture\n",
                                    summary.maskDifferences);
    }
    platform::printOutFormatted("level: %s\n", printablePath(file.levelPath).c_str());
    platform::printOutFormatted("water: %s\n", printablePath(file.waterPath).c_str());
    platform::printOutFormatted("round trip: %s\n", summary.roundTripExact ? "exact" : "differs");
    for (const RoundTripNote& note : summary.notes)
        printNote(note);
}

}  // namespace bmp2land::landinfo
