#pragma once

// A drawing as colours, whatever file it came from: PNG of any kind, or BMP
// of any depth. Only pictures of the level's size are decoded; any other size
// is refused before pixel memory is taken, with the size found.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bitmap/bitmap_decoder.hpp"
#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "common/rgba.hpp"
#include "picture/picture_format.hpp"
#include "png/png_reader.hpp"

namespace bmp2land::picture {

inline constexpr std::uint32_t kLevelWidth = 1920;
inline constexpr std::uint32_t kLevelHeight = 696;
inline constexpr std::uint64_t kLevelPixels = std::uint64_t{kLevelWidth} * kLevelHeight;
// Pixels with less opacity than this are transparent: below half.
inline constexpr std::uint8_t kHalfOpaque = 128;

enum class ColourType : std::uint8_t { Grey, GreyAlpha, Rgb, Rgba, Indexed };

// What the file says about the picture, for the report.
struct PictureFacts {
    PictureFormat format = PictureFormat::Png;  // Png or Bmp
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ColourType colourType = ColourType::Rgb;
    // PNG: bits a sample (a channel or an index); BMP: bits a pixel.
    std::uint8_t bitDepth = 0;
    bool interlaced = false;           // PNG
    std::uint32_t bmpHeaderSize = 0;   // BMP: 12, 40, 108, 124...
    std::uint32_t bmpCompression = 0;  // BMP: biCompression
    bool topDown = false;              // BMP
    bool alphaChannel = false;         // the file can make pixels transparent
    bool transparent = false;          // some pixel is transparent (decoded pictures)
    std::vector<Rgba> palette;         // paletted pictures
    // Paletted pictures, once decoded: one index a pixel, top row first. A
    // PNG's indexes are found again from the colours: the first entry of a
    // pixel's colour.
    std::vector<std::uint8_t> indexes;
};

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<Rgba> pixels;  // width x height, top row first
    PictureFacts facts;
};

enum class PictureError : std::uint8_t {
    NotAPicture,  // neither PNG nor BMP
    Truncated,    // the file ends early
    Corrupt,      // data no writer makes
    Unsupported,  // a BMP header size, bit count or compression this reader lacks
    WrongSize,    // not 1920 x 696: facts->width and height say what it is
    PngNotBuilt,  // a PNG, in a build without the PNG decoder
};

struct PictureFailure {
    PictureError kind = PictureError::NotAPicture;
    std::optional<PictureFacts> facts;            // what the headers said, where they could be read
    std::string reason;                           // Corrupt PNG: the decoder's words
    std::optional<bitmap::DecodeFailure> bitmap;  // the BMP decoder's own failure
};

Expected<Picture, PictureFailure> readPicture(Bytes file);

}  // namespace bmp2land::picture
