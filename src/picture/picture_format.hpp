#pragma once

// What kind of picture a file is, from its first bytes: the one place that
// tells a BMP from a PNG, a picture landinfo can't read, or a land file.

#include <cstdint>

#include "common/byte_order.hpp"

namespace bmp2land::picture {

// Besides the pictures read, those landinfo names but does not read: other
// exchange formats, and the paint programs' own, which a level maker may
// bring first.
enum class PictureFormat : std::uint8_t {
    Bmp,
    Png,
    Jpeg,
    Gif,
    Tiff,
    WebP,
    Xcf,         // GIMP
    Psd,         // Photoshop, and Krita's or GIMP's export to it
    Kra,         // Krita
    OpenRaster,  // MyPaint, Krita, GIMP
    Other,
};

// A file that is not a land file and has no signature is a BMP still when
// bmp2land, which never looks for "BM", reads it past its header checks, or
// when its headers are plainly a BMP's: a known header size, one plane and a
// bit count that bitmaps have.
PictureFormat pictureFormat(Bytes file);

// "PNG", "BMP", "JPEG", "GIF", "TIFF", "WebP", "GIMP XCF", ...; "other".
const char* formatName(PictureFormat format);

}  // namespace bmp2land::picture
