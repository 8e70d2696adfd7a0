#pragma once

// BITMAPFILEHEADER and the 40 bytes of BITMAPINFOHEADER this program knows,
// read and written by the one table of field offsets.

#include "bitmap/bitmap_image.hpp"
#include "common/byte_order.hpp"

namespace bmp2land::bitmap {

// `bytes` holds at least kHeadersSize bytes: the start of a file.
BitmapHeaders decodeHeaders(Bytes bytes);
void encodeHeaders(const BitmapHeaders& headers, MutableBytes bytes);

}  // namespace bmp2land::bitmap
