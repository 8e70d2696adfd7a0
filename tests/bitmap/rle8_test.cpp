#include "bitmap/rle8.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using bmp2land::bitmap::decodeRle8;
using bmp2land::bitmap::Rle8Result;
using bmp2land::bitmap::Rle8Status;
using Stream = std::vector<std::uint8_t>;

constexpr std::size_t kW = 1920;
constexpr std::size_t kH = 696;

struct Decoded {
    Rle8Status status;
    std::vector<std::uint8_t> picture;
    Rle8Result result;
    std::uint8_t at(std::size_t column, std::size_t row) const {
        return picture[row * kW + column];
    }
};

Decoded decode(const Stream& stream) {
    Decoded d{Rle8Status::Ok, std::vector<std::uint8_t>(kW * kH, 0), {}};
    d.result = decodeRle8(stream, d.picture);
    d.status = d.result.status;
    return d;
}

TEST(Rle8, DecodesEveryCode) {
    // Row 0: run of 3 x 7, literal 5 6 7 (odd: one pad byte), early end of line.
    // Row 1: move 10 right and 2 rows on, to (13, 3) after a run of 3 x 9.
    const Decoded d = decode({3, 7, 0, 3, 5,  6, 7, 0xAA, 0, 0,  //
                              3, 9, 0, 2, 10, 2, 2, 4,    0, 4, 1, 2, 3, 4, 0, 1, 9, 9});
    ASSERT_EQ(d.status, Rle8Status::Ok);
    const std::vector<std::uint8_t> row0(d.picture.begin(), d.picture.begin() + 7);
    EXPECT_EQ(row0, (std::vector<std::uint8_t>{7, 7, 7, 5, 6, 7, 0}));
    EXPECT_EQ(d.at(0, 1), 9);
    EXPECT_EQ(d.at(2, 1), 9);
    EXPECT_EQ(d.at(3, 1), 0);
    for (std::size_t row = 1; row <= 3; ++row) {
        for (std::size_t column = (row == 1 ? 3 : 0); column < (row == 3 ? 13 : kW); ++column) {
            ASSERT_EQ(d.at(column, row), 0) << "skipped pixel " << column << "," << row;
        }
    }
    EXPECT_EQ(d.at(13, 3), 4);
    EXPECT_EQ(d.at(14, 3), 4);
    EXPECT_EQ(d.at(15, 3), 1);
    EXPECT_EQ(d.at(18, 3), 4);
    EXPECT_EQ(d.at(19, 3), 0);  // end of bitmap: the 9 9 after it is ignored
}

TEST(Rle8, StopsWhenTheLastRowIsReached) {
    Stream stream;
    for (std::size_t row = 0; row < kH; ++row)
        stream.insert(stream.end(), {1, 5, 0, 0});
    stream.insert(stream.end(), {0xFF, 0xFF, 0xFF});  // junk after the picture is never read
    EXPECT_EQ(decode(stream).status, Rle8Status::Ok);

    // A delta onto row 696 at column 0 also ends the picture.
    EXPECT_EQ(decode({0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 186, 8, 8}).status, Rle8Status::Ok);
}

TEST(Rle8, FillsWholeRowsExactly) {
    // 1920 = 7 x 255 + 135: runs that end exactly at the row's end are fine.
    Stream stream;
    for (int i = 0; i < 7; ++i)
        stream.insert(stream.end(), {255, 3});
    stream.insert(stream.end(), {135, 4, 0, 0, 0, 1});
    const Decoded d = decode(stream);
    ASSERT_EQ(d.status, Rle8Status::Ok);
    EXPECT_EQ(d.at(1919, 0), 4);
    EXPECT_EQ(d.at(0, 1), 0);
}

TEST(Rle8, RejectsCodesThatLeaveThePicture) {
    const Stream fullRow = {255, 3, 255, 3, 255, 3, 255, 3, 255, 3, 255, 3, 255, 3, 135, 4};
    const auto after = [&](Stream tail) {
        Stream s = fullRow;
        for (std::uint8_t b : tail)
            s.push_back(b);
        return s;
    };
    const struct {
        const char* name;
        Stream stream;
        std::size_t codeOffset;  // where the failing code starts, and the place reached
        std::uint32_t row, column;
    } cases[] = {
        {"run past column 1920", after({1, 1}), 16, 0, 1920},
        {"literal past column 1920",
         {0, 2, 255, 0,   0, 2, 255, 0,   0, 2, 255, 0, 0, 2, 255, 0, 0,   2, 255,
          0, 0, 2,   255, 0, 0, 2,   255, 0, 0, 4,   1, 2, 3, 4,   0, 200, 5, 6},
         34,
         0,
         1789},
        {"delta past column 1920",
         {0, 2, 255, 0, 0, 2, 255, 0, 0, 2, 255, 0, 0, 2, 255, 0,
          0, 2, 255, 0, 0, 2, 255, 0, 0, 2, 255, 0, 0, 2, 136, 0},
         28,
         0,
         1785},
        {"delta past row 696", {0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 187}, 8, 510, 0},
        {"delta onto row 696 at column 1", {0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 1, 186}, 8, 510, 0},
    };
    for (const auto& c : cases) {
        const Rle8Result r = decode(c.stream).result;
        EXPECT_EQ(r.status, Rle8Status::Corrupt) << c.name;
        EXPECT_EQ(r.codeOffset, c.codeOffset) << c.name;
        EXPECT_EQ(r.row, c.row) << c.name;
        EXPECT_EQ(r.column, c.column) << c.name;
    }
    // A delta to column 1920 itself is allowed; only a pixel there is not.
    EXPECT_EQ(decode(after({0, 2, 0, 0, 0, 1})).status, Rle8Status::Ok);
}

TEST(Rle8, ReportsStreamsThatEndEarly) {
    const struct {
        const char* name;
        Stream stream;
    } cases[] = {
        {"empty", {}},
        {"half a pair", {3}},
        {"no end marker", {3, 7, 0, 0}},
        {"delta without its offsets", {0, 2, 1}},
        {"literal without its bytes", {0, 5, 1, 2, 3, 4}},
        {"odd literal without its pad", {0, 3, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode(c.stream).status, Rle8Status::Truncated) << c.name;
    }
}

}  // namespace
