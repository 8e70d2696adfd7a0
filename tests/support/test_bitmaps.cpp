#include "test_bitmaps.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {
namespace {

void put16(ByteVector& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(ByteVector& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void set32(ByteVector& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

}  // namespace

Picture samplePicture(int markers) {
    Picture p;
    for (std::size_t y = 0; y < kH; ++y) {
        for (std::size_t x = 0; x < kW; ++x) {
            std::uint8_t v = 0;  // sky
            if (y > 300 + (x % 97))
                v = 1 + (x * y) % 95;  // land
            if (y > 500 && x % 300 < 40)
                v = 0;  // caves
            if (x % 211 == 7 && y > 100)
                v = 96 + (y % 150);  // indexes past the colour table
            p.at(x, y) = v;
        }
    }
    for (int i = 0; i < markers; ++i) {
        p.at((static_cast<std::size_t>(i) * 61 + 13) % kW,
             (static_cast<std::size_t>(i) * 23 + 5) % kH) = 255;
    }
    return p;
}

std::vector<Colour> samplePalette() {
    std::vector<Colour> palette;
    for (int i = 0; i < 256; ++i) {
        palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7)});
    }
    return palette;
}

ByteVector makeBmp(const BmpOptions& o, const std::vector<Colour>& palette,
                   const ByteVector& pixelData) {
    const bool core = o.infoHeaderSize == 12;
    ByteVector out;
    put16(out, o.signature);
    put32(out, 0);  // bfSize, set below
    put32(out, 0);  // reserved
    put32(out, 0);  // bfOffBits, set below
    const std::size_t infoStart = out.size();
    const std::int32_t height = o.topDown ? -o.height : o.height;
    put32(out, o.infoHeaderSize);
    if (core) {
        put16(out, static_cast<std::uint32_t>(o.width) & 0xFFFF);
        put16(out, static_cast<std::uint32_t>(height) & 0xFFFF);
        put16(out, 1);
        put16(out, o.bitCount);
    } else {
        put32(out, static_cast<std::uint32_t>(o.width));
        put32(out, static_cast<std::uint32_t>(height));
        put16(out, 1);
        put16(out, o.bitCount);
        put32(out, o.compression);
        put32(out, o.sizeImage.value_or(static_cast<std::uint32_t>(pixelData.size())));
        put32(out, 2835);
        put32(out, 2835);
        put32(out, o.clrUsed);
        put32(out, 0);
        for (std::size_t i = 0; i < 4 && out.size() + 4 <= infoStart + o.infoHeaderSize; ++i)
            put32(out, o.masks[i]);  // the masks of a V2 to V5 header
        out.resize(infoStart + std::max<std::size_t>(o.infoHeaderSize, 40), 0);
    }
    for (std::size_t i = 0; i < o.maskBytes / 4; ++i)
        put32(out, o.masks[i % 4]);
    for (std::size_t i = 0; i < o.storedColours; ++i) {
        const Colour c = i < palette.size() ? palette[i] : Colour{0, 0, 0};
        out.insert(out.end(), {c.blue, c.green, c.red});
        if (!core)
            out.push_back(0);
    }
    out.resize(out.size() + o.gapAfterPalette, 0xEE);
    set32(out, 10, o.offBits.value_or(static_cast<std::uint32_t>(out.size())));
    if (o.topDown) {
        const auto rows = static_cast<std::size_t>(o.height);
        if (pixelData.size() % rows != 0)
            throw std::logic_error("a top-down bitmap needs whole rows");
        const std::size_t row = pixelData.size() / rows;
        for (std::size_t end = pixelData.size(); end > 0; end -= row)
            out.insert(out.end(), pixelData.begin() + static_cast<std::ptrdiff_t>(end - row),
                       pixelData.begin() + static_cast<std::ptrdiff_t>(end));
    } else {
        out.insert(out.end(), pixelData.begin(), pixelData.end());
    }
    set32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

ByteVector makeBmp(const Picture& picture) {
    return makeBmp(BmpOptions{}, samplePalette(), picture.indexes);
}

ByteVector encodeRle8(const Picture& picture) {
    ByteVector out;
    for (std::size_t row = 0; row < kH; ++row) {
        const std::uint8_t* line = &picture.indexes[row * kW];
        for (std::size_t x = 0; x < kW;) {
            std::size_t n = 1;
            while (x + n < kW && n < 255 && line[x + n] == line[x])
                ++n;
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(line[x]);
            x += n;
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

ByteVector expectedLandFile(const Picture& picture, const std::vector<Colour>& palette) {
    ByteVector file(1673661, 0);
    const auto put = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes)
            file[at++] = b;
    };
    put(0, {'L', 'N', 'D', 0x1A});
    set32(file, 4, 1673661);
    set32(file, 8, 1920);
    set32(file, 12, 696);
    set32(file, 20, 30);

    // Top-down picture with the markers taken out, found bottom row first.
    ByteVector topDown(kPixels);
    std::size_t found = 0;
    for (std::size_t stored = 0; stored < kH; ++stored) {
        const std::size_t y = kH - 1 - stored;
        for (std::size_t x = 0; x < kW; ++x) {
            std::uint8_t v = picture.indexes[stored * kW + x];
            if (v == 255) {
                if (found >= 30)
                    throw std::logic_error("more than 30 markers");
                set32(file, 24 + found * 8, static_cast<std::uint32_t>(x));
                set32(file, 28 + found * 8, static_cast<std::uint32_t>(y));
                ++found;
                v = 0;
            }
            topDown[y * kW + x] = v;
        }
    }
    if (found != 30)
        throw std::logic_error("fewer than 30 markers");

    put(268, {'I', 'M', 'G', 0x1A});
    set32(file, 272, 1336622);
    put(276, {0, 8, 0x80});
    put(279, {95, 0});
    for (std::size_t k = 0; k < 95; ++k) {
        put(281 + 3 * k, {palette[k + 1].red, palette[k + 1].green, palette[k + 1].blue});
    }
    put(566, {0x80, 0x07, 0xB8, 0x02});  // 1920, 696
    std::copy(topDown.begin(), topDown.end(), file.begin() + 570);

    for (std::size_t chunk : {std::size_t{1336890}, std::size_t{1503945}}) {
        put(chunk, {'I', 'M', 'G', 0x1A});
        set32(file, chunk + 4, 167055);
        put(chunk + 8, {0, 1, 0, 0x80, 0x07, 0xB8, 0x02});
        for (std::size_t k = 0; k < kPixels; ++k) {
            if (topDown[k] != 0)
                file[chunk + 15 + k / 8] |= static_cast<std::uint8_t>(1U << (k % 8));
        }
    }
    put(1671000, {'I', 'M', 'G', 0x1A});
    set32(file, 1671004, 2625);
    put(1671008, {0, 1, 0, 240, 0, 87, 0});
    const std::string paths = "\x11.\\data\\level\\GULF\x11.\\data\\water\\Blue";
    std::copy(paths.begin(), paths.end(), file.begin() + 1673625);
    return file;
}

::testing::AssertionResult sameBytes(const ByteVector& got, const ByteVector& expected) {
    if (got.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << got.size() << " bytes where " << expected.size() << " were expected";
    }
    const auto diff = std::mismatch(got.begin(), got.end(), expected.begin());
    if (diff.first != got.end())
        return ::testing::AssertionFailure()
               << "first difference at offset " << (diff.first - got.begin());
    return ::testing::AssertionSuccess();
}

ByteVector readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testing_support
