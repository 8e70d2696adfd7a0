#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "png/png_reader.hpp"

namespace bmp2land::png {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A chunk: 4-byte length, 4-byte type, data, 4-byte CRC. Integers are big-endian.
constexpr std::size_t kChunkLengthSize = 4;
constexpr std::size_t kChunkTypeSize = 4;
constexpr std::size_t kChunkCrcSize = 4;
constexpr std::size_t kChunkFrame = kChunkLengthSize + kChunkTypeSize + kChunkCrcSize;

// IHDR: width, height, bit depth, colour type, compression, filter, interlace.
constexpr std::size_t kIhdrSize = 13;
constexpr std::size_t kIhdrBitDepth = 8;
constexpr std::size_t kIhdrColourType = 9;
constexpr std::size_t kIhdrInterlace = 12;
constexpr std::uint32_t kMaxDimension = 0x7FFFFFFF;
constexpr std::size_t kPlteEntrySize = 3;
constexpr std::size_t kMaxPaletteEntries = 256;

std::uint32_t loadBigU32(Bytes bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

struct Chunk {
    std::string_view type;
    Bytes data;
};

bool isType(const Chunk& chunk, std::string_view type) {
    return chunk.type == type;
}

bool isType(Bytes chunkType, std::string_view type) {
    return std::equal(chunkType.begin(), chunkType.end(), type.begin(), type.end());
}

Unexpected<PngFailure> failure(PngError kind) {
    return fail(PngFailure{kind, {}});
}

// The depths each colour type allows.
bool isValidDepth(ColourType type, std::uint8_t depth) {
    switch (type) {
        case ColourType::Grey:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case ColourType::Indexed:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case ColourType::Rgb:
        case ColourType::GreyAlpha:
        case ColourType::Rgba:
            return depth == 8 || depth == 16;
    }
    return false;
}

bool isColourType(std::uint8_t v) {
    return v == 0 || v == 2 || v == 3 || v == 4 || v == 6;
}

Expected<PngHeader, PngFailure> decodeIhdr(const Chunk& chunk) {
    if (!isType(chunk, "IHDR") || chunk.data.size() != kIhdrSize)
        return failure(PngError::Corrupt);
    PngHeader header;
    const Bytes d = chunk.data;
    header.width = loadBigU32(d, 0);
    header.height = loadBigU32(d, 4);
    header.bitDepth = d[kIhdrBitDepth];
    const std::uint8_t type = d[kIhdrColourType];
    if (header.width == 0 || header.height == 0 || header.width > kMaxDimension ||
        header.height > kMaxDimension || !isColourType(type) || d[kIhdrInterlace] > 1)
        return failure(PngError::Corrupt);
    header.colourType = static_cast<ColourType>(type);
    header.interlaced = d[kIhdrInterlace] == 1;
    if (!isValidDepth(header.colourType, header.bitDepth))
        return failure(PngError::Corrupt);
    return header;
}

void readPalette(const Chunk& chunk, PngHeader& header) {
    const std::size_t entries = std::min(chunk.data.size() / kPlteEntrySize, kMaxPaletteEntries);
    header.palette.resize(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = i * kPlteEntrySize;
        header.palette[i] = Rgba{chunk.data[at], chunk.data[at + 1], chunk.data[at + 2], kOpaque};
    }
}

// For an indexed picture tRNS holds an opacity for each of the first entries.
void readTransparency(const Chunk& chunk, PngHeader& header) {
    header.transparencyChunk = true;
    const std::size_t n = std::min(chunk.data.size(), header.palette.size());
    for (std::size_t i = 0; i < n; ++i)
        header.palette[i].alpha = chunk.data[i];
}

void putBigU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

}  // namespace

std::size_t indexRange(const PngHeader& header) {
    return std::size_t{1} << std::min<unsigned>(header.bitDepth, 8);
}

std::vector<std::uint8_t> forDecoder(Bytes file, std::size_t entries) {
    std::vector<std::uint8_t> out;
    const auto append = [&out](Bytes part) { out.insert(out.end(), part.begin(), part.end()); };
    std::uint64_t at = std::min(file.size(), kSignature.size());
    append(file.first(static_cast<std::size_t>(at)));
    // Every chunk whole as it is but PLTE, grown, and IDAT of no data, left
    // out; what follows the last whole chunk, as it is.
    while (file.size() - at >= kChunkFrame) {
        const auto start = static_cast<std::size_t>(at);
        const std::uint64_t length = loadBigU32(file, start);
        if (file.size() - at - kChunkFrame < length)
            break;
        const auto size = static_cast<std::size_t>(length);
        const Bytes chunk = file.subspan(start, kChunkFrame + size);
        const Bytes type = chunk.subspan(kChunkLengthSize, kChunkTypeSize);
        at += chunk.size();
        const std::size_t grownSize = entries * kPlteEntrySize;
        if (isType(type, "IDAT") && size == 0)
            continue;
        // A palette that ends inside an entry stays as it is: damaged.
        if (isType(type, "PLTE") && size < grownSize && size % kPlteEntrySize == 0) {
            putBigU32(out, static_cast<std::uint32_t>(grownSize));
            append(type);
            append(chunk.subspan(kChunkLengthSize + kChunkTypeSize, size));
            out.resize(out.size() + grownSize - size, 0);
            append(chunk.last(kChunkCrcSize));
        } else {
            append(chunk);
        }
    }
    append(file.subspan(static_cast<std::size_t>(at)));
    return out;
}

bool isPng(Bytes file) {
    return file.size() >= kSignature.size() &&
           std::equal(kSignature.begin(), kSignature.end(), file.begin());
}

Expected<PngHeader, PngFailure> readPngHeader(Bytes file) {
    if (!isPng(file))
        return failure(PngError::NotPng);
    std::uint64_t at = kSignature.size();
    std::optional<PngHeader> header;
    // Walks the chunks to IEND; every length is checked against what is
    // left of the file first.
    bool imageData = false;
    while (true) {
        const std::uint64_t left = file.size() - at;
        const std::uint64_t length =
            left >= kChunkFrame ? loadBigU32(file, static_cast<std::size_t>(at)) : 0;
        if (left < kChunkFrame || left - kChunkFrame < length) {
            if (!header)
                return failure(PngError::Truncated);
            header->cutShort = true;
            return std::move(*header);
        }
        const auto start = static_cast<std::size_t>(at);
        const Chunk chunk{
            std::string_view(reinterpret_cast<const char*>(file.data() + start + kChunkLengthSize),
                             kChunkTypeSize),
            file.subspan(start + kChunkLengthSize + kChunkTypeSize,
                         static_cast<std::size_t>(length))};
        at += kChunkFrame + length;
        if (!header) {
            auto decoded = decodeIhdr(chunk);
            if (!decoded)
                return decoded;
            header = std::move(*decoded);
        } else if (isType(chunk, "IEND")) {
            return std::move(*header);
        } else if (isType(chunk, "IDAT")) {
            imageData = true;
            header->emptyImageData = header->emptyImageData || chunk.data.empty();
        } else if (isType(chunk, "PLTE") && !imageData) {
            readPalette(chunk, *header);
        } else if (isType(chunk, "tRNS") && !imageData) {
            readTransparency(chunk, *header);
        }
    }
}

}  // namespace bmp2land::png
