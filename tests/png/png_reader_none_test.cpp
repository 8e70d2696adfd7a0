// A build without stb_image reads a PNG's header and refuses its pixels
// with the reason.

#include <gtest/gtest.h>

#include "png/png_reader.hpp"
#include "test_pictures.hpp"

namespace {

TEST(PngReaderWithoutDecoder, SaysPngSupportWasNotBuilt) {
    testing_support::PngKind kind;
    kind.width = 2;
    kind.height = 1;
    const auto png = testing_support::encodePng(kind, {1, 2, 3, 4, 5, 6});
    EXPECT_FALSE(bmp2land::png::pngDecoderBuilt());
    const auto header = bmp2land::png::readPngHeader(png);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 2U);
    const auto decoded = bmp2land::png::decodePng(png, 100);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().kind, bmp2land::png::PngError::NotBuilt);
}

}  // namespace
