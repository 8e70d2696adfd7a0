// The preview: land in its stored colours over the sky colour, a ring and a
// number at each object, each problem in the signal colour and named in the
// legend, and the texts of a file that can't be used. Text is read back from
// the picture glyph by glyph.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "preview/bitmap_font.hpp"
#include "preview/preview.hpp"
#include "text_reading.hpp"

namespace bmp2land::preview {

// For gtest's messages; found by argument-dependent lookup.
std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << "(" << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ")";
}

}  // namespace bmp2land::preview

namespace {

using namespace bmp2land::preview;
using testing_support::readText;

constexpr Rgb kSky = {189, 215, 238};
constexpr Rgb kSignal = {255, 0, 0};

std::uint32_t surface(std::uint32_t x) {
    const std::uint32_t t = x % 240;
    return 350 + (t < 120 ? t : 240 - t) / 2;
}

// Sky over hills of all 95 colours, and 30 objects 60 pixels apart just above
// the ground.
Scene levelScene() {
    Scene s;
    for (std::size_t i = 0; i < kLandColours; ++i) {
        s.colours[i] = {static_cast<std::uint8_t>(20 + 2 * i), static_cast<std::uint8_t>(200 - i),
                        static_cast<std::uint8_t>(i * 53 % 200)};
    }
    s.picture.assign(kPixelCount, 0);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            if (y >= surface(x)) {
                s.picture[std::size_t{y} * kWidth + x] =
                    static_cast<std::uint8_t>(1 + ((y - surface(x)) / 4 + x / 64) % 95);
            }
        }
    }
    for (std::uint32_t i = 0; i < 30; ++i) {
        const std::uint32_t x = 40 + 60 * i;
        s.objects.push_back({x, surface(x) - 3});
    }
    return s;
}

std::uint8_t& entryAt(Scene& s, std::uint32_t x, std::uint32_t y) {
    return s.picture[std::size_t{y} * kWidth + x];
}

// What the pixel shows where nothing is drawn over it; none where the
// picture was not read.
std::optional<Rgb> landColour(const Scene& s, std::uint32_t x, std::uint32_t y) {
    const std::size_t k = std::size_t{y} * kWidth + x;
    if (k >= s.picture.size())
        return std::nullopt;
    const std::uint8_t v = s.picture[k];
    if (v == 0)
        return kSky;
    return v <= 95 ? s.colours[v - 1U] : kSignal;
}

Box ringSquare(const Mark& m) {
    const std::int64_t reach = m.radius + 3;
    return {std::int64_t{m.centre.x} - reach, std::int64_t{m.centre.y} - reach, 2 * reach + 1,
            2 * reach + 1};
}

// Pixels under a ring, a label or the legend.
bool overlaid(const Preview& p, std::int64_t x, std::int64_t y) {
    return p.legend.contains(x, y) ||
           std::any_of(p.marks.begin(), p.marks.end(), [&](const Mark& m) {
               return ringSquare(m).contains(x, y) || m.label.contains(x, y);
           });
}

bool inPicture(std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x < kWidth && y < kHeight;
}

bool insidePicture(const Box& b) {
    return b.left >= 0 && b.top >= 0 && b.right() <= kWidth && b.bottom() <= kHeight;
}

Box labelText(const Mark& m) {
    return {m.label.left + kLabelPadding, m.label.top + kLabelPadding,
            m.label.width - 2 * kLabelPadding, m.label.height - 2 * kLabelPadding};
}

std::vector<std::string> legendText(const Preview& p) {
    std::vector<std::string> lines;
    for (const TextLine& line : p.legendLines)
        lines.push_back(readText(p.image, line.box));
    return lines;
}

const Mark* markOf(const Preview& p, const std::vector<std::size_t>& objects) {
    const auto it = std::find_if(p.marks.begin(), p.marks.end(),
                                 [&](const Mark& m) { return m.objects == objects; });
    return it == p.marks.end() ? nullptr : &*it;
}

// ---- land and sky ----

struct Recolouring {
    const char* name;
    std::size_t entry;  // 1 to 95; 0: none
    Rgb stored;
    Rgb shown;
};

std::ostream& operator<<(std::ostream& out, const Recolouring& r) {
    return out << r.name;
}

class land_and_sky : public ::testing::TestWithParam<Recolouring> {};

TEST_P(land_and_sky, in_their_colours_under_no_overlay) {
    const Recolouring& r = GetParam();
    Scene s = levelScene();
    if (r.entry > 0)
        s.colours[r.entry - 1] = r.stored;
    const Preview p = render(s);
    ASSERT_EQ(p.image.width(), kWidth);
    ASSERT_EQ(p.image.height(), kHeight);
    EXPECT_TRUE(p.findings.empty());
    EXPECT_EQ(p.legend.width, 0) << "a legend with nothing to say";

    std::size_t checked = 0;
    std::size_t recoloured = 0;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            if (overlaid(p, x, y))
                continue;
            ++checked;
            const std::uint8_t v = s.picture[std::size_t{y} * kWidth + x];
            Rgb expected = *landColour(s, x, y);
            if (r.entry > 0 && v == r.entry) {
                expected = r.shown;
                ++recoloured;
            }
            ASSERT_EQ(p.image.at(x, y), expected)
                << "at " << x << ", " << y << ", entry " << int{v};
        }
    }
    EXPECT_GT(checked, kPixelCount * 9 / 10);
    if (r.entry > 0) {
        EXPECT_GT(recoloured, 0U);
    }
}

INSTANTIATE_TEST_SUITE_P(
    preview, land_and_sky,
    ::testing::Values(
        Recolouring{"stored_colours", 0, {}, {}},
        Recolouring{"land_of_the_sky_colour_is_a_blue_level_off", 7, kSky, {189, 215, 237}},
        Recolouring{"land_of_the_signal_colour_is_a_blue_level_off", 12, kSignal, {255, 0, 1}},
        Recolouring{"near_the_sky_colour_stays", 20, {189, 215, 239}, {189, 215, 239}}),
    [](const ::testing::TestParamInfo<Recolouring>& p) { return std::string(p.param.name); });

// ---- rings and numbers ----

enum class Side { Any, Left, Right };

struct Placement {
    const char* name;
    std::vector<Point> objects;
    Side labelSide = Side::Any;  // where the labels must be, from their objects
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << p.name;
}

class rings : public ::testing::TestWithParam<Placement> {};

TEST_P(rings, centred_on_each_object_with_its_number_beside) {
    const Placement& c = GetParam();
    Scene s = levelScene();
    s.objects = c.objects;
    const Preview p = render(s);
    ASSERT_EQ(p.marks.size(), c.objects.size());

    constexpr std::array<std::array<int, 2>, 8> kBand = {
        {{10, 0}, {-10, 0}, {0, 10}, {0, -10}, {7, 7}, {-7, 7}, {7, -7}, {-7, -7}}};
    constexpr std::array<std::array<int, 2>, 4> kEdge = {{{12, 0}, {-12, 0}, {0, 12}, {0, -12}}};
    for (std::size_t i = 0; i < c.objects.size(); ++i) {
        const Point at = c.objects[i];
        SCOPED_TRACE("object " + std::to_string(i + 1));
        const Mark* m = markOf(p, {i + 1});
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->centre, at);
        EXPECT_FALSE(m->signal);
        EXPECT_EQ(p.image.at(at.x, at.y), *landColour(s, at.x, at.y)) << "the object's own pixel";
        for (const auto& [dx, dy] : kBand) {
            if (inPicture(at.x + dx, at.y + dy)) {
                EXPECT_EQ(p.image.at(at.x + dx, at.y + dy), kRingColour) << dx << ", " << dy;
            }
        }
        for (const auto& [dx, dy] : kEdge) {
            if (inPicture(at.x + dx, at.y + dy)) {
                EXPECT_EQ(p.image.at(at.x + dx, at.y + dy), kOutlineColour) << dx << ", " << dy;
            }
        }

        EXPECT_EQ(m->text, std::to_string(i + 1));
        EXPECT_TRUE(insidePicture(m->label));
        EXPECT_FALSE(m->label.overlaps(ringSquare(*m))) << "the number hides its own ring";
        EXPECT_EQ(readText(p.image, labelText(*m)), m->text);
        if (c.labelSide == Side::Left) {
            EXPECT_LE(m->label.right(), at.x);
        }
        if (c.labelSide == Side::Right) {
            EXPECT_GT(m->label.left, at.x);
        }

        // White glyphs on black: they differ from the land under them.
        std::size_t glyphPixels = 0;
        std::size_t standingOut = 0;
        for (std::int64_t y = m->label.top; y < m->label.bottom(); ++y) {
            for (std::int64_t x = m->label.left; x < m->label.right(); ++x) {
                const auto px = static_cast<std::uint32_t>(x);
                const auto py = static_cast<std::uint32_t>(y);
                const Rgb shown = p.image.at(px, py);
                ASSERT_TRUE(shown == kTextColour || shown == kOutlineColour) << x << ", " << y;
                if (shown == kTextColour) {
                    ++glyphPixels;
                    standingOut += !(shown == *landColour(s, px, py));
                }
            }
        }
        EXPECT_GT(glyphPixels, 20U);
        EXPECT_EQ(standingOut, glyphPixels);
    }
}

std::vector<Point> onTheSurface() {
    return levelScene().objects;
}

INSTANTIATE_TEST_SUITE_P(
    preview, rings,
    ::testing::Values(Placement{"thirty_on_the_surface", onTheSurface()},
                      Placement{"in_the_sky", {{960, 100}}}, Placement{"on_land", {{500, 600}}},
                      Placement{"at_the_left_edge", {{0, 200}}, Side::Right},
                      Placement{"at_the_right_edge", {{1919, 200}}, Side::Left},
                      Placement{"near_the_right_edge", {{1905, 500}}, Side::Left},
                      Placement{"at_the_top_edge", {{700, 0}}},
                      Placement{"in_the_bottom_right_corner", {{1919, 695}}, Side::Left},
                      Placement{"in_the_top_left_corner", {{0, 0}}, Side::Right}),
    [](const ::testing::TestParamInfo<Placement>& p) { return std::string(p.param.name); });

// ---- what is wrong ----

// A ring in the signal colour around these objects.
struct SignalRing {
    std::vector<std::size_t> objects;
    Point centre;
};

struct Trouble {
    const char* name;
    std::function<void(Scene&)> make;
    std::vector<Finding> findings;
    std::vector<std::string> legend;
    std::vector<Point> signalPixels;  // outside any overlay
    std::vector<SignalRing> rings;
};

std::ostream& operator<<(std::ostream& out, const Trouble& t) {
    return out << t.name;
}

constexpr Box kUnstored = {200, 500, 100, 50};

void paintUnstored(Scene& s) {
    for (std::int64_t y = kUnstored.top; y < kUnstored.bottom(); ++y) {
        for (std::int64_t x = kUnstored.left; x < kUnstored.right(); ++x) {
            const std::array<std::uint8_t, 3> entries = {96, 150, 254};
            entryAt(s, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) =
                entries[static_cast<std::size_t>(x % 3)];
        }
    }
}

// A soft brush's blot: a 3 x 3 square of objects after the 30.
void paintBlot(Scene& s) {
    for (std::uint32_t y = 200; y < 203; ++y) {
        for (std::uint32_t x = 1500; x < 1503; ++x)
            s.objects.push_back({x, y});
    }
}

std::vector<Point> unstoredPixels() {
    return {{200, 500}, {201, 500}, {202, 520}, {299, 549}, {250, 525}};
}

std::vector<Point> blotPixels() {
    return {{1500, 200}, {1501, 201}, {1502, 202}};
}

std::vector<std::size_t> numbers(std::size_t first, std::size_t last) {
    std::vector<std::size_t> n;
    for (std::size_t i = first; i <= last; ++i)
        n.push_back(i);
    return n;
}

class problems : public ::testing::TestWithParam<Trouble> {};

TEST_P(problems, in_the_signal_colour_and_named_in_the_legend) {
    const Trouble& t = GetParam();
    Scene s = levelScene();
    t.make(s);
    const Preview p = render(s);
    EXPECT_EQ(p.findings, t.findings);
    EXPECT_EQ(legendText(p), t.legend);
    if (t.legend.empty()) {
        EXPECT_EQ(p.legend.width, 0);
    } else {
        EXPECT_TRUE(insidePicture(p.legend));
    }
    for (const Point& at : t.signalPixels) {
        ASSERT_FALSE(p.legend.contains(at.x, at.y) ||
                     std::any_of(p.marks.begin(), p.marks.end(),
                                 [&](const Mark& m) { return m.label.contains(at.x, at.y); }))
            << at.x << ", " << at.y << " is not for this test";
        EXPECT_EQ(p.image.at(at.x, at.y), kSignal) << at.x << ", " << at.y;
    }
    for (const SignalRing& ring : t.rings) {
        const Mark* m = markOf(p, ring.objects);
        ASSERT_NE(m, nullptr) << "no ring for objects " << ring.objects.front() << "...";
        EXPECT_TRUE(m->signal);
        EXPECT_EQ(m->centre, ring.centre);
        const Point band = {m->centre.x, m->centre.y - static_cast<std::uint32_t>(m->radius)};
        EXPECT_EQ(p.image.at(band.x, band.y), kSignal) << "the ring's top";
    }
}

INSTANTIATE_TEST_SUITE_P(
    preview, problems,
    ::testing::Values(Trouble{"none", [](Scene&) {}, {}, {}, {}, {}},
                      Trouble{"colours_96_to_254",
                              paintUnstored,
                              {{Problem::UnstoredColours, 5000}},
                              {"colours 96 to 254, not stored: 5000 pixels"},
                              unstoredPixels(),
                              {}},
                      Trouble{"colour_255_away_from_the_objects",
                              [](Scene& s) {
                                  entryAt(s, 700, 600) = 255;
                                  entryAt(s, 701, 600) = 255;
                                  // at an object's own place it is that object
                                  entryAt(s, s.objects[0].x, s.objects[0].y) = 255;
                              },
                              {{Problem::ObjectColour, 2}},
                              {"colour 255, objects once converted: 2 pixels"},
                              {{700, 600}, {701, 600}},
                              {}},
                      Trouble{"a_brush_blot",
                              paintBlot,
                              {{Problem::TouchingObjects, 9}},
                              {"object pixels that touch (a brush blot): 9"},
                              blotPixels(),
                              {{numbers(31, 39), {1501, 201}}}},
                      Trouble{"two_objects_at_one_place",
                              [](Scene& s) { s.objects[5] = s.objects[2]; },
                              {{Problem::SharedPlaces, 1}},
                              {"objects at the place of an earlier one: 1"},
                              {},
                              {{{3, 6}, {160, 387}}}},
                      Trouble{"mask_differs",
                              [](Scene& s) {
                                  s.maskDisagrees.assign(kPixelCount, 0);
                                  for (std::uint32_t x = 1000; x < 1040; ++x)
                                      s.maskDisagrees[600 * kWidth + x] = 1;
                              },
                              {{Problem::MaskDisagrees, 40}},
                              {"mask differs from the picture: 40 pixels"},
                              {{1000, 600}, {1039, 600}},
                              {}},
                      Trouble{"mask_differs_at_one_pixel_of_a_short_list",
                              [](Scene& s) {
                                  s.maskDisagrees.assign(std::size_t{100} * kWidth + 51, 0);
                                  s.maskDisagrees.back() = 7;
                              },
                              {{Problem::MaskDisagrees, 1}},
                              {"mask differs from the picture: 1 pixel"},
                              {{50, 100}},
                              {}},
                      Trouble{"outside_the_picture",
                              [](Scene& s) {
                                  s.objects[0] = {5000, 300};
                                  s.objects[1] = {300, 0xFFFFFFFFU};
                              },
                              {{Problem::OutsidePositions, 2}},
                              {"objects outside the picture, shown at its edge: 2"},
                              {},
                              {{{1}, {1919, 300}}, {{2}, {300, 695}}}},
                      Trouble{"a_bitmap_with_a_blot_colours_96_to_254_and_a_duplicate",
                              [](Scene& s) {
                                  paintUnstored(s);
                                  paintBlot(s);
                                  s.objects[9] = s.objects[4];
                              },
                              {{Problem::UnstoredColours, 5000},
                               {Problem::TouchingObjects, 9},
                               {Problem::SharedPlaces, 1}},
                              {"colours 96 to 254, not stored: 5000 pixels",
                               "object pixels that touch (a brush blot): 9",
                               "objects at the place of an earlier one: 1"},
                              [] {
                                  std::vector<Point> all = unstoredPixels();
                                  for (const Point& b : blotPixels())
                                      all.push_back(b);
                                  return all;
                              }(),
                              {{numbers(31, 39), {1501, 201}}, {{5, 10}, {280, 367}}}},
                      Trouble{"only_the_top_read",
                              [](Scene& s) { s.picture.resize(std::size_t{400} * kWidth + 17); },
                              {{Problem::NotRead, kPixelCount - (400 * kWidth + 17)}},
                              {"not read (striped): " +
                               std::to_string(kPixelCount - (400 * kWidth + 17)) + " pixels"},
                              {},
                              {}}),
    [](const ::testing::TestParamInfo<Trouble>& p) { return std::string(p.param.name); });

TEST(preview, draws_what_was_not_read_in_two_greys) {
    Scene s = levelScene();
    s.picture.resize(std::size_t{400} * kWidth);
    const Preview p = render(s);
    std::array<std::size_t, 2> seen{};
    for (std::uint32_t y = 400; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            if (overlaid(p, x, y))
                continue;
            const Rgb shown = p.image.at(x, y);
            ASSERT_TRUE(shown == kUnknownColour || shown == kUnknownStripeColour) << x << ", " << y;
            ++seen[shown == kUnknownColour ? 0 : 1];
        }
    }
    EXPECT_GT(seen[0], 100000U);
    EXPECT_GT(seen[1], 100000U);
}

TEST(preview, draws_nothing_but_stripes_and_the_text_for_a_file_not_read_at_all) {
    Scene s;
    s.unreadable = "land.dat: bad magic at offset 0";
    const Preview p = render(s);
    EXPECT_EQ(legendText(p),
              (std::vector<std::string>{
                  "land.dat: bad magic at offset 0",
                  "not read (striped): " + std::to_string(kPixelCount) + " pixels"}));
    EXPECT_TRUE(p.marks.empty());
}

// ---- texts ----

struct Texts {
    const char* name;
    std::string verdict;
    std::string unreadable;
    std::vector<std::string> lines;
};

std::ostream& operator<<(std::ostream& out, const Texts& t) {
    return out << t.name;
}

class texts : public ::testing::TestWithParam<Texts> {};

TEST_P(texts, drawn_as_lines_in_the_legend) {
    const Texts& t = GetParam();
    Scene s = levelScene();
    s.verdict = t.verdict;
    s.unreadable = t.unreadable;
    const Preview p = render(s);
    EXPECT_EQ(legendText(p), t.lines);
    EXPECT_TRUE(insidePicture(p.legend));
    for (const TextLine& line : p.legendLines) {
        EXPECT_TRUE(insidePicture(line.box));
        EXPECT_LE(line.box.right(), p.legend.right());
    }
}

// Notes follow the verdict, each on lines of its own.
TEST(preview, notes_follow_the_verdict_in_the_legend) {
    Scene s = levelScene();
    s.verdict = "verdict: converts";
    s.notes = {"no sky: every pixel is land", "magenta left as land: 2 spots"};
    EXPECT_EQ(legendText(render(s)),
              (std::vector<std::string>{"verdict: converts", "no sky: every pixel is land",
                                        "magenta left as land: 2 spots"}));
}

const std::string kLongVerdict =
    "verdict: bmp2land will say \"Wrong number of objects!\": the picture has 49 object pixels, "
    "not 30; mark each object with one pixel of entry 255";

INSTANTIATE_TEST_SUITE_P(
    preview, texts,
    ::testing::Values(
        Texts{"verdict",
              "verdict: bmp2land will say \"Not 8-bit bitmap!\"",
              "",
              {"verdict: bmp2land will say \"Not 8-bit bitmap!\""}},
        Texts{"unreadable",
              "",
              "land.dat: IMG chunk 2 cut short at offset 1336890",
              {"land.dat: IMG chunk 2 cut short at offset 1336890"}},
        Texts{"verdict_first",
              "verdict: no",
              "could not be read",
              {"verdict: no", "could not be read"}},
        Texts{"a_long_line_wrapped_at_a_space",
              kLongVerdict,
              "",
              // as many words as fit in 90 characters
              {"verdict: bmp2land will say \"Wrong number of objects!\": the picture has 49 object "
               "pixels,",
               "not 30; mark each object with one pixel of entry 255"}},
        Texts{"a_word_too_long_is_cut",
              std::string(100, 'x'),
              "",
              {std::string(90, 'x'), std::string(10, 'x')}},
        Texts{"not_ascii_as_question_marks", "caf\xC3\xA9\tbar", "", {"caf???bar"}}),
    [](const ::testing::TestParamInfo<Texts>& p) { return std::string(p.param.name); });

// ---- where the legend goes ----

struct Crowding {
    const char* name;
    std::vector<Point> objects;
    Box corner;  // the quarter the legend must be in: the one with the free corner
};

std::ostream& operator<<(std::ostream& out, const Crowding& c) {
    return out << c.name;
}

class legend_corner : public ::testing::TestWithParam<Crowding> {};

TEST_P(legend_corner, hides_no_ring_where_a_corner_is_free) {
    const Crowding& c = GetParam();
    Scene s = levelScene();
    s.objects = c.objects;
    s.maskDisagrees.assign(kPixelCount, 0);
    s.maskDisagrees[350 * kWidth + 960] = 1;  // something to name
    s.verdict = "verdict: bmp2land will say \"Wrong number of objects!\"";
    const Preview p = render(s);
    ASSERT_GT(p.legend.width, 0);
    EXPECT_TRUE(insidePicture(p.legend));
    EXPECT_TRUE(p.legend.left >= c.corner.left && p.legend.right() <= c.corner.right() &&
                p.legend.top >= c.corner.top && p.legend.bottom() <= c.corner.bottom())
        << "legend at " << p.legend.left << ", " << p.legend.top;
    for (const Mark& m : p.marks) {
        EXPECT_FALSE(p.legend.overlaps(ringSquare(m))) << "hides object " << m.objects.front();
        EXPECT_FALSE(p.legend.overlaps(m.label)) << "hides the number of " << m.objects.front();
    }
}

// The quarters of the picture.
constexpr Box kTopLeft = {0, 0, kWidth / 2, kHeight / 2};
constexpr Box kTopRight = {kWidth / 2, 0, kWidth / 2, kHeight / 2};
constexpr Box kBottomLeft = {0, kHeight / 2, kWidth / 2, kHeight / 2};
constexpr Box kBottomRight = {kWidth / 2, kHeight / 2, kWidth / 2, kHeight / 2};

INSTANTIATE_TEST_SUITE_P(
    preview, legend_corner,
    ::testing::Values(Crowding{"all_free_top_left", {{960, 350}}, kTopLeft},
                      Crowding{"top_left_taken", {{30, 30}, {300, 40}}, kTopRight},
                      Crowding{
                          "top_taken", {{30, 30}, {1890, 30}, {300, 40}, {1600, 40}}, kBottomLeft},
                      Crowding{"all_but_bottom_right_taken",
                               {{30, 30}, {1890, 30}, {30, 660}, {300, 40}, {1600, 40}, {300, 660}},
                               kBottomRight}),
    [](const ::testing::TestParamInfo<Crowding>& p) { return std::string(p.param.name); });

}  // namespace
