#pragma once

// Reads PNG pictures from memory. The header and the chunks before the image
// data are read here, so that a picture's size, colour type and palette are
// known without decoding it; the pixels are decoded by stb_image where the
// build found it (png_reader_stb.cpp), else the decoder says that PNG support
// was not built (png_reader_none.cpp).

#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "common/rgba.hpp"

namespace bmp2land::png {

enum class PngError : std::uint8_t {
    NotPng,     // no PNG signature
    Truncated,  // the file ends inside the chunks before the image data
    Corrupt,    // a header no PNG has, or image data the decoder refuses
    TooLarge,   // more pixels than the caller allows
    NotBuilt,   // this build has no PNG decoder
};

struct PngFailure {
    PngError kind = PngError::Corrupt;
    std::string reason;  // Corrupt: the decoder's own words, when it gives any
};

// The IHDR colour types.
enum class ColourType : std::uint8_t {
    Grey = 0,
    Rgb = 2,
    Indexed = 3,
    GreyAlpha = 4,
    Rgba = 6,
};

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;  // bits a sample (a channel, or an index)
    ColourType colourType = ColourType::Rgb;
    bool interlaced = false;
    bool transparencyChunk = false;  // tRNS: some colour or palette entry is transparent
    std::vector<Rgba> palette;       // PLTE, with the tRNS opacities; empty without one
    bool cutShort = false;           // the file ends before the IEND chunk
    bool emptyImageData = false;     // an IDAT chunk of no data
};

bool isPng(Bytes file);

// The entries an index of `header`'s bit depth can reach: 2, 4, 16 or 256.
std::size_t indexRange(const PngHeader& header);

// The file as the decoder reads it safely: each PLTE chunk of whole entries
// grown to `entries` entries of opaque black, as other readers take the
// indexes past a palette, for a decoder that would read them from memory it
// never set (one that ends inside an entry is left for it to refuse);
// and each IDAT chunk of no data left out, which it would copy through a
// null pointer. The CRCs of grown chunks are left as they were: the decoder
// does not check them.
std::vector<std::uint8_t> forDecoder(Bytes file, std::size_t entries);

// The signature, IHDR, and PLTE and tRNS when they come before the image
// data; the other chunks' lengths are followed to IEND, to find a file cut
// short. Fails only when the file ends before IHDR is whole.
Expected<PngHeader, PngFailure> readPngHeader(Bytes file);

// Whether this build decodes PNG pixels.
bool pngDecoderBuilt();

struct PngPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<Rgba> pixels;  // top row first; 16-bit samples give their high byte
};

// Decodes every colour type and bit depth, interlaced or not, with tRNS;
// colour and gamma chunks are ignored, so the stored values are the colours.
// Refuses a picture of more than `maxPixels` pixels before decoding it.
Expected<PngPixels, PngFailure> decodePng(Bytes file, std::uint64_t maxPixels);

}  // namespace bmp2land::png
