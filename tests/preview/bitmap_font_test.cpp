// The built-in font: every printable character has a glyph of its own, so
// that text drawn with it can be read back, and drawing clips at the edges.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "preview/bitmap_font.hpp"

namespace {

using namespace bmp2land::preview;

TEST(bitmap_font, has_a_distinct_glyph_for_each_printable_character) {
    std::set<font::Glyph> seen;
    for (char c = ' '; c <= '~'; ++c) {
        const font::Glyph& g = font::glyph(c);
        for (const std::uint8_t row : g)
            EXPECT_LT(row, 1U << font::kGlyphWidth) << "'" << c << "' is wider than a glyph";
        EXPECT_TRUE(seen.insert(g).second) << "'" << c << "' looks like another character";
        EXPECT_EQ(c == ' ', g == font::Glyph{}) << "'" << c << "'";
    }
}

TEST(bitmap_font, shows_other_characters_as_a_question_mark) {
    for (const char c : {'\0', '\t', '\n', '\x7f', '\xC3'})
        EXPECT_EQ(font::glyph(c), font::glyph('?')) << int{c};
}

struct Placed {
    std::int64_t left;
    std::int64_t top;
    std::size_t pixels;  // of "H" at scale 2 that land inside a 20 x 20 picture
};

TEST(bitmap_font, clips_text_at_the_picture_edges) {
    // "H" has 17 pixels, 68 at scale 2: its left column 7, its bar 5, its
    // right column 7 minus the bar's end. Cut 4 pixels off the left, it loses
    // the left column and the bar's first pixel: 36. At x = 15 its third
    // column keeps its left half: 28 + 4 + 2. At y = 18 only its top row's two
    // pixels show, each 2 x 2: 8.
    for (const Placed& p : {Placed{0, 0, 68}, Placed{-4, 0, 36}, Placed{15, 0, 34},
                            Placed{0, 18, 8}, Placed{-100, -100, 0}, Placed{30, 30, 0}}) {
        Image image(20, 20);
        font::drawText(image, p.left, p.top, "H", 2, {255, 255, 255});
        std::size_t lit = 0;
        for (std::uint32_t y = 0; y < 20; ++y) {
            for (std::uint32_t x = 0; x < 20; ++x)
                lit += image.at(x, y).red == 255;
        }
        EXPECT_EQ(lit, p.pixels) << "at " << p.left << ", " << p.top;
    }
}

TEST(bitmap_font, measures_text_without_a_trailing_gap) {
    EXPECT_EQ(font::textWidth("", 2), 0);
    EXPECT_EQ(font::textWidth("7", 2), 10);
    EXPECT_EQ(font::textWidth("30", 2), 22);
    EXPECT_EQ(font::textWidth("30", 1), 11);
    EXPECT_EQ(font::textHeight(2), 16);
}

}  // namespace
