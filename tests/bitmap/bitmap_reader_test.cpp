#include "bitmap/bitmap_reader.hpp"

#include <gtest/gtest.h>

#include <utility>

#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "test_bitmaps.hpp"

namespace {

using bmp2land::bitmap::BitmapPart;
using bmp2land::bitmap::readBody;
using bmp2land::bitmap::ReadError;
using bmp2land::bitmap::ReadFailure;
using bmp2land::bitmap::readHeaders;
using namespace testing_support;

ByteVector plainPixels() {
    return samplePicture().indexes;
}

void patch32(ByteVector& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Headers and body in one go, as the run does; nullopt on success.
std::optional<ReadFailure> failureOf(const ByteVector& file) {
    const auto headers = readHeaders(file);
    if (!headers)
        return headers.error();
    const auto image = readBody(file, *headers);
    // The run's way, taking the file's buffer over, must fail alike.
    const auto taken = readBody(ByteVector(file), *headers);
    EXPECT_EQ(taken.ok(), image.ok());
    if (!image) {
        EXPECT_TRUE(!taken && taken.error() == image.error());
        return image.error();
    }
    return std::nullopt;
}

std::optional<ReadError> load(const ByteVector& file) {
    const auto failure = failureOf(file);
    return failure ? std::optional(failure->kind) : std::nullopt;
}

ReadFailure truncatedIn(BitmapPart part) {
    return ReadFailure{.kind = ReadError::Truncated, .part = part};
}

struct HeaderCase {
    const char* name;
    BmpOptions options;
    std::optional<ReadError> expected;
};

TEST(BitmapReader, ChecksHeadersInOrder) {
    const auto opts = [](auto change) {
        BmpOptions o;
        change(o);
        return o;
    };
    const HeaderCase cases[] = {
        {"conforming", BmpOptions{}, std::nullopt},
        {"24-bit", opts([](BmpOptions& o) { o.bitCount = 24; }), ReadError::NotEightBit},
        {"bit count 264 (8 in the low byte)", opts([](BmpOptions& o) { o.bitCount = 0x108; }),
         ReadError::NotEightBit},
        {"24-bit and 1920 x 695", opts([](BmpOptions& o) {
             o.bitCount = 24;
             o.height = 695;
         }),
         ReadError::NotEightBit},
        {"1920 x 695", opts([](BmpOptions& o) { o.height = 695; }), ReadError::WrongSize},
        {"1921 x 696", opts([](BmpOptions& o) { o.width = 1921; }), ReadError::WrongSize},
        {"top-down", opts([](BmpOptions& o) { o.topDown = true; }), std::nullopt},
        {"1920 x -695", opts([](BmpOptions& o) { o.height = -695; }), ReadError::WrongSize},
        {"top-down RLE8", opts([](BmpOptions& o) {
             o.height = -696;
             o.compression = 1;
         }),
         ReadError::UnsupportedCompression},
        {"core header", opts([](BmpOptions& o) { o.infoHeaderSize = 12; }), std::nullopt},
        {"core header, 24-bit", opts([](BmpOptions& o) {
             o.infoHeaderSize = 12;
             o.bitCount = 24;
         }),
         ReadError::NotEightBit},
        {"core header's height is unsigned", opts([](BmpOptions& o) {
             o.infoHeaderSize = 12;
             o.height = -696;
         }),
         ReadError::WrongSize},
        {"wrong size and RLE4", opts([](BmpOptions& o) {
             o.height = 1;
             o.compression = 2;
         }),
         ReadError::WrongSize},
        {"RLE4", opts([](BmpOptions& o) { o.compression = 2; }), ReadError::UnsupportedCompression},
        {"JPEG", opts([](BmpOptions& o) { o.compression = 4; }), ReadError::UnsupportedCompression},
        {"PNG", opts([](BmpOptions& o) { o.compression = 5; }), ReadError::UnsupportedCompression},
        {"bit fields", opts([](BmpOptions& o) { o.compression = 3; }), std::nullopt},
        {"alpha bit fields", opts([](BmpOptions& o) { o.compression = 6; }), std::nullopt},
        {"signature not BM", opts([](BmpOptions& o) { o.signature = 0x1234; }), std::nullopt},
    };
    const ByteVector pixels = plainPixels();
    for (const HeaderCase& c : cases) {
        EXPECT_EQ(load(makeBmp(c.options, samplePalette(), pixels)), c.expected) << c.name;
    }
}

TEST(BitmapReader, PixelCountIgnoresSizeImage) {
    const ByteVector pixels = plainPixels();
    for (std::uint32_t sizeImage : {1336322U, 1336320U, 0U, 7U, 0xFFFFFFF0U}) {
        BmpOptions o;
        o.sizeImage = sizeImage;
        ByteVector padded = pixels;
        if (sizeImage == 1336322U)
            padded.insert(padded.end(), {0, 0});
        const ByteVector file = makeBmp(o, samplePalette(), padded);
        const auto headers = readHeaders(file);
        ASSERT_TRUE(headers);
        const auto image = readBody(file, *headers);
        ASSERT_TRUE(image) << sizeImage;
        EXPECT_EQ(image->pixels, pixels) << sizeImage;
    }
}

struct LayoutCase {
    const char* name;
    BmpOptions options;
    std::size_t paletteEntriesRead;  // entries after these are black
};

TEST(BitmapReader, FindsPaletteAndPixels) {
    const auto opts = [](auto change) {
        BmpOptions o;
        change(o);
        return o;
    };
    const LayoutCase cases[] = {
        {"40-byte header", BmpOptions{}, 256},
        {"V4 header", opts([](BmpOptions& o) { o.infoHeaderSize = 108; }), 256},
        {"V5 header", opts([](BmpOptions& o) { o.infoHeaderSize = 124; }), 256},
        {"16 colours used and stored", opts([](BmpOptions& o) {
             o.clrUsed = 16;
             o.storedColours = 16;
         }),
         16},
        {"V5 with 100 colours", opts([](BmpOptions& o) {
             o.infoHeaderSize = 124;
             o.clrUsed = 100;
             o.storedColours = 100;
         }),
         100},
        {"clrUsed above 256 means 256", opts([](BmpOptions& o) { o.clrUsed = 1000; }), 256},
        // Room for all 256 entries before the pixels: all 256 are read.
        {"50 colours used, 256 stored", opts([](BmpOptions& o) { o.clrUsed = 50; }), 256},
        {"V5 with 1 colour used, 256 stored", opts([](BmpOptions& o) {
             o.infoHeaderSize = 124;
             o.clrUsed = 1;
         }),
         256},
        {"bit fields without masks, 50 used, 256 stored", opts([](BmpOptions& o) {
             o.compression = 3;
             o.clrUsed = 50;
         }),
         256},
        {"bit fields with masks, 50 used, 256 stored", opts([](BmpOptions& o) {
             o.compression = 3;
             o.clrUsed = 50;
             o.maskBytes = 12;
         }),
         256},
        {"core header, 256 stored and a gap", opts([](BmpOptions& o) {
             o.infoHeaderSize = 12;
             o.gapAfterPalette = 10;
         }),
         256},
        {"gap before pixels", opts([](BmpOptions& o) { o.gapAfterPalette = 30; }), 256},
        // Offsets that can't be right: the palette is read at 54 and the pixels at 1078,
        // which is where this test's writer put them.
        {"bfOffBits inside the palette", opts([](BmpOptions& o) { o.offBits = 600; }), 256},
        {"bfOffBits 0", opts([](BmpOptions& o) { o.offBits = 0; }), 256},
        {"16-byte header", opts([](BmpOptions& o) { o.infoHeaderSize = 16; }), 256},
        {"core header", opts([](BmpOptions& o) { o.infoHeaderSize = 12; }), 256},
        {"core header, 100 colours", opts([](BmpOptions& o) {
             o.infoHeaderSize = 12;
             o.storedColours = 100;
         }),
         100},
        // No room for a palette before the pixels: 256 colours, pixels at 794.
        {"core header, bfOffBits 28", opts([](BmpOptions& o) {
             o.infoHeaderSize = 12;
             o.offBits = 28;
         }),
         256},
        {"bit fields with masks", opts([](BmpOptions& o) {
             o.compression = 3;
             o.maskBytes = 12;
         }),
         256},
        {"bit fields without masks", opts([](BmpOptions& o) { o.compression = 3; }), 256},
        {"alpha bit fields with masks", opts([](BmpOptions& o) {
             o.compression = 6;
             o.maskBytes = 16;
         }),
         256},
        {"V5 bit fields: masks inside the header", opts([](BmpOptions& o) {
             o.infoHeaderSize = 124;
             o.compression = 3;
         }),
         256},
        {"top-down", opts([](BmpOptions& o) { o.topDown = true; }), 256},
    };
    const Picture picture = samplePicture();
    const auto palette = samplePalette();
    for (const LayoutCase& c : cases) {
        const ByteVector file = makeBmp(c.options, palette, picture.indexes);
        const auto headers = readHeaders(file);
        ASSERT_TRUE(headers) << c.name;
        const auto image = readBody(file, *headers);
        ASSERT_TRUE(image) << c.name;
        std::vector<Colour> read = palette;
        std::fill(read.begin() + static_cast<std::ptrdiff_t>(c.paletteEntriesRead), read.end(),
                  Colour{0, 0, 0});
        for (std::size_t i = 0; i < 256; ++i) {
            const auto& got = image->palette[i];
            EXPECT_TRUE(got.red == read[i].red && got.green == read[i].green &&
                        got.blue == read[i].blue)
                << c.name << " entry " << i;
        }
        EXPECT_EQ(image->pixels, picture.indexes) << c.name;
        // The run's way, taking the file's buffer over, reads the same, and
        // every layout of the picture gives the land file of the plain one.
        auto taken = readBody(ByteVector(file), *headers);
        ASSERT_TRUE(taken) << c.name;
        EXPECT_EQ(taken->pixels, picture.indexes) << c.name;
        const auto model = bmp2land::land::convert(std::move(*taken));
        ASSERT_TRUE(model) << c.name;
        bmp2land::MemorySink land;
        ASSERT_TRUE(bmp2land::land::write(*model, land)) << c.name;
        EXPECT_TRUE(land.data == expectedLandFile(picture, read)) << c.name;
    }
}

TEST(BitmapReader, ReportsWhereTheBodyFails) {
    const ByteVector full = makeBmp(samplePicture());
    const auto cut = [](const ByteVector& file, std::size_t size) {
        return ByteVector(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    };
    EXPECT_EQ(failureOf({}), truncatedIn(BitmapPart::Headers));
    EXPECT_EQ(failureOf(cut(full, 53)), truncatedIn(BitmapPart::Headers));
    EXPECT_EQ(failureOf(cut(full, 54)), truncatedIn(BitmapPart::Palette));
    EXPECT_EQ(failureOf(cut(full, 1077)), truncatedIn(BitmapPart::Palette));  // one byte short
    EXPECT_EQ(failureOf(cut(full, full.size() - 1)), truncatedIn(BitmapPart::Pixels));
    EXPECT_EQ(load(full), std::nullopt);

    // A core header's file is still at least 54 bytes; its palette ends at 794.
    BmpOptions core;
    core.infoHeaderSize = 12;
    const ByteVector coreFile = makeBmp(core, samplePalette(), samplePicture().indexes);
    EXPECT_EQ(failureOf(cut(coreFile, 53)), truncatedIn(BitmapPart::Headers));
    EXPECT_EQ(failureOf(cut(coreFile, 793)), truncatedIn(BitmapPart::Palette));
    EXPECT_EQ(failureOf(cut(coreFile, coreFile.size() - 1)), truncatedIn(BitmapPart::Pixels));
    // A file that ends inside a 124-byte info header ends in its headers.
    BmpOptions v5;
    v5.infoHeaderSize = 124;
    EXPECT_EQ(failureOf(cut(makeBmp(v5, samplePalette(), samplePicture().indexes), 100)),
              truncatedIn(BitmapPart::Headers));

    BmpOptions rle8;
    rle8.compression = 1;
    EXPECT_EQ(failureOf(makeBmp(rle8, samplePalette(), {10, 1, 0})),
              truncatedIn(BitmapPart::Rle8Data));
    // The corrupt code's place in the file: the delta at stream offset 8,
    // after the pixel offset 1078, having reached row 510.
    EXPECT_EQ(failureOf(makeBmp(rle8, samplePalette(), {0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 187})),
              (ReadFailure{.kind = ReadError::Corrupt, .offset = 1086, .row = 510, .column = 0}));

    BmpOptions farAway;
    farAway.offBits = 0x7FFFFFFF;
    EXPECT_EQ(load(makeBmp(farAway, samplePalette(), {})), ReadError::Truncated);

    // A header size that puts the palette far past the end of the file (but
    // before bfOffBits) must be caught, not read.
    ByteVector file = full;
    patch32(file, 14, 0xFFFFF000U);
    patch32(file, 10, 0xFFFFFFFFU);
    EXPECT_EQ(failureOf(file), truncatedIn(BitmapPart::Headers));
}

}  // namespace
