#pragma once

// What landinfo tells about a good land file beyond its records: how much
// land it holds, whether its masks match its picture, and whether the bitmap
// it exports converts back to the very same file, and if not, why.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_order.hpp"
#include "land/land_model.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/uncoloured_land.hpp"

namespace bmp2land::landinfo {

// One reason why converting the exported bitmap gives a different file. Each
// kind is noted once; the first case found stands for the others.
struct RoundTripNote {
    enum class Kind : std::uint8_t {
        MarkerColourInPicture,  // picture pixels of 255 away from the objects: more objects
        SharedPosition,         // an object where an earlier one is: fewer objects
        OutOfOrder,             // objects not bottom row first, left to right
        PixelUnderObject,       // a non-zero pixel at an object position: it comes back 0
        LevelPath,              // not the path a converted bitmap gets
        WaterPath,
        BlankNotBlank,  // the fourth chunk is not all 0
        MasksDiffer,    // the masks are not the picture's own
    };
    Kind kind = Kind::MarkerColourInPicture;
    std::size_t count = 0;   // pixels or objects concerned
    std::size_t object = 0;  // the first object concerned, counted from 1
    // SharedPosition: the earlier object; OutOfOrder: the last one before it
    // that is not at an earlier one's place
    std::size_t other = 0;
    land::ObjectPosition position{};
    std::string path;  // LevelPath, WaterPath: the file's own
};

struct LandSummary {
    std::size_t landPixels = 0;       // bits set in the first mask
    std::size_t skyPixels = 0;        // picture pixels of 0 but at the objects' places
    std::size_t maskDifferences = 0;  // pixels where either mask disagrees with the picture
    bool roundTripExact = false;      // converting the export gives back the file's bytes
    std::vector<RoundTripNote> notes;
    UncolouredLand uncoloured;  // picture pixels of indexes 96 to 254
};

// `original` is the file `file` was read from.
LandSummary summarize(const LandFile& file, Bytes original);

}  // namespace bmp2land::landinfo
