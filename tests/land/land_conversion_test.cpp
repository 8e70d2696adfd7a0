#include "land/land_conversion.hpp"

#include <gtest/gtest.h>

#include "test_bitmaps.hpp"

namespace {

using namespace bmp2land;
using testing_support::Picture;

bitmap::BitmapImage imageOf(const Picture& picture) {
    bitmap::BitmapImage image;
    image.infoHeader.biWidth = 1920;
    image.infoHeader.biHeight = 696;
    image.infoHeader.biBitCount = 8;
    image.pixels = picture.indexes;
    return image;
}

// Markers along a diagonal (wrapping round for large counts).
Picture withMarkers(std::size_t count) {
    Picture p;
    for (std::size_t i = 0; i < count; ++i)
        p.at((10 + i * 50) % 1920, (20 + i * 20) % 696) = 255;
    return p;
}

bool maskBit(const land::LandModel& m, std::size_t k) {
    return (m.mask[k / 8] >> (k % 8)) & 1U;
}

TEST(Conversion, NeedsExactlyThirtyMarkers) {
    for (std::size_t count : {0U, 1U, 29U, 31U, 200U}) {
        const auto model = land::convert(imageOf(withMarkers(count)));
        ASSERT_FALSE(model) << count;
        EXPECT_EQ(model.error(), land::ConversionError::WrongObjectCount);
    }
    EXPECT_TRUE(land::convert(imageOf(withMarkers(30))));
}

TEST(Conversion, PositionsFollowTheScanFromTheBottomRow) {
    Picture p = withMarkers(28);
    p.indexes.front() = 255;  // first stored byte: bottom-left
    p.indexes.back() = 255;   // last stored byte: top-right
    const auto model = land::convert(imageOf(p));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->positions[0].x, 0U);
    EXPECT_EQ(model->positions[0].y, 695U);
    // The diagonal is met bottom row first: the marker with the largest y first.
    EXPECT_EQ(model->positions[1].x, 10U + 27 * 50);
    EXPECT_EQ(model->positions[1].y, 20U + 27 * 20);
    EXPECT_EQ(model->positions[28].x, 10U);
    EXPECT_EQ(model->positions[28].y, 20U);
    EXPECT_EQ(model->positions[29].x, 1919U);
    EXPECT_EQ(model->positions[29].y, 0U);
}

TEST(Conversion, PositionsWithinARowRunLeftToRight) {
    Picture p;
    for (std::size_t i = 0; i < 30; ++i)
        p.at(1919 - i * 3, 400) = 255;
    const auto model = land::convert(imageOf(p));
    ASSERT_TRUE(model);
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(model->positions[i].x, 1919 - (29 - i) * 3);
        EXPECT_EQ(model->positions[i].y, 400U);
    }
}

TEST(Conversion, TurnsThePictureAndClearsMarkers) {
    Picture p = withMarkers(30);
    p.at(5, 0) = 17;     // top row
    p.at(6, 695) = 200;  // bottom row: indexes past the colour table pass unchanged
    const auto model = land::convert(imageOf(p));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->pixels[5], 17);
    EXPECT_EQ(model->pixels[695 * 1920 + 6], 200);
    for (const auto& position : model->positions) {
        EXPECT_EQ(model->pixels[position.y * 1920 + position.x], 0);
        EXPECT_FALSE(maskBit(*model, position.y * 1920 + position.x));
    }
}

TEST(Conversion, MaskMarksEveryNonZeroPixel) {
    Picture blank = withMarkers(30);
    const auto empty = land::convert(imageOf(blank));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->mask, std::vector<std::uint8_t>(167040, 0));

    Picture full = withMarkers(30);
    for (auto& v : full.indexes)
        v = v == 255 ? 255 : 1;
    const auto solid = land::convert(imageOf(full));
    ASSERT_TRUE(solid);
    std::size_t set = 0;
    for (std::size_t k = 0; k < 1920 * 696; ++k)
        set += maskBit(*solid, k);
    EXPECT_EQ(set, 1920U * 696 - 30);

    // Bit order: pixel k goes to bit k mod 8 of byte k div 8, for every index value.
    Picture bits = withMarkers(30);
    bits.at(0, 0) = 1;
    bits.at(7, 0) = 0x80;
    bits.at(9, 0) = 0x7F;
    bits.at(1919, 695) = 254;
    const auto model = land::convert(imageOf(bits));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->mask[0], 0x81);
    EXPECT_EQ(model->mask[1], 0x02);
    EXPECT_EQ(model->mask.back(), 0x80);
}

}  // namespace
