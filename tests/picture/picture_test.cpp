// What the picture reader refuses, and why: every failure names its kind and
// keeps what the headers said.

#include "picture/picture.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "png/png_reader.hpp"
#include "test_pictures.hpp"

namespace {

using namespace testing_support;
using bmp2land::bitmap::DecodeError;
using bmp2land::picture::PictureError;
using bmp2land::picture::readPicture;

ByteVector smallRgbPng() {
    PngKind kind;
    return encodePng(kind, std::vector<std::uint16_t>(kPixels * 3, 40));
}

ByteVector cut(ByteVector file, std::size_t size) {
    file.resize(size);
    return file;
}

// The file with a chunk of image data that holds nothing put in at `at`.
constexpr std::size_t kAfterIhdr = 33;
constexpr std::size_t kIendSize = 12;
ByteVector withEmptyImageData(ByteVector png, std::size_t at) {
    const ByteVector empty = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(at), empty.begin(), empty.end());
    return png;
}

BmpOptions bmp(std::uint16_t bitCount, std::uint32_t compression = 0) {
    BmpOptions o;
    o.bitCount = bitCount;
    o.compression = compression;
    o.storedColours = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
    return o;
}

ByteVector bmpFile(const BmpOptions& o, std::size_t pixelBytes) {
    return makeBmp(o, std::vector<Colour>(o.storedColours, Colour{1, 2, 3}),
                   ByteVector(pixelBytes, 0));
}

struct FailureCase {
    const char* name;
    ByteVector file;
    PictureError kind;
    bool factsKnown;
    std::optional<DecodeError> bitmap = std::nullopt;
    const char* reason = "";  // the decoder's words, where they matter
};

TEST(PictureReader, RefusesWithTheReason) {
    const ByteVector png = smallRgbPng();
    ByteVector badIhdr = png;
    badIhdr[25] = 5;  // colour type 5 does not exist
    ByteVector badData = png;
    badData[45] ^= 0xFF;  // the zlib header's check no longer holds
    ByteVector rle8 = bmpFile(bmp(8, 1), 0);
    rle8.insert(rle8.end(), {0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 255});  // a delta past the end
    PngKind brokenPalette;  // four entries and one byte of a fifth
    brokenPalette.colourType = 3;
    brokenPalette.bitDepth = 4;
    brokenPalette.plte = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5};
    ByteVector noImageData = cut(png, kAfterIhdr);
    noImageData.insert(noImageData.end(), png.end() - kIendSize, png.end());
    BmpOptions jpeg = bmp(24, 4);
    BmpOptions odd = bmp(7);
    BmpOptions rle4In8 = bmp(8, 2);
    BmpOptions shortHeader = bmp(24);
    shortHeader.infoHeaderSize = 16;
    BmpOptions noWidth = bmp(24);
    noWidth.width = 0;
    BmpOptions wide = bmp(24);
    wide.width = 100000;
    wide.height = 100000;
    const FailureCase cases[] = {
        {"empty", {}, PictureError::NotAPicture, false},
        {"text", ByteVector(100, 'a'), PictureError::NotAPicture, false},
        {"land file", {'L', 'N', 'D', 0x1A, 0, 0, 0, 0}, PictureError::NotAPicture, false},
        {"PNG signature alone", cut(png, 8), PictureError::Truncated, false},
        {"PNG cut inside IHDR", cut(png, 20), PictureError::Truncated, false},
        {"PNG with a colour type no PNG has", badIhdr, PictureError::Corrupt, false},
        {"PNG with broken image data", badData, PictureError::Corrupt, true},
        {"PNG cut inside its image data", cut(png, 5000), PictureError::Truncated, true},
        {"PNG whose only image data is empty", withEmptyImageData(noImageData, kAfterIhdr),
         PictureError::Corrupt, true, std::nullopt, "no IDAT"},
        {"PNG whose palette ends inside an entry",
         encodePng(brokenPalette, std::vector<std::uint16_t>(kPixels, 1)), PictureError::Corrupt,
         true, std::nullopt, "invalid PLTE"},
        {"BM alone", {'B', 'M'}, PictureError::Truncated, false, DecodeError::Truncated},
        {"BMP cut in its pixels", cut(bmpFile(bmp(24), kPixels * 3), 100000),
         PictureError::Truncated, true, DecodeError::Truncated},
        {"BMP cut in its palette", cut(bmpFile(bmp(8), kPixels), 300), PictureError::Truncated,
         true, DecodeError::Truncated},
        {"BMP with corrupt RLE8", rle8, PictureError::Corrupt, true, DecodeError::Corrupt},
        {"JPEG in a BMP", bmpFile(jpeg, 10), PictureError::Unsupported, false,
         DecodeError::UnsupportedCompression},
        {"7 bits a pixel", bmpFile(odd, 10), PictureError::Unsupported, false,
         DecodeError::UnsupportedBitCount},
        {"RLE4 at 8 bits", bmpFile(rle4In8, 10), PictureError::Unsupported, false,
         DecodeError::UnsupportedCompression},
        {"a 16-byte header at 24 bits", bmpFile(shortHeader, 10), PictureError::Unsupported, false,
         DecodeError::UnsupportedHeader},
        {"no columns", bmpFile(noWidth, 10), PictureError::WrongSize, false, DecodeError::BadSize},
        {"100000 x 100000", bmpFile(wide, 10), PictureError::WrongSize, true},
    };
    for (const FailureCase& c : cases) {
        const auto read = readPicture(c.file);
        ASSERT_FALSE(read) << c.name;
        EXPECT_EQ(read.error().kind, c.kind) << c.name;
        EXPECT_EQ(read.error().facts.has_value(), c.factsKnown) << c.name;
        EXPECT_EQ(read.error().bitmap ? std::optional(read.error().bitmap->kind) : std::nullopt,
                  c.bitmap)
            << c.name;
        if (*c.reason != '\0') {
            EXPECT_EQ(read.error().reason, c.reason) << c.name;
        }
    }
}

// Chunks of image data may hold nothing, before, between or after the others.
TEST(PictureReader, ReadsAPngWithEmptyImageDataChunks) {
    const ByteVector png = smallRgbPng();
    const auto plain = readPicture(png);
    ASSERT_TRUE(plain);
    for (const std::size_t at : {kAfterIhdr, png.size() - kIendSize}) {
        const auto read = readPicture(withEmptyImageData(png, at));
        ASSERT_TRUE(read) << at << ": " << read.error().reason;
        EXPECT_TRUE(read->pixels == plain->pixels) << at;
    }
}

// As landinfo's check takes it: a file that bmp2land reads, or whose headers
// are plainly a bitmap's, is one without "BM" too; other bytes are no picture.
TEST(PictureReader, ABmpWithoutItsSignatureIsOneWhenItsHeadersSaySo) {
    BmpOptions eight = bmp(8);
    eight.signature = 0x1234;
    BmpOptions other = bmp(24);
    other.signature = 0x1234;
    EXPECT_TRUE(readPicture(bmpFile(eight, kPixels)));
    EXPECT_TRUE(readPicture(bmpFile(other, kPixels * 3)));
    other.infoHeaderSize = 41;  // no bitmap has such a header
    EXPECT_EQ(readPicture(bmpFile(other, kPixels * 3)).error().kind, PictureError::NotAPicture);
}

TEST(PictureReader, FindsTheIndexesOfAPalettedPng) {
    PngKind kind;
    kind.colourType = 3;
    kind.bitDepth = 4;
    kind.plte = {1, 1, 1, 2, 2, 2, 1, 1, 1, 3, 3, 3};  // entry 2 repeats entry 0
    std::vector<std::uint16_t> indexes(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i)
        indexes[i] = static_cast<std::uint16_t>(i % 4);
    const auto read = readPicture(encodePng(kind, indexes));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->facts.palette.size(), 4U);
    ASSERT_EQ(read->facts.indexes.size(), kPixels);
    const std::uint8_t firstEntryOfItsColour[] = {0, 1, 0, 3};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(read->facts.indexes[i], firstEntryOfItsColour[i % 4]) << i;
}

TEST(PngReader, ReadsTheHeaderWithoutTheDecoder) {
    PngKind kind;
    kind.colourType = 6;
    kind.bitDepth = 16;
    kind.interlaced = true;
    kind.width = 3;
    kind.height = 2;
    const auto header =
        bmp2land::png::readPngHeader(encodePng(kind, std::vector<std::uint16_t>(24, 9)));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 3U);
    EXPECT_EQ(header->height, 2U);
    EXPECT_EQ(header->bitDepth, 16);
    EXPECT_EQ(header->colourType, bmp2land::png::ColourType::Rgba);
    EXPECT_TRUE(header->interlaced);
    // The decoder refuses more pixels than asked for before decoding them.
    if (bmp2land::png::pngDecoderBuilt()) {
        const auto decoded =
            bmp2land::png::decodePng(encodePng(kind, std::vector<std::uint16_t>(24, 9)), 5);
        ASSERT_FALSE(decoded);
        EXPECT_EQ(decoded.error().kind, bmp2land::png::PngError::TooLarge);
    }
}

}  // namespace
