#include "landinfo/drawing_report.hpp"

#include <cstdint>
#include <string>
#include <vector>

#include "common/formatted.hpp"
#include "drawing/objects.hpp"
#include "land/land_format.hpp"
#include "landinfo/counted.hpp"
#include "landinfo/level_check_report.hpp"

namespace bmp2land::landinfo {
namespace {

using drawing::Mapping;
using drawing::SkyRule;
using picture::ColourType;

const char* colourTypeName(ColourType type) {
    switch (type) {
        case ColourType::Grey:
            return "greyscale";
        case ColourType::GreyAlpha:
            return "greyscale with alpha";
        case ColourType::Rgb:
            return "RGB";
        case ColourType::Rgba:
            return "RGBA";
        case ColourType::Indexed:
            break;
    }
    return "indexed";
}

// "PNG, 1920 x 696, RGBA, 8 bits a channel"; "BMP, 1920 x 696, indexed, 8
// bits a pixel, 256 colours, RLE8, 40-byte header".
std::string pictureLine(const picture::PictureFacts& p) {
    const bool indexed = p.colourType == ColourType::Indexed;
    std::string text =
        formatted("picture: %s, %u x %u, %s, %u bits a %s", picture::formatName(p.format), p.width,
                  p.height, colourTypeName(p.colourType), unsigned{p.bitDepth},
                  indexed || p.format == PictureFormat::Bmp ? "pixel" : "channel");
    if (indexed)
        text += ", " + counted(p.palette.size(), "colour", "colours");
    if (p.format == PictureFormat::Png) {
        const bool ownAlpha =
            p.colourType == ColourType::Rgba || p.colourType == ColourType::GreyAlpha;
        if (p.alphaChannel && !ownAlpha)
            text += ", with transparency (tRNS)";
        if (p.interlaced)
            text += ", interlaced";
    } else {
        text += ", " + compressionName(p.bmpCompression) +
                formatted(", %u-byte header", p.bmpHeaderSize);
        if (p.topDown)
            text += ", top row first";
    }
    return text + "\n";
}

std::string skyLine(const drawing::DrawingFacts& f) {
    const std::string pixels = counted(f.skyPixels, "pixel", "pixels");
    switch (f.skyRule) {
        case SkyRule::Transparent:
            return "sky: " + pixels +
                   ", those less than half opaque (rule 2: the drawing has transparency, so "
                   "black is land)\n";
        case SkyRule::Black:
            return "sky: " + pixels +
                   ", those of black, 0, 0, 0 (rule 2: no pixel of the drawing is transparent)\n";
        case SkyRule::EntryZero:
            break;
    }
    return "sky: " + pixels +
           ", entry 0 (rule 1: a bitmap that bmp2land converts keeps its entries)\n";
}

std::string objectsLine(const drawing::DrawingFacts& f) {
    if (f.mapping == Mapping::KeptEntries)
        return formatted("objects: %zu, entry 255 (rule 1)\n", f.objects);
    return formatted(
        "objects: %zu, %zu of them from blots (rule 3: each dot or blot of magenta, 255, 0, 255, "
        "is one object)\n",
        f.objects, f.objectsFromBlots);
}

// Markers that a reduced palette moved off magenta still mark objects; the
// level maker learns that they were not magenta itself.
std::string nearMagentaLine(const drawing::DrawingFacts& f) {
    if (f.nearMagentaObjects == 0)
        return {};
    return formatted(
        "near magenta: %zu of the objects marked by %s not of magenta itself but within %d of "
        "255, 0, 255 in each channel, as a reduced palette leaves it; taken as magenta (rule "
        "3)\n",
        f.nearMagentaObjects, counted(f.nearMagentaPixels, "pixel", "pixels").c_str(),
        drawing::kMarkerTolerance);
}

std::string landLine(const drawing::DrawingFacts& f) {
    const std::string drawn = formatted("land colours: %zu in the drawing", f.drawingColours);
    switch (f.mapping) {
        case Mapping::KeptEntries:
            return drawn +
                   formatted(", %zu in the level, at their own entries (rule 1)\n", f.levelColours);
        case Mapping::LevelPalette:
            if (f.unstoredPixels > 0)
                return drawn +
                       ", all of the level palette, each of 1 to 95 at its entry there (rule 4), "
                       "its greys of 96 to 254 at the nearest of those (rule 6)\n";
            return drawn + ", all of the level palette, each at its entry there (rule 4)\n";
        case Mapping::OwnColours:
            return drawn + formatted(
                               ", %zu in the level, each its own entry (rule 5: up to 95 colours "
                               "keep their own)\n",
                               f.levelColours);
        case Mapping::Merged:
            break;
    }
    // Fewer than 95 only where no pixel is nearest the others.
    const std::string unused = f.levelColours < land::kColourCount
                                   ? formatted(" (the other %zu would have had no pixel)",
                                               land::kColourCount - f.levelColours)
                                   : std::string();
    return drawn + formatted(
                       ", merged into %zu level colours%s by %s; the largest change %s in a "
                       "channel, %.2f on average (rule 5: more than 95 colours)\n",
                       f.levelColours, unused.c_str(), std::string(f.method).c_str(),
                       counted(f.largestChange, "level", "levels").c_str(), f.meanChange);
}

// Rule 1 keeps every entry but those of 96 to 254, whose colours the land
// file does not store, and rule 4 every colour of the level palette but its
// greys there: they moved.
std::string movedText(const drawing::DrawingFacts& f) {
    if (f.unstoredPixels == 0)
        return {};
    if (f.mapping == Mapping::LevelPalette)
        return formatted(
            "warning: %s in the level palette's greys, entries 96 to 254, whose colour the land "
            "file does not store, now have the entry of 1 to 95 nearest their colour, a change "
            "of up to %u in a channel (rule 6); draw them in colours 1 to 95 of the palette\n",
            counted(f.unstoredPixels, "pixel", "pixels").c_str(), unsigned{f.largestChange});
    return formatted(
        "warning: %s of entries 96 to 254, land whose colour the land file does not store, now "
        "have the entry of 1 to 95 nearest their colour, a change of up to %u in a channel (rule "
        "6); where they were sky, make them entry 0 in the drawing instead\n",
        counted(f.unstoredPixels, "pixel", "pixels").c_str(), unsigned{f.largestChange});
}

// Spots of mixed magenta that are no object: the places of the first few.
constexpr std::size_t kSpotsListed = 5;

// "x, y; x, y; ... and N more".
std::string placesText(const std::vector<std::size_t>& spots) {
    std::string places;
    for (std::size_t k = 0; k < spots.size() && k < kSpotsListed; ++k)
        places += formatted("%s%zu, %zu", k == 0 ? "" : "; ", spots[k] % land::kWidth,
                            spots[k] / land::kWidth);
    if (spots.size() > kSpotsListed)
        places += formatted("; and %zu more", spots.size() - kSpotsListed);
    return places;
}

std::string spotsText(const drawing::DrawingFacts& f) {
    std::string text;
    const std::vector<std::size_t>& spots = f.magentaSpots;
    if (!spots.empty()) {
        const bool one = spots.size() == 1;
        text += formatted(
            "warning: %s of magenta mixed into the land or sky %s no pixel of magenta itself, "
            "255, 0, 255, at least half opaque, so %s no object and %s as %s (at %s, x and y "
            "from the top-left corner); paint each object with a hard brush, or with at least "
            "one pixel of pure magenta in its middle (rule 3)\n",
            counted(spots.size(), "spot", "spots").c_str(), one ? "holds" : "hold",
            one ? "it is" : "they are", one ? "stays" : "stay", one ? "it is" : "they are",
            placesText(spots).c_str());
    }
    const std::vector<std::size_t>& left = f.markerLeftovers;
    if (!left.empty()) {
        const bool one = left.size() == 1;
        text += formatted(
            "warning: %s of magenta mixed into the land or sky beside objects %s as land (at "
            "%s, x and y from the top-left corner): a marker wider or softer than can be taken "
            "apart from the land (a wide airbrush, a strong blur, a JPEG's edges), or a dot "
            "with no pure magenta meant as one more object; repaint %s, or mark each object "
            "with a hard brush, with at least one pixel of pure magenta in its middle (rule 3)\n",
            counted(left.size(), "spot", "spots").c_str(), one ? "stays" : "stay",
            placesText(left).c_str(), one ? "it" : "them");
    }
    return text;
}

std::string objectCountHint(const drawing::DrawingFacts& f, const char* out, Wording wording) {
    if (f.objects == land::kObjectCount)
        return {};
    const std::string found = formatted("hint: %zu found, and a level needs exactly %u", f.objects,
                                        static_cast<unsigned>(land::kObjectCount));
    const char* const objectIs =
        "each object is one dot or blot of magenta, 255, 0, 255, apart from the others";
    if (wording == Wording::Page)
        return found + formatted(
                           " (rule 7: the level is made all the same); %s: the preview rings "
                           "and numbers those found; fix the drawing and drop it here again, or "
                           "save level.bmp and give the objects entry 255 in it\n",
                           objectIs);
    if (out == nullptr)
        return found + formatted(
                           " (rule 7: the level is made all the same); %s: the preview rings "
                           "and numbers those found; fix the drawing\n",
                           objectIs);
    return found + formatted(
                       " (rule 7: the level is written all the same); %s: fix the drawing and "
                       "make the level again (delete %s first: landinfo never writes over a "
                       "file), or give the objects entry 255 in %s (\"landinfo %s\" lists "
                       "them)\n",
                       objectIs, out, out, out);
}

// A level without sky converts without a word: all of it is land. A white
// background, the commonest cause, is land as much as any colour.
std::string noSkyText(const drawing::DrawingFacts& f, Wording wording) {
    if (f.skyPixels > 0)
        return {};
    const char* const again = wording == Wording::Page
                                  ? "drop the drawing here again"
                                  : "make the level again (landinfo never writes over a file: "
                                    "delete the old one first)";
    if (f.skyRule == SkyRule::EntryZero)
        return formatted(
            "warning: the level has no sky: no pixel is entry 0, the sky, and a bitmap that "
            "bmp2land converts keeps its entries (rule 1); paint the sky with entry 0, then %s\n",
            again);
    return formatted(
        "warning: the level has no sky: sky is the drawing's transparent pixels, or pure black "
        "(0, 0, 0) where none is transparent (rule 2), and this drawing has neither, so all of "
        "it is land (a white or coloured background too); make the sky transparent or paint it "
        "pure black, then %s\n",
        again);
}

std::string truncatedText(const picture::PictureFailure& failure) {
    if (failure.bitmap)
        return formatted("is cut short: the file ends in its %s; save or copy the picture again",
                         partName(failure.bitmap->part));
    return "is cut short; save or copy the picture again";
}

std::string wrongSizeText(const picture::PictureFailure& failure) {
    const std::string advice = formatted(
        "crop it or extend its canvas to %u x %u (in GIMP, Image > Canvas Size), but don't scale "
        "it: scaling blends the colours along every edge",
        land::kWidth, land::kHeight);
    if (!failure.facts)
        return formatted("is not %u x %u; ", land::kWidth, land::kHeight) + advice;
    return formatted("is %u x %u; ", failure.facts->width, failure.facts->height) + advice;
}

std::string unsupportedText(const picture::PictureFailure& failure) {
    const char* what = "a header this reader does not know";
    if (failure.bitmap && failure.bitmap->kind == bitmap::DecodeError::UnsupportedBitCount)
        what = "a bit count that bitmaps don't have";
    else if (failure.bitmap && failure.bitmap->kind == bitmap::DecodeError::UnsupportedCompression)
        what =
            "a compression that landinfo doesn't read (JPEG or PNG inside, or one the bit "
            "count can't have)";
    return formatted("is a BMP with %s; save it again as a PNG, or as a BMP of 24 bits", what);
}

}  // namespace

std::string drawingText(const drawing::Level& level) {
    return pictureLine(level.picture) + levelFactsText(level);
}

std::string levelFactsText(const drawing::Level& level) {
    const drawing::DrawingFacts& f = level.facts;
    return skyLine(f) + objectsLine(f) + nearMagentaLine(f) + landLine(f) +
           formatted("land pixels: %zu of %u\n", f.landPixels, land::kPixelCount);
}

std::string drawingVerdictText(const drawing::Level& level, const LevelCheck& check,
                               const char* out, Wording wording) {
    // A level bitmap is always read whole: bmp2land's verdict on it never
    // names the file.
    return verdictText(check, out == nullptr ? "" : out) +
           objectCountHint(level.facts, out, wording) + drawingWarningsText(level, wording);
}

std::string drawingWarningsText(const drawing::Level& level, Wording wording) {
    return spotsText(level.facts) + noSkyText(level.facts, wording) + movedText(level.facts);
}

std::string pictureFailureText(const picture::PictureFailure& failure, PictureFormat format) {
    using picture::PictureError;
    switch (failure.kind) {
        case PictureError::WrongSize:
            return wrongSizeText(failure);
        case PictureError::PngNotBuilt:
            return "is a PNG picture, but this landinfo was built without PNG support "
                   "(stb_image.h, Debian: libstb-dev); save it as a BMP, or build landinfo with "
                   "it";
        case PictureError::Truncated:
            return truncatedText(failure);
        case PictureError::Corrupt:
            return failure.reason.empty() ? std::string("is damaged; save it again")
                                          : "is damaged (" + failure.reason + "); save it again";
        case PictureError::Unsupported:
            return unsupportedText(failure);
        case PictureError::NotAPicture:
            break;
    }
    if (format != PictureFormat::Other && format != PictureFormat::Bmp &&
        format != PictureFormat::Png)
        return formatted("is a %s picture, which landinfo does not read; save it as PNG or BMP",
                         picture::formatName(format));
    return "is not a picture landinfo reads: save it as PNG or BMP";
}

}  // namespace bmp2land::landinfo
