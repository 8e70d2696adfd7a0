#pragma once

// BITMAPFILEHEADER and the 40 bytes of BITMAPINFOHEADER this program knows,
// or the 12 of BITMAPCOREHEADER when the header-size field says 12, read and
// written by the one table of field offsets.

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"

namespace bmp2land::bitmap {

// `bytes` holds at least kHeadersSize bytes: the start of a file. Decodes any
// such file, also one that readHeaders refuses.
BitmapHeaders decodeHeaders(Bytes bytes);
// Writes kHeadersSize bytes, or only the 26 of the file header and a core
// header when headers.info.biSize is kCoreHeaderSize.
void encodeHeaders(const BitmapHeaders& headers, MutableBytes bytes);

}  // namespace bmp2land::bitmap
