// A build without stb_image_write.h: the PNG writer says so, and writes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png/png_writer.hpp"

namespace {

TEST(png_not_built, says_so) {
    const auto png = bmp2land::png::encodeRgbPng(1, 1, std::vector<std::uint8_t>(3));
    ASSERT_FALSE(png.ok());
    EXPECT_EQ(png.error(), bmp2land::png::WriteError::NotBuilt);
    EXPECT_NE(std::string(bmp2land::png::describe(png.error())).find("not built"),
              std::string::npos);
}

}  // namespace
