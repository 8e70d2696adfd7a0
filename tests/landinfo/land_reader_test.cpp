#include "landinfo/land_reader.hpp"

#include <gtest/gtest.h>

#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "landinfo/land_export.hpp"
#include "test_bitmaps.hpp"

namespace {

using namespace bmp2land;
using namespace testing_support;

// bitmap bytes -> land file bytes, as the program does it.
ByteVector landFileOf(const ByteVector& bmp) {
    const auto headers = bitmap::readHeaders(bmp);
    EXPECT_TRUE(headers);
    const auto image = bitmap::readBody(bmp, *headers);
    EXPECT_TRUE(image);
    const auto model = land::convert(*image);
    EXPECT_TRUE(model);
    MemorySink sink;
    EXPECT_TRUE(land::write(*model, sink));
    return sink.data;
}

ByteVector exported(const ByteVector& landFile) {
    const auto file = landinfo::readLandFile(landFile);
    EXPECT_TRUE(file) << (file ? "" : file.error().problem);
    MemorySink sink;
    EXPECT_TRUE(bitmap::writeBitmap(landinfo::toBitmap(file->model), sink));
    return sink.data;
}

TEST(LandReader, ExportedBitmapsConvertBackByteForByte) {
    Picture corners;  // all 0 but for markers, four of them in the corners
    for (auto [x, y] : {std::pair{0, 0}, {1919, 0}, {0, 695}, {1919, 695}})
        corners.at(x, y) = 255;
    for (std::size_t i = 0; i < 26; ++i)
        corners.at(100 + i * 7, 300) = 255;
    Picture full = samplePicture();
    for (auto& v : full.indexes)
        v = v == 0 ? 7 : v;  // no 0 left but the markers
    for (const Picture& picture : {samplePicture(), corners, full}) {
        const ByteVector landFile = landFileOf(makeBmp(picture));
        const ByteVector bmp = exported(landFile);
        EXPECT_EQ(bmp.size(), 1078U + 1336320U);
        EXPECT_EQ(landFileOf(bmp), landFile);
    }
}

TEST(LandReader, NamesTheDamagedRecordAndItsOffset) {
    const ByteVector good = landFileOf(makeBmp(samplePicture()));
    const struct {
        std::size_t at;
        std::uint8_t value;
        const char* record;
        const char* problem;
        std::size_t offset;
    } cases[] = {
        {1, 'X', "LND header", "bad magic", 0},
        {5, 0, "LND header", "bad file length", 4},
        {9, 0, "LND header", "bad width", 8},
        {17, 1, "LND header", "bad reserved field", 16},
        {20, 29, "LND header", "bad object count", 20},
        {24 + 8 * 3 + 1, 0x08, "object positions", "position outside the picture", 48},
        {266, 1, "separator", "bad value", 264},
        {268, 'J', "IMG chunk 1", "bad magic", 268},
        {272, 0, "IMG chunk 1", "bad chunk length", 272},
        {277, 4, "IMG chunk 1", "bad bits per pixel", 277},
        {278, 0, "IMG chunk 1", "bad flags", 278},
        {279, 94, "IMG chunk 1", "bad colour count", 279},
        {567, 0, "IMG chunk 1", "bad width", 566},
        {1336890, 0, "IMG chunk 2", "bad magic", 1336890},
        {1336899, 8, "IMG chunk 2", "bad bits per pixel", 1336899},
        {1503945 + 13, 0, "IMG chunk 3", "bad height", 1503958},
        {1671000 + 11, 241, "IMG chunk 4", "bad width", 1671011},
        {1673625, 16, "level path", "bad length", 1673625},
        {1673643, 18, "water path", "bad length", 1673643},
    };
    for (const auto& c : cases) {
        ByteVector damaged = good;
        damaged[c.at] = c.value;
        const auto file = landinfo::readLandFile(damaged);
        ASSERT_FALSE(file) << c.record << " " << c.problem;
        EXPECT_EQ(file.error().record, c.record);
        EXPECT_EQ(file.error().problem, c.problem) << c.record;
        EXPECT_EQ(file.error().offset, c.offset) << c.record << " " << c.problem;
    }
    for (std::size_t size : {0U, 23U, 1336890U + 20U, 1673660U}) {
        const auto file = landinfo::readLandFile(Bytes(good).first(size));
        ASSERT_FALSE(file) << size;
        EXPECT_EQ(file.error().problem, "cut short");
        EXPECT_EQ(file.error().offset, size);
    }
    for (const auto& [extra, problem] :
         {std::pair<std::size_t, const char*>{1, "1 extra byte"}, {3, "3 extra bytes"}}) {
        ByteVector longer = good;
        longer.insert(longer.end(), extra, 0);
        const auto file = landinfo::readLandFile(longer);
        ASSERT_FALSE(file) << problem;
        EXPECT_EQ(file.error().problem, problem);
        EXPECT_EQ(file.error().offset, 1673661U) << problem;
    }
    ByteVector longer = good;
    longer.resize(good.size() + 3);
    // Only the start of a long file is read; its real length counts.
    const auto start = landinfo::readLandFile(Bytes(longer).first(1673662), 1673761);
    ASSERT_FALSE(start);
    EXPECT_EQ(start.error().problem, "100 extra bytes");
}

// A damaged file hands back every record before its first problem, and of
// the record it is in what can be shown: whole positions, the bytes of a
// chunk cut short. Nothing after it, and the same problem as readLandFile.
TEST(LandReader, HandsBackWhatWasReadBeforeTheFirstProblem) {
    const ByteVector good = landFileOf(makeBmp(samplePicture()));
    const auto damaged = [&](std::size_t at, std::uint8_t value) {
        ByteVector f = good;
        f[at] = value;
        return f;
    };
    const auto cut = [&](std::size_t size) {
        return ByteVector(good.begin(), good.begin() + size);
    };
    ByteVector longer = good;
    longer.push_back(0);
    constexpr std::size_t kWhole = 1336320;
    constexpr std::size_t kMask = 167040;
    const struct {
        const char* name;
        ByteVector file;
        const char* record;  // "" for a good file
        std::size_t objects;
        bool colours;
        std::size_t pixels, mask, secondMask, blank;
        bool paths;
    } cases[] = {
        {"good", good, "", 30, true, kWhole, kMask, kMask, 2610, true},
        {"bad LND magic", damaged(0, 'X'), "LND header", 0, false, 0, 0, 0, 0, false},
        {"cut in the LND header", cut(20), "LND header", 0, false, 0, 0, 0, 0, false},
        {"cut after 5 positions and a half", cut(24 + 8 * 5 + 3), "object positions", 5, false, 0,
         0, 0, 0, false},
        {"position 4 outside", damaged(24 + 8 * 3 + 1, 0x08), "object positions", 30, false, 0, 0,
         0, 0, false},
        {"bad separator", damaged(266, 1), "separator", 30, false, 0, 0, 0, 0, false},
        {"bad colour count", damaged(279, 94), "IMG chunk 1", 30, false, 0, 0, 0, 0, false},
        {"cut in the picture", cut(700000), "IMG chunk 1", 30, true, 700000 - 570, 0, 0, 0, false},
        {"bad mask magic", damaged(1336890, 'X'), "IMG chunk 2", 30, true, kWhole, 0, 0, 0, false},
        {"cut in the mask", cut(1336890 + 15 + 100), "IMG chunk 2", 30, true, kWhole, 100, 0, 0,
         false},
        {"bad second mask height", damaged(1503945 + 13, 0), "IMG chunk 3", 30, true, kWhole, kMask,
         0, 0, false},
        {"bad level path length", damaged(1673625, 16), "level path", 30, true, kWhole, kMask,
         kMask, 2610, false},
        {"an extra byte", longer, "end of file", 30, true, kWhole, kMask, kMask, 2610, true},
    };
    const auto goodFile = landinfo::readLandFile(good);
    ASSERT_TRUE(goodFile);
    for (const auto& c : cases) {
        const landinfo::LandFileReading r = landinfo::readLandFileRecords(c.file, c.file.size());
        const auto whole = landinfo::readLandFile(c.file);
        ASSERT_EQ(r.error.has_value(), *c.record != '\0') << c.name;
        ASSERT_EQ(whole.ok(), !r.error) << c.name;
        if (r.error) {
            EXPECT_EQ(r.error->record, c.record) << c.name;
            EXPECT_EQ(r.error->problem, whole.error().problem) << c.name;
            EXPECT_EQ(r.error->offset, whole.error().offset) << c.name;
        }
        const land::LandModel& m = r.file.model;
        const land::LandModel& g = goodFile->model;
        EXPECT_EQ(r.objects, c.objects) << c.name;
        for (std::size_t i = 0; i < r.objects; ++i) {
            const bool outside = c.file[24 + 8 * i + 1] != good[24 + 8 * i + 1];
            EXPECT_EQ(m.positions[i].x,
                      outside ? (g.positions[i].x & ~0xFF00U) | 0x800U : g.positions[i].x)
                << c.name << " " << i;
            EXPECT_EQ(m.positions[i].y, g.positions[i].y) << c.name << " " << i;
        }
        EXPECT_EQ(r.coloursRead, c.colours) << c.name;
        EXPECT_EQ(m.colours[40].red, c.colours ? g.colours[40].red : 0) << c.name;
        EXPECT_TRUE(std::equal(m.pixels.begin(), m.pixels.end(), g.pixels.begin(),
                               g.pixels.begin() + static_cast<std::ptrdiff_t>(c.pixels)))
            << c.name;
        EXPECT_EQ(m.pixels.size(), c.pixels) << c.name;
        EXPECT_EQ(m.mask.size(), c.mask) << c.name;
        EXPECT_TRUE(std::equal(m.mask.begin(), m.mask.end(), g.mask.begin())) << c.name;
        EXPECT_EQ(r.file.secondMask.size(), c.secondMask) << c.name;
        EXPECT_EQ(r.file.blank.size(), c.blank) << c.name;
        EXPECT_EQ(r.file.levelPath, c.paths ? goodFile->levelPath : "") << c.name;
        EXPECT_EQ(r.file.waterPath, c.paths ? goodFile->waterPath : "") << c.name;
    }
}

}  // namespace
