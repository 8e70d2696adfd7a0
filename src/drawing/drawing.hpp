#pragma once

// Turns a drawing into a level: a bitmap that bmp2land converts, by colour.
// The rules (docs/drawings.md tells them to users):
//   1. A bitmap that bmp2land converts keeps its entries, and so gives the
//      same land.dat; pixels of entries 96 to 254 (land whose colour the land
//      file does not store) take the stored entry nearest in colour.
//   2. Sky is entry 0: transparent pixels (less than half opaque), and black
//      (0, 0, 0) where no pixel is transparent.
//   3. Objects are entry 255: magenta (255, 0, 255) or near it, one object
//      for each connected blot of it (objects.hpp).
//   4. A drawing in the level palette's colours keeps their entries.
//   5. Any other drawing keeps its own colours as entries 1 to 95, merged
//      into 95 (quantizer.hpp) when it has more.
//   6. Entries 96 to 254 are never used.
//   7. The level is made whatever its object count; the facts say it.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "picture/picture.hpp"

namespace bmp2land::drawing {

// How more than 95 colours are merged (quantizer.hpp).
inline constexpr std::string_view kMergeMethod = "Wu's variance cuts refined by k-means";

enum class Mapping : std::uint8_t {
    KeptEntries,   // a bitmap bmp2land converts: its own entries (rule 1)
    LevelPalette,  // every land colour is one of the level palette's (rule 4)
    OwnColours,    // at most 95 land colours, each its own entry (rule 5)
    Merged,        // more than 95, merged into 95 by kMergeMethod (rule 5)
};

enum class SkyRule : std::uint8_t {
    Transparent,  // the picture has transparent pixels: they are the sky
    Black,        // no pixel is transparent: black is the sky
    EntryZero,    // a bitmap bmp2land converts: entry 0 is the sky
};

struct DrawingFacts {
    Mapping mapping = Mapping::OwnColours;
    std::string_view method;  // Merged: the method's name
    SkyRule skyRule = SkyRule::Black;
    std::size_t skyPixels = 0;         // entry 0 in the level
    std::size_t objects = 0;           // entry 255 in the level
    std::size_t objectsFromBlots = 0;  // of those, blots of more than one pixel
    // Objects marked only in a colour near magenta, and their pixels.
    std::size_t nearMagentaObjects = 0;
    std::size_t nearMagentaPixels = 0;
    // Marker-sized spots of magenta mixed into the land or sky, left as
    // land: no object (no marker pixel in them), or a blend that could not be
    // told from land. Each one's most magenta pixel, as offsets top row first.
    std::vector<std::size_t> magentaSpots;
    // The same beside an object, of any size: what a marker too wide or
    // soft to take apart left (a strong blur, a JPEG's edges).
    std::vector<std::size_t> markerLeftovers;
    std::size_t landPixels = 0;      // entries 1 to 95 in the level
    std::size_t drawingColours = 0;  // distinct colours of the land in the drawing
    std::size_t levelColours = 0;    // distinct entries the land uses in the level
    // Over the land pixels, each pixel's largest change in any channel
    // between the drawing and the level: the largest, and the mean.
    std::uint8_t largestChange = 0;
    double meanChange = 0;
    std::size_t unstoredPixels = 0;  // KeptEntries: pixels of entries 96 to 254, given 1 to 95

    // Whether bmp2land converts the level: what it says is "Done!" or, with
    // another object count, "You must have exactly 30 object positions!".
    [[nodiscard]] bool converts() const;
};

struct Level {
    // 1920 x 696, 8 bits, a 40-byte header, 256 entries, pixels at 1078,
    // uncompressed: what bitmap::writeBitmap writes.
    bitmap::BitmapImage image;
    DrawingFacts facts;
    // What the file said of the picture, for the report; without the
    // picture's own indexes, which the level has as entries.
    picture::PictureFacts picture;
};

// `picture` is 1920 x 696, as readPicture gives it (of any other size it
// gives a level all sky). `asConverted` is what bmp2land's own reader made of
// the same file, where it read it (an 8-bit BMP): when that converts, its
// entries are kept.
Level makeLevel(picture::Picture picture, const bitmap::BitmapImage* asConverted = nullptr);

// Reads any picture and makes its level, as landinfo does for a drawing.
Expected<Level, picture::PictureFailure> levelFromFile(Bytes file);

}  // namespace bmp2land::drawing
