#include "png_assembler.hpp"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

namespace testing_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

// PNG's integers are big-endian; zlib's stored-block lengths are little-endian.
void putBigEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putLittleEndian16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return ~std::accumulate(
        bytes.begin(), bytes.end(), 0xFFFFFFFFU,
        [](std::uint32_t c, std::uint8_t b) { return table[(c ^ b) & 0xFFU] ^ (c >> 8); });
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t v : bytes) {
        a = (a + v) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes zlibStored(std::span<const std::uint8_t> data) {
    constexpr std::size_t kMaxBlock = 65535;
    Bytes out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary; a multiple of 31
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kMaxBlock, data.size() - at);
        const bool last = at + length == data.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        putLittleEndian16(out, static_cast<std::uint16_t>(length));
        putLittleEndian16(out, static_cast<std::uint16_t>(~length));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(at),
                   data.begin() + std::ptrdiff_t(at + length));
        at += length;
    } while (at < data.size());
    putBigEndian32(out, adler32(data));
    return out;
}

// Deflate's bits, least significant first; Huffman codes go most
// significant first.
class DeflateBits {
  public:
    explicit DeflateBits(Bytes& out) : out_(out) {}
    void put(std::uint32_t value, unsigned bits) {
        for (unsigned i = 0; i < bits; ++i) {
            if (used_ == 0)
                out_.push_back(0);
            if ((value >> i) & 1U)
                out_.back() |= static_cast<std::uint8_t>(1U << used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void putCode(std::uint32_t code, unsigned bits) {
        for (unsigned i = bits; i-- > 0;)
            put((code >> i) & 1U, 1);
    }
    // A literal, a length's symbol or the end, in the fixed code.
    void putSymbol(unsigned symbol) {
        if (symbol < 144)
            putCode(0x30 + symbol, 8);
        else if (symbol < 256)
            putCode(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            putCode(symbol - 256, 7);
        else
            putCode(0xC0 + symbol - 280, 8);
    }

  private:
    Bytes& out_;
    unsigned used_ = 0;
};

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distances of up to 8 bytes: a pixel of any depth back.
constexpr std::array<std::uint8_t, 6> kDistanceBase = {1, 2, 3, 4, 5, 7};
constexpr std::array<std::uint8_t, 6> kDistanceExtra = {0, 0, 0, 0, 1, 1};
constexpr std::size_t kMaxMatch = 258;
constexpr std::size_t kMaxDistance = 8;

void putMatch(DeflateBits& bits, std::size_t length, std::size_t distance) {
    std::size_t l = kLengthBase.size() - 1;
    while (kLengthBase[l] > length)
        --l;
    bits.putSymbol(257 + static_cast<unsigned>(l));
    bits.put(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    std::size_t d = kDistanceBase.size() - 1;
    while (kDistanceBase[d] > distance)
        --d;
    bits.putCode(static_cast<std::uint32_t>(d), 5);
    bits.put(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of one block in the fixed code: at each byte the longest
// repeat of the last 1 to 8 bytes, else the byte.
Bytes zlibFixed(std::span<const std::uint8_t> data) {
    Bytes out = {0x78, 0x01};
    DeflateBits bits(out);
    bits.put(1, 1);  // BFINAL
    bits.put(1, 2);  // BTYPE 01: the fixed code
    for (std::size_t at = 0; at < data.size();) {
        std::size_t best = 0;
        std::size_t bestDistance = 0;
        for (std::size_t d = 1; d <= std::min(kMaxDistance, at); ++d) {
            std::size_t n = 0;
            while (n < kMaxMatch && at + n < data.size() && data[at + n] == data[at + n - d])
                ++n;
            if (n > best) {
                best = n;
                bestDistance = d;
            }
        }
        if (best >= 3) {
            putMatch(bits, best, bestDistance);
            at += best;
        } else {
            bits.putSymbol(data[at++]);
        }
    }
    bits.putSymbol(256);
    putBigEndian32(out, adler32(data));
    return out;
}

void putChunk(Bytes& out, std::string_view type, std::span<const std::uint8_t> data) {
    putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian32(out, crc32(std::span(out).subspan(typeAt)));
}

}  // namespace

std::vector<std::uint8_t> assemblePng(const PngLayout& layout, std::span<const std::uint8_t> plte,
                                      std::span<const std::uint8_t> trns,
                                      std::span<const std::uint8_t> scanlines) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    putBigEndian32(header, layout.width);
    putBigEndian32(header, layout.height);
    // Deflate, adaptive filtering, and no interlace or Adam7.
    header.insert(header.end(), {layout.bitDepth, layout.colourType, 0, 0,
                                 static_cast<std::uint8_t>(layout.interlaced ? 1 : 0)});
    putChunk(png, "IHDR", header);
    if (!plte.empty())
        putChunk(png, "PLTE", plte);
    if (!trns.empty())
        putChunk(png, "tRNS", trns);
    putChunk(png, "IDAT", layout.compressed ? zlibFixed(scanlines) : zlibStored(scanlines));
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace testing_support
