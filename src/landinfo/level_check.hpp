#pragma once

// What bmp2land would make of a bitmap, and why: the facts of its headers,
// its objects, colours and land, the verdict of the converter's own reader
// and conversion, and hints on what to do about a refusal.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "common/byte_order.hpp"
#include "land/land_conversion.hpp"
#include "land/land_model.hpp"
#include "land/object_markers.hpp"
#include "landinfo/uncoloured_land.hpp"
#include "picture/picture.hpp"
#include "picture/picture_format.hpp"

namespace bmp2land::landinfo {

using picture::PictureFormat;

inline constexpr std::size_t kListedObjects = 100;
inline constexpr bitmap::RgbQuad kMagenta = {255, 0, 255, 0};

// The headers as the file gives them.
struct BitmapFacts {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 0;
    std::uint64_t paletteEntries = 0;  // those the file holds whole
};

// The picture as the conversion sees it.
struct PictureFacts {
    std::size_t objects = 0;  // pixels of the marker index
    std::vector<land::ObjectPosition>
        listed;                     // the first kListedObjects, in the conversion's order
    std::size_t storedColours = 0;  // of entries 1 to 95, those the file stores; the rest are black
    std::size_t landPixels = 0;     // not 0 once the markers are cleared
    std::size_t skyPixels = 0;      // of entry 0, markers apart: none makes a level without sky
    UncolouredLand uncoloured;      // indexes 96 to 254: kept, their colours not stored
};

struct Hint {
    enum class Kind : std::uint8_t {
        MarkerColourElsewhere,  // pixels of an entry that has entry 255's colour, or magenta
        TouchingObjects,        // object pixels side by side: painted with a brush
        RenumberedPalette,      // far too many object pixels: sky or land moved to entry 255
        ObjectCount,            // not 30 objects, and no other hint says why
        CorruptRle8,
        Truncated,
        TooLarge,       // what the bitmap needs lies past the bytes read of a longer file
        WrongSize,      // not 1920 x 696
        TooFewBits,     // 1 or 4 bits: no entry 255
        NoPalette,      // 16, 24 or 32 bits
        OtherBitCount,  // a bit count no bitmap has
        NotABmp,        // a PNG, JPEG, GIF or TIFF picture
    };
    Kind kind = Kind::MarkerColourElsewhere;
    // MarkerColourElsewhere: the entry, its colour, its pixels, and whether
    // entry 255 has that colour too (else the colour is magenta).
    // RenumberedPalette: entry 255 and its colour.
    std::uint8_t entry = 0;
    bitmap::RgbQuad colour{};
    std::size_t pixels = 0;       // TouchingObjects: the object pixels that touch another
                                  // ObjectCount: the objects found
                                  // RenumberedPalette: the pixels of entry 255
    std::size_t largestArea = 0;  // RenumberedPalette: its largest connected area
    // RenumberedPalette: the level made of the file by colour, and whether
    // it converts, with some sky: only then is making it the whole answer.
    bool remadeConverts = false;
    std::size_t remadeSky = 0;
    std::size_t remadeObjects = 0;
    bool colourOfEntry255 = false;
    bitmap::ReadFailure failure{};  // CorruptRle8, Truncated, TooLarge: where
    std::uint64_t fileSize = 0;     // Truncated, TooLarge: the file's real length
    std::uint64_t readSize = 0;     // TooLarge: the bytes read, fewer
    std::uint16_t bitCount = 0;     // the bit-count hints
    std::uint32_t width = 0;        // WrongSize: the size found
    std::uint32_t height = 0;
    PictureFormat format = PictureFormat::Other;  // NotABmp
    // NotABmp of a PNG, NoPalette: the level made of the picture by colour
    // can't be made either (of the wrong size, say), so that way is not
    // suggested before this is fixed.
    std::optional<picture::PictureFailure> noLevel{};
};

struct LevelCheck {
    PictureFormat format = PictureFormat::Bmp;
    std::optional<BitmapFacts> bitmap;         // when the file is a BMP with whole headers
    std::optional<PictureFacts> picture;       // when the reader took the pixels
    std::optional<bitmap::BitmapImage> image;  // what it took, for a preview
    std::optional<bitmap::ReadFailure> readFailure;
    std::optional<land::ConversionError> conversionFailure;
    std::vector<Hint> hints;

    bool converts() const { return !readFailure && !conversionFailure; }
    // A picture that bmp2land refuses for its kind, a PNG or a BMP without a
    // palette, but that gives a level of its colours: landinfo says what that
    // would be, and previews it.
    bool isDrawing() const {
        return !converts() &&
               (format == PictureFormat::Png || (bitmap && bitmap->bitCount > bitmap::kBitCount));
    }
};

// `fileSize` is the file's real length: more than file.size() when only the
// start of a long file was read.
LevelCheck checkLevel(Bytes file, std::uint64_t fileSize);
inline LevelCheck checkLevel(Bytes file) {
    return checkLevel(file, file.size());
}

// A drawing whose level can't be made by colour (`failure` says why): its
// hints stop suggesting that way until that is fixed.
void noteNoLevel(LevelCheck& check, const picture::PictureFailure& failure);

// checkLevel(file, fileSize).isDrawing(), without the check of a bitmap of 8
// bits or fewer, which is never a drawing.
bool isDrawing(Bytes file, std::uint64_t fileSize);

}  // namespace bmp2land::landinfo
