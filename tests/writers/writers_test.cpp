// Bitmaps saved by the programs people really draw levels with, converted by
// the built program and checked against what each test itself drew.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "scratch_dir.hpp"
#include "writer_program.hpp"

namespace {

using namespace testing_support;

class writers : public ScratchDir {
  public:
    // Converts `bmp` and checks land.dat byte for byte against `picture`.
    void expectConverts(const std::string& bmp, const Picture& picture,
                        const std::vector<Colour>& palette) {
        const Outcome o = run(bmp);
        ASSERT_EQ(o.status, 0) << o.out;
        EXPECT_EQ(o.err, "");
        EXPECT_TRUE(sameBytes(landFile(), expectedLandFile(picture, palette)));
    }
};

std::uint32_t field32(const ByteVector& file, std::size_t at) {
    return static_cast<std::uint32_t>(file.at(at) | file.at(at + 1) << 8 | file.at(at + 2) << 16 |
                                      file.at(at + 3) << 24);
}

struct BmpFields {
    std::uint32_t offBits, infoSize, compression, sizeImage, clrUsed;
};

BmpFields fieldsOf(const ByteVector& file) {
    return {field32(file, 10), field32(file, 14), field32(file, 30), field32(file, 34),
            field32(file, 46)};
}

// The writer must not have renumbered the colours: read its file back through
// ImageMagick as a plain 40-byte bitmap and compare palette and indexes.
void expectIndexesKept(const std::string& convert, const std::string& bmp, const Picture& picture) {
    const std::string plain = bmp + ".plain.bmp";
    ASSERT_EQ(
        std::system((convert + " " + quote(bmp) + " -compress none BMP3:" + quote(plain)).c_str()),
        0);
    const ByteVector back = readFile(plain);
    ASSERT_EQ(fieldsOf(back).offBits, 1078U);
    ASSERT_GE(back.size(), 1078 + kPixels);
    const auto palette = samplePalette();
    for (std::size_t i = 0; i < 256; ++i) {
        ASSERT_TRUE(back[56 + 4 * i] == palette[i].red && back[55 + 4 * i] == palette[i].green &&
                    back[54 + 4 * i] == palette[i].blue)
            << "ImageMagick moved palette entry " << i << "; the converter is not to blame";
    }
    ASSERT_TRUE(std::equal(picture.indexes.begin(), picture.indexes.end(), back.begin() + 1078))
        << "ImageMagick changed pixel indexes; the converter is not to blame";
}

struct ImageMagickCase {
    const char* output;  // ImageMagick's output argument, options first
    std::uint32_t infoSize;
    std::optional<std::uint32_t> compression;  // none: a core header has no such field
};

void convertWithImageMagick(writers& test, const ImageMagickCase& c) {
    const std::string convert =
        program(IMAGEMAGICK_CONVERT, "ImageMagick (convert-im6.q16 or magick)");
    if (convert.empty())
        return;
    const Picture picture = samplePicture();
    writeFile(test.at("source.bmp"), makeBmp(picture));
    const Outcome made = test.shell(convert + " source.bmp " + c.output);
    ASSERT_EQ(made.status, 0) << made.err;
    const BmpFields fields = fieldsOf(readFile(test.at("level.bmp")));
    ASSERT_EQ(fields.infoSize, c.infoSize);
    if (c.compression) {
        ASSERT_EQ(fields.compression, *c.compression);
    }
    expectIndexesKept(convert, test.at("level.bmp"), picture);
    test.expectConverts("level.bmp", picture, samplePalette());
}

TEST_F(writers, imagemagick_rle8_v5) {
    convertWithImageMagick(*this, {"level.bmp", 124, 1});
}
TEST_F(writers, imagemagick_bmp3_rle8) {
    convertWithImageMagick(*this, {"BMP3:level.bmp", 40, 1});
}
TEST_F(writers, imagemagick_uncompressed_v5) {
    convertWithImageMagick(*this, {"-compress none level.bmp", 124, 0});
}
TEST_F(writers, imagemagick_bmp3_uncompressed) {
    convertWithImageMagick(*this, {"-compress none BMP3:level.bmp", 40, 0});
}
TEST_F(writers, imagemagick_bmp2_core_header) {
    convertWithImageMagick(*this, {"BMP2:level.bmp", 12, std::nullopt});
}

TEST_F(writers, pillow_mode_p) {
    const std::string python = program(PILLOW_PYTHON, "Pillow for /usr/bin/python3");
    if (python.empty())
        return;
    const Picture picture = samplePicture();
    ByteVector topDown;
    for (std::size_t y = 0; y < kH; ++y) {
        const auto row = picture.indexes.begin() + static_cast<std::ptrdiff_t>((kH - 1 - y) * kW);
        topDown.insert(topDown.end(), row, row + kW);
    }
    ByteVector rgb;
    for (const Colour& c : samplePalette())
        rgb.insert(rgb.end(), {c.red, c.green, c.blue});
    writeFile(at("indexes.raw"), topDown);
    writeFile(at("palette.raw"), rgb);
    const Outcome made =
        shell(python +
              " -c 'from PIL import Image\n"
              "im = Image.frombytes(\"P\", (1920, 696), open(\"indexes.raw\", \"rb\").read())\n"
              "im.putpalette(open(\"palette.raw\", \"rb\").read())\n"
              "im.save(\"level.bmp\")'");
    ASSERT_EQ(made.status, 0) << made.err;
    const BmpFields fields = fieldsOf(readFile(at("level.bmp")));
    ASSERT_EQ(fields.infoSize, 40U);
    ASSERT_EQ(fields.sizeImage, 1336320U);
    expectConverts("level.bmp", picture, samplePalette());
}

void putPpm(const std::string& path, std::size_t width, std::size_t height,
            const std::vector<Colour>& pixels) {
    const std::string head =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    ByteVector file(head.begin(), head.end());
    for (const Colour& c : pixels)
        file.insert(file.end(), {c.red, c.green, c.blue});
    writeFile(path, file);
}

// ppmtobmp numbers the colours itself, so only colours are compared. Its
// -mapfile fixes the palette, the one way to put the marker colour at 255;
// the other 95 colours go to entries 1 to 95 in an order unlike the source's.
TEST_F(writers, netpbm_ppmtobmp_8bpp) {
    const std::string ppmtobmp = program(NETPBM_PPMTOBMP, "netpbm's ppmtobmp");
    if (ppmtobmp.empty())
        return;
    const Colour marker{255, 0, 255};
    const auto colours = samplePalette();  // entries 0 to 94 are the picture's 95 colours
    Picture picture = samplePicture();
    std::vector<Colour> rgb;
    for (std::size_t y = 0; y < kH; ++y) {
        for (std::size_t x = 0; x < kW; ++x) {
            const std::uint8_t v = picture.at(x, y);
            rgb.push_back(v == 255 ? marker : colours[v % 95]);
        }
    }
    std::vector<Colour> map = {{1, 1, 1}};
    for (std::size_t k = 95; k-- > 0;)
        map.push_back(colours[k]);
    while (map.size() < 255)
        map.push_back({7, 7, static_cast<std::uint8_t>(map.size())});
    map.push_back(marker);
    putPpm(at("source.ppm"), kW, kH, rgb);
    putPpm(at("map.ppm"), 256, 1, map);
    const Outcome made = shell(ppmtobmp + " -bpp 8 -mapfile=map.ppm source.ppm >level.bmp");
    ASSERT_EQ(made.status, 0) << made.err;
    const BmpFields fields = fieldsOf(readFile(at("level.bmp")));
    ASSERT_EQ(fields.sizeImage, 0U);
    ASSERT_EQ(fields.clrUsed, 0U);

    const Outcome o = run("level.bmp");
    ASSERT_EQ(o.status, 0) << o.out;
    const ByteVector land = landFile();
    ASSERT_EQ(land.size(), 1673661U);
    std::size_t position = 0;
    for (std::size_t stored = 0; stored < kH; ++stored) {  // markers: bottom row first
        for (std::size_t x = 0; x < kW; ++x) {
            const std::size_t y = kH - 1 - stored;
            if (picture.at(x, y) != 255)
                continue;
            ASSERT_LT(position, 30U);
            EXPECT_EQ(field32(land, 24 + 8 * position), x);
            EXPECT_EQ(field32(land, 28 + 8 * position), y);
            ++position;
        }
    }
    for (std::size_t k = 0; k < kPixels; ++k) {
        const std::uint8_t v = land[570 + k];
        const bool maskBit = (land[1336905 + k / 8] >> (k % 8)) & 1U;
        const Colour want = rgb[k];
        if (want.red == marker.red && want.green == marker.green && want.blue == marker.blue) {
            ASSERT_EQ(v, 0) << "marker pixel " << k;
        } else {
            ASSERT_TRUE(v >= 1 && v <= 95) << "pixel " << k << " has index " << int(v);
            const std::size_t at = 281 + 3 * (v - 1U);
            ASSERT_TRUE(land[at] == want.red && land[at + 1] == want.green &&
                        land[at + 2] == want.blue)
                << "pixel " << k;
        }
        ASSERT_EQ(maskBit, v != 0) << "mask bit " << k;
    }
    EXPECT_TRUE(std::equal(land.begin() + 1336890 + 15, land.begin() + 1503945,
                           land.begin() + 1503945 + 15));
}

// The program's own test encoder, using every RLE8 code: deltas across a row
// and down over blank rows, early end-of-line, odd and even literals, and an
// end-of-bitmap before the blank top of the picture.
struct Rle8Codes {
    int deltas = 0, endsOfLine = 0, endsOfBitmap = 0, literals = 0;
};

ByteVector encodeSparseRle8(const Picture& p, Rle8Codes& used) {
    ByteVector out;
    const auto blankRow = [&](std::size_t row) {
        return std::all_of(p.indexes.begin() + static_cast<std::ptrdiff_t>(row * kW),
                           p.indexes.begin() + static_cast<std::ptrdiff_t>((row + 1) * kW),
                           [](std::uint8_t v) { return v == 0; });
    };
    std::size_t row = 0;
    while (row < kH) {
        const std::uint8_t* line = &p.indexes[row * kW];
        std::size_t end = kW;
        while (end > 0 && line[end - 1] == 0)
            --end;
        for (std::size_t x = 0; x < end;) {
            std::size_t same = 1;
            while (x + same < end && same < 255 && line[x + same] == line[x])
                ++same;
            if (line[x] == 0 && same >= 4) {
                out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(same), 0});
                ++used.deltas;
            } else if (same >= 3) {
                out.insert(out.end(), {static_cast<std::uint8_t>(same), line[x]});
            } else {
                std::size_t n = 0;  // a literal until a run of three starts
                while (x + n < end && n < 255 &&
                       !(x + n + 2 < end && line[x + n] == line[x + n + 1] &&
                         line[x + n] == line[x + n + 2]))
                    ++n;
                if (n < 3) {
                    for (std::size_t i = 0; i < n; ++i)
                        out.insert(out.end(), {1, line[x + i]});
                } else {
                    out.insert(out.end(), {0, static_cast<std::uint8_t>(n)});
                    out.insert(out.end(), line + x, line + x + n);
                    if (n % 2 == 1)
                        out.push_back(0);
                    ++used.literals;
                }
                same = n;
            }
            x += same;
        }
        std::size_t blank = 0;
        while (row + 1 + blank < kH && blankRow(row + 1 + blank))
            ++blank;
        if (row + 1 + blank == kH) {
            out.insert(out.end(), {0, 1});
            ++used.endsOfBitmap;
            break;
        }
        out.insert(out.end(), {0, 0});
        ++used.endsOfLine;
        row += 1 + blank;
        for (std::size_t left = blank; left > 0;) {
            const std::size_t step = std::min<std::size_t>(left, 255);
            out.insert(out.end(), {0, 2, 0, static_cast<std::uint8_t>(step)});
            ++used.deltas;
            left -= step;
        }
    }
    return out;
}

TEST_F(writers, own_rle8_deltas) {
    Picture picture;  // sky on top, a blank band, islands of land
    for (std::size_t y = 120; y < kH; ++y) {
        if (y >= 300 && y < 310)
            continue;
        for (std::size_t x = 0; x < kW; ++x) {
            if ((x / 160 + y / 90) % 3 == 0)
                continue;
            picture.at(x, y) =
                static_cast<std::uint8_t>(x % 7 < 4 ? 1 + (x * 3 + y) % 95 : 40 + y % 50);
        }
    }
    for (std::size_t i = 0; i < 30; ++i)
        picture.at(30 + i * 60, 130 + i * 18) = 255;
    Rle8Codes used;
    BmpOptions options;
    options.compression = 1;
    writeFile(at("level.bmp"), makeBmp(options, samplePalette(), encodeSparseRle8(picture, used)));
    ASSERT_GT(used.deltas, 0);
    ASSERT_GT(used.endsOfLine, 0);
    ASSERT_EQ(used.endsOfBitmap, 1);
    ASSERT_GT(used.literals, 0);
    expectConverts("level.bmp", picture, samplePalette());
}

}  // namespace
