#pragma once

// What kind of picture a file is, from its first bytes: the one place that
// tells a BMP from a PNG, a picture landinfo can't read, or a land file.

#include <cstdint>

#include "common/byte_order.hpp"

namespace bmp2land::picture {

enum class PictureFormat : std::uint8_t { Bmp, Png, Jpeg, Gif, Tiff, Other };

// A file that is not a land file and has no signature is a BMP still when
// bmp2land, which never looks for "BM", reads it past its header checks, or
// when its headers are plainly a BMP's: a known header size, one plane and a
// bit count that bitmaps have.
PictureFormat pictureFormat(Bytes file);

// "PNG", "BMP", "JPEG", "GIF", "TIFF"; "other".
const char* formatName(PictureFormat format);

}  // namespace bmp2land::picture
