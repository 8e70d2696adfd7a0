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
    putChunk(png, "IDAT", zlibStored(scanlines));
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace testing_support
