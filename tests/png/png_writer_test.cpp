// The PNG writer: what it writes, a preview among others, decodes to the very
// pixels it was given, with stb_image and with Pillow where it is installed,
// the same bytes every time; pictures it can't encode are refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "png/png_writer.hpp"
#include "png_decoder.hpp"
#include "preview/preview.hpp"
#include "scratch_dir.hpp"

namespace {

using namespace testing_support;
using bmp2land::png::encodeRgbPng;
using bmp2land::png::WriteError;

struct Picture {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    // The sample at byte `i` of the picture.
    std::function<std::uint8_t(std::size_t)> sample;
};

std::ostream& operator<<(std::ostream& out, const Picture& p) {
    return out << p.name;
}

ByteVector samples(const Picture& p) {
    ByteVector rgb(std::size_t{p.width} * p.height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = p.sample(i);
    return rgb;
}

std::uint8_t noise(std::size_t i) {
    static const ByteVector bytes = [] {
        std::mt19937 random(21);
        ByteVector b(1920 * 696 * 3);
        for (std::uint8_t& v : b)
            v = static_cast<std::uint8_t>(random());
        return b;
    }();
    return bytes[i];
}

// A preview with every kind of drawing on it: land, sky, rings, numbers,
// signal pixels, stripes and the legend.
std::uint8_t preview(std::size_t i) {
    namespace pv = bmp2land::preview;
    static const ByteVector rgb = [] {
        pv::Scene s;
        s.picture.resize(std::size_t{600} * pv::kWidth);
        for (std::size_t k = 0; k < s.picture.size(); ++k)
            s.picture[k] = static_cast<std::uint8_t>(k / pv::kWidth < 300 ? 0 : k % 97);
        for (std::size_t c = 0; c < pv::kLandColours; ++c)
            s.colours[c] = {static_cast<std::uint8_t>(c), 90, static_cast<std::uint8_t>(2 * c)};
        for (std::uint32_t k = 0; k < 40; ++k)
            s.objects.push_back({k * 47, 290 + k % 5});
        s.verdict = "verdict: bmp2land will say \"Wrong number of objects!\"";
        return pv::render(s).image.rgb();
    }();
    return rgb[i];
}

std::uint32_t bigEndian32(const ByteVector& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

class round_trip : public ::testing::TestWithParam<Picture> {};

TEST_P(round_trip, decodes_to_the_same_pixels) {
    const Picture& p = GetParam();
    const ByteVector rgb = samples(p);
    const auto png = encodeRgbPng(p.width, p.height, rgb);
    ASSERT_TRUE(png.ok()) << bmp2land::png::describe(png.error());

    // The header says what the picture is: 8-bit RGB of its size.
    ASSERT_GT(png->size(), 33U);
    EXPECT_EQ(std::string(png->begin() + 12, png->begin() + 16), "IHDR");
    EXPECT_EQ(bigEndian32(*png, 16), p.width);
    EXPECT_EQ(bigEndian32(*png, 20), p.height);
    EXPECT_EQ((*png)[24], 8) << "bit depth";
    EXPECT_EQ((*png)[25], 2) << "colour type: RGB";

    const auto decoded = decodePng(*png);
    ASSERT_TRUE(decoded.has_value()) << "stb_image can't decode it";
    EXPECT_EQ(decoded->width, static_cast<int>(p.width));
    EXPECT_EQ(decoded->height, static_cast<int>(p.height));
    EXPECT_EQ(decoded->channels, 3);
    EXPECT_TRUE(decoded->rgb == rgb) << "the pixels differ";

    const auto again = encodeRgbPng(p.width, p.height, rgb);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(*again == *png) << "the same picture gave other bytes";
}

INSTANTIATE_TEST_SUITE_P(
    png, round_trip,
    ::testing::Values(
        Picture{"one_pixel", 1, 1, [](std::size_t i) { return std::uint8_t(40 + i); }},
        Picture{"palette_16x16", 16, 16, [](std::size_t i) { return std::uint8_t(i * 7 / 3); }},
        Picture{"odd_width", 7, 3, noise},
        Picture{"one_column", 1, 696, [](std::size_t i) { return std::uint8_t(i / 3); }},
        Picture{"flat_level", 1920, 696, [](std::size_t i) { return std::uint8_t(i % 3 * 90); }},
        Picture{"noise_level", 1920, 696, noise}, Picture{"preview", 1920, 696, preview}),
    [](const ::testing::TestParamInfo<Picture>& p) { return std::string(p.param.name); });

struct Refusal {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    std::size_t bytes;
};

std::ostream& operator<<(std::ostream& out, const Refusal& r) {
    return out << r.name;
}

class refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(refused, as_a_bad_picture) {
    const Refusal& r = GetParam();
    const auto png = encodeRgbPng(r.width, r.height, ByteVector(r.bytes, 9));
    ASSERT_FALSE(png.ok());
    EXPECT_EQ(png.error(), WriteError::BadPicture);
}

INSTANTIATE_TEST_SUITE_P(
    png, refused,
    ::testing::Values(Refusal{"no_columns", 0, 5, 0}, Refusal{"no_rows", 5, 0, 0},
                      Refusal{"a_byte_short", 2, 2, 11}, Refusal{"a_byte_over", 2, 2, 13},
                      // 3 x 0x55555556 and 0x10000 x 0x5556 x 3 wrap to these in 32 bits
                      Refusal{"width_wrapping_32_bits", 0x55555556U, 1, 2},
                      Refusal{"size_wrapping_32_bits", 0x10000U, 0x5556U, 0x20000}),
    [](const ::testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

class pillow : public ScratchDir {};

TEST_F(pillow, reads_the_same_pixels) {
    if (std::string(PILLOW_PYTHON).empty())
        GTEST_SKIP() << "Pillow for /usr/bin/python3 not found when the build was configured";
    const Picture p{"noise_level", 1920, 696, noise};
    const ByteVector rgb = samples(p);
    const auto png = encodeRgbPng(p.width, p.height, rgb);
    ASSERT_TRUE(png.ok());
    writeFile(at("picture.png"), *png);
    const Outcome o = shell(quote(PILLOW_PYTHON) +
                            " -c 'from PIL import Image; image = Image.open(\"picture.png\"); "
                            "print(image.mode, *image.size); "
                            "open(\"picture.rgb\", \"wb\").write(image.tobytes())'");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "RGB 1920 696\n");
    EXPECT_TRUE(readFile(at("picture.rgb")) == rgb) << "Pillow reads other pixels";
}

}  // namespace
