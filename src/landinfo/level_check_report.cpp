#include "landinfo/level_check_report.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/messages.hpp"
#include "bitmap/bitmap_decoder.hpp"
#include "common/formatted.hpp"
#include "landinfo/counted.hpp"
#include "landinfo/drawing_report.hpp"
#include "landinfo/uncoloured_land_report.hpp"

namespace bmp2land::landinfo {

std::string compressionName(std::uint32_t compression) {
    switch (compression) {
        case bitmap::kBiRgb:
            return "uncompressed";
        case bitmap::kBiRle8:
            return "RLE8";
        case bitmap::kBiRle4:
            return "RLE4";
        case bitmap::kBiBitFields:
            return "bit fields";
        case bitmap::kBiAlphaBitFields:
            return "bit fields with alpha";
        default:
            return "compression " + std::to_string(compression);
    }
}

const char* partName(bitmap::BitmapPart part) {
    switch (part) {
        case bitmap::BitmapPart::Headers:
            return "headers";
        case bitmap::BitmapPart::Palette:
            return "palette";
        case bitmap::BitmapPart::Pixels:
            return "pixels";
        case bitmap::BitmapPart::Rle8Data:
            return "RLE8 data";
    }
    return "data";
}

std::string verdictText(const LevelCheck& check, const char* path) {
    if (check.converts()) {
        return "verdict: converts\n";
    }
    return "verdict: " + formatted(check.readFailure
                                       ? app::messages::readFailure(check.readFailure->kind)
                                       : app::messages::conversionFailure(*check.conversionFailure),
                                   path);
}

std::string levelNameBeside(std::string_view picture) {
    const std::size_t slash = picture.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? picture : picture.substr(slash + 1);
    return name == "level.bmp" ? "new-level.bmp" : "level.bmp";
}

namespace {

std::string bitmapFactsText(const BitmapFacts& b) {
    return formatted("bitmap: %d x %d, %u bits, %s, %u-byte header, %s\n", b.width, b.height,
                     unsigned{b.bitCount}, compressionName(b.compression).c_str(), b.headerSize,
                     counted(b.paletteEntries, "colour", "colours").c_str());
}

// "entry 5", "entries 5 to 95".
std::string entriesText(std::size_t first, std::size_t last) {
    return first == last ? formatted("entry %zu", first)
                         : formatted("entries %zu to %zu", first, last);
}

// Of entries 1 to 95, whose colours the land file takes, those the file
// stores; the reader makes the others black.
std::string coloursText(std::size_t stored) {
    std::string text = formatted("colours: %zu stored", stored);
    if (stored > 0)
        text += " (" + entriesText(1, stored) + ")";
    if (stored < land::kColourCount)
        text += "; " + entriesText(stored + 1, land::kColourCount) +
                (stored + 1 == land::kColourCount ? " becomes" : " become") + " black";
    return text + "\n";
}

std::string pictureFactsText(const PictureFacts& p) {
    std::string text;
    text += formatted("objects: %zu\n", p.objects);
    for (std::size_t k = 0; k < p.listed.size(); ++k)
        text += formatted("object %zu: %u, %u\n", k + 1, p.listed[k].x, p.listed[k].y);
    if (p.objects > p.listed.size())
        text += formatted("objects after the first %zu are not listed\n", p.listed.size());
    text += coloursText(p.storedColours);
    text += formatted("land pixels: %zu of %u\n", p.landPixels, land::kPixelCount);
    text += formatted("colours 96 to 254: %zu pixels\n", p.uncoloured.pixels);
    return text;
}

// Past the read cap what the bitmap needs lies beyond what is read, and
// saving it anew, not copying it, gives a bitmap that fits.
std::string tooLargeText(const Hint& h) {
    return formatted(
        "hint: the file has %llu bytes, but only the first %llu are read, and they end in its "
        "%s; save it again as an 8-bit BMP\n",
        static_cast<unsigned long long>(h.fileSize), static_cast<unsigned long long>(h.readSize),
        partName(h.failure.part));
}

std::string truncatedText(const Hint& h) {
    return formatted(
        "hint: the file ends in its %s: it has only %s; save or copy the bitmap again\n",
        partName(h.failure.part), counted(h.fileSize, "byte", "bytes").c_str());
}

// How GIMP gives a picture the level palette in its order.
constexpr const char* kIndexInGimp =
    "Image > Mode > RGB, then Image > Mode > Indexed with the custom palette \"bmp2land "
    "level\" and \"Remove unused and duplicate colors from colormap\" off";

// Markers moved with the rest of the palette: the land's colours are not at
// their entries either, so moving the markers back alone would not do.
std::string markerColourText(const Hint& h) {
    const std::string entry =
        h.colourOfEntry255
            ? formatted("hint: entry %u has the colour of entry 255 (%u, %u, %u),", h.entry,
                        h.colour.red, h.colour.green, h.colour.blue)
            : formatted("hint: entry %u has magenta, the object colour (%u, %u, %u),", h.entry,
                        h.colour.red, h.colour.green, h.colour.blue);
    return entry +
           formatted(
               " and is used by %s, but objects must be entry 255: the paint program renumbered "
               "the palette (in GIMP, \"Remove unused and duplicate colors from colormap\", or a "
               "generated palette), and the land colours moved too; re-index the picture with "
               "the level palette (in GIMP, %s) to put every colour back at its entry\n",
               counted(h.pixels, "pixel", "pixels").c_str(), kIndexInGimp);
}

// The way from a picture to a level: "landinfo PICTURE level.bmp", then
// "bmp2land level.bmp", never naming the picture itself as the new file. The
// page makes the level of what is dropped on it.
std::string makeLevelWay(const char* path, Wording wording) {
    if (wording == Wording::Page)
        return "drop it here, and this page makes a level bitmap of it by its colours";
    const std::string out = levelNameBeside(path);
    return "\"landinfo " + std::string(path) + " " + out +
           "\" makes a level bitmap of it by its colours (docs/drawings.md), and \"bmp2land " +
           out + "\" converts that";
}

// Where the level can't be made of the picture, what to fix first; the way
// to the level follows only where fixing that is in the user's hands.
std::string drawingWay(const Hint& h, const char* path, Wording wording) {
    if (!h.noLevel)
        return makeLevelWay(path, wording);
    std::string why = "it " + pictureFailureText(*h.noLevel, h.format);
    using picture::PictureError;
    switch (h.noLevel->kind) {
        case PictureError::WrongSize:
        case PictureError::Truncated:
        case PictureError::Corrupt:
            return why + "; then " + makeLevelWay(path, wording);
        default:
            return why;
    }
}

// Entry 255 is far too big for markers: the palette was renumbered, and the
// level made by colour puts the sky and land back where they belong, when
// the sky is black and the objects magenta.
std::string renumberedText(const Hint& h, const char* path, Wording wording) {
    std::string text = formatted(
        "hint: entry 255, the objects' entry, has %s (colour %u, %u, %u; the largest area %s): "
        "far too many for objects, each one dot of it; the palette looks renumbered: the paint "
        "program (in GIMP, \"Remove unused and duplicate colors from colormap\", or a generated "
        "palette) put the sky or a land colour on entry 255, the object entry, and moved the "
        "other colours too; ",
        counted(h.pixels, "pixel", "pixels").c_str(), h.colour.red, h.colour.green, h.colour.blue,
        counted(h.largestArea, "pixel", "pixels").c_str());
    const std::string byColour =
        wording == Wording::Page
            ? "drop the drawing here as the paint program saved it before it was made "
              "indexed, or open this file there and save it as a PNG or a 24-bit BMP, which "
              "keep colours, not entries, and drop that: this page makes the level by colour, "
              "the sky black or transparent, the objects magenta (255, 0, 255)"
            : "\"landinfo " + std::string(path) + " " + levelNameBeside(path) +
                  "\" rebuilds the palette by colour, the sky black, the objects magenta (255, "
                  "0, 255) (docs/drawings.md), and \"bmp2land " +
                  levelNameBeside(path) + "\" converts that";
    if (h.remadeConverts)
        return text + byColour + "\n";
    std::string first;
    if (h.remadeSky == 0)
        first = "by colour, the level would have no sky: first paint the sky black (0, 0, 0)";
    if (h.remadeObjects != land::kObjectCount)
        first += (first.empty() ? "by colour, the level would have " : ", and it would have ") +
                 formatted("%s: mark exactly %u, each one dot of magenta (255, 0, 255)",
                           counted(h.remadeObjects, "object", "objects").c_str(),
                           static_cast<unsigned>(land::kObjectCount));
    return text + first + "; then " + byColour + "\n";
}

// The places of the objects found, where the user can see them.
std::string objectCountText(const Hint& h, Wording wording) {
    return formatted(
        "hint: %zu found, and a level needs exactly %u, each one pixel of entry "
        "255 apart from the others; %s\n",
        h.pixels, static_cast<unsigned>(land::kObjectCount),
        wording == Wording::Page ? "the preview rings and numbers those found"
                                 : "the \"object\" lines above give their places, x and y from the "
                                   "top-left corner");
}

std::string otherFormatText(const Hint& h, Wording wording) {
    return formatted(
               "hint: this is a %s picture, which neither program reads; save the drawing "
               "as PNG or BMP, and ",
               picture::formatName(h.format)) +
           (wording == Wording::Page ? std::string("drop that here")
                                     : std::string("\"landinfo DRAWING level.bmp\" makes a "
                                                   "level bitmap of that")) +
           "\n";
}

std::string hintText(const Hint& h, const char* path, Wording wording) {
    using Kind = Hint::Kind;
    const char* const keepPalette = "save it as an 8-bit BMP with all 256 palette entries";
    switch (h.kind) {
        case Kind::MarkerColourElsewhere:
            return markerColourText(h);
        case Kind::TouchingObjects:
            return formatted(
                "hint: %zu of the object pixels touch another one; each object is one pixel of "
                "entry 255: mark it with a 1-pixel pencil, not a brush\n",
                h.pixels);
        case Kind::RenumberedPalette:
            return renumberedText(h, path, wording);
        case Kind::ObjectCount:
            return objectCountText(h, wording);
        case Kind::CorruptRle8:
            return formatted("hint: RLE8 data is corrupt at byte %llu (stored row %u, column %u)\n",
                             static_cast<unsigned long long>(h.failure.offset), h.failure.row,
                             h.failure.column);
        case Kind::Truncated:
            return truncatedText(h);
        case Kind::TooLarge:
            return tooLargeText(h);
        case Kind::TooFewBits:
            return formatted(
                "hint: this is a %u-bit bitmap; keep all 256 palette entries when saving, because "
                "a %u-bit pixel can't hold entry 255. GIMP writes 4-bit files when \"Remove unused "
                "and "
                "duplicate colors\" is on, and ImageMagick does for drawings of 16 colours or "
                "fewer\n",
                unsigned{h.bitCount}, unsigned{h.bitCount});
        case Kind::NoPalette:
            return formatted(
                "hint: this is a %u-bit bitmap, which has no palette and so no entry 255; %s\n",
                unsigned{h.bitCount}, drawingWay(h, path, wording).c_str());
        case Kind::WrongSize:
            return formatted(
                "hint: the picture is %u x %u; crop it or extend its canvas to %u x %u (in GIMP, "
                "Image > Canvas Size), but don't scale it: scaling blends colours into ones the "
                "palette doesn't have\n",
                h.width, h.height, land::kWidth, land::kHeight);
        case Kind::OtherBitCount:
            return formatted(
                "hint: the bitmap says it has %u bits per pixel, which no bitmap has; %s\n",
                unsigned{h.bitCount}, keepPalette);
        case Kind::NotABmp:
            if (h.format == PictureFormat::Png)
                return formatted("hint: this is a PNG picture, not a BMP; %s\n",
                                 drawingWay(h, path, wording).c_str());
            return otherFormatText(h, wording);
    }
    return {};
}

// A level bitmap whose every pixel is land: bmp2land converts it without a
// word, but the level has no sky. A renumbered palette has its own hint.
std::string noSkyText(const LevelCheck& check) {
    const bool renumbered = std::any_of(check.hints.begin(), check.hints.end(), [](const Hint& h) {
        return h.kind == Hint::Kind::RenumberedPalette;
    });
    if (!check.picture || check.picture->skyPixels > 0 || renumbered)
        return {};
    return "warning: the level has no sky: no pixel is entry 0, the sky, and bmp2land makes "
           "every other entry land, whatever its colour; paint the sky with entry 0 (black in "
           "the level palette), or where the picture was made indexed with another palette, "
           "give its sky colour entry 0\n";
}

}  // namespace

std::string levelCheckText(const LevelCheck& check, const char* path, const DrawingLines& drawing,
                           Wording wording) {
    std::string text;
    if (check.bitmap)
        text += bitmapFactsText(*check.bitmap);
    if (check.picture)
        text += pictureFactsText(*check.picture);
    text += drawing.facts;
    text += verdictText(check, path);
    for (const Hint& hint : check.hints)
        text += hintText(hint, path, wording);
    text += noSkyText(check);
    text += drawing.warnings;
    if (check.picture)
        text += uncolouredLandText(check.picture->uncoloured);
    return text;
}

}  // namespace bmp2land::landinfo
