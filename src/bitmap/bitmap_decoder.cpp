#include "bitmap/bitmap_decoder.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>
#include <optional>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "bitmap/rle8.hpp"

namespace bmp2land::bitmap {
namespace {

constexpr std::size_t kBiSizeOffset = kFileHeaderSize;
constexpr std::size_t kBiSizeEnd = kBiSizeOffset + 4;
constexpr std::size_t kCoreHeadersSize = kFileHeaderSize + kCoreHeaderSize;  // 26
// Bit-field masks: red, green, blue, alpha, right after the first 40 bytes of
// the info header, whether they belong to a longer header or follow it.
constexpr std::size_t kMasksOffset = kHeadersSize;
constexpr std::size_t kMaskSize = 4;
constexpr std::uint32_t kV3HeaderSize = 56;  // the first with an alpha mask field
constexpr std::uint16_t kHighColour = 16;
constexpr std::uint16_t kTrueColour = 24;
constexpr std::uint16_t kDeepColour = 32;
constexpr unsigned kChannelBits = 8;

// Red, green, blue, alpha; 0 where a channel is absent.
using Masks = std::array<std::uint32_t, 4>;
constexpr Masks kDefault16 = {0x7C00, 0x03E0, 0x001F, 0};  // 5-5-5
constexpr Masks kDefault32 = {0xFF0000, 0xFF00, 0xFF, 0};  // the top byte unnamed
constexpr std::uint32_t kFourthByte = 0xFF000000;

Unexpected<DecodeFailure> refused(DecodeError kind) {
    return fail(DecodeFailure{.kind = kind});
}

Unexpected<DecodeFailure> truncated(BitmapPart part) {
    return fail(DecodeFailure{.kind = DecodeError::Truncated, .part = part});
}

bool isKnownBitCount(std::uint16_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == kBitCount || bits == kHighColour ||
           bits == kTrueColour || bits == kDeepColour;
}

bool hasBitFields(std::uint32_t compression) {
    return compression == kBiBitFields || compression == kBiAlphaBitFields;
}

bool isRle(std::uint32_t compression) {
    return compression == kBiRle8 || compression == kBiRle4;
}

// Bit fields mean nothing at 8 bits and fewer, where the converter takes such
// pixels as plain indexes; this reads them the same way.
bool isSupportedCompression(const BitmapShape& shape) {
    const std::uint32_t c = shape.compression;
    if (c == kBiRgb)
        return true;
    if (hasBitFields(c))
        return shape.bitCount != kTrueColour;
    if (c == kBiRle8)
        return shape.bitCount == kBitCount && !shape.topDown;
    if (c == kBiRle4)
        return shape.bitCount == 4 && !shape.topDown;
    return false;
}

// The masks of a 16- or 32-bit picture.
Expected<Masks, DecodeFailure> readMasks(Bytes file, const BitmapShape& shape) {
    if (!hasBitFields(shape.compression))
        return shape.bitCount == kHighColour ? kDefault16 : kDefault32;
    const bool alpha = shape.compression == kBiAlphaBitFields || shape.headerSize >= kV3HeaderSize;
    const std::size_t count = alpha ? 4 : 3;
    if (file.size() < kMasksOffset + count * kMaskSize)
        return truncated(BitmapPart::Headers);
    Masks masks{};
    for (std::size_t i = 0; i < count; ++i)
        masks[i] = loadU32(file, kMasksOffset + i * kMaskSize);
    return masks;
}

// Masks that follow a 40-byte header rather than lie inside a longer one.
std::uint64_t masksAfterHeader(const BitmapShape& shape) {
    if (shape.headerSize != kInfoHeaderSize || shape.paletted() || !hasBitFields(shape.compression))
        return 0;
    return (shape.compression == kBiAlphaBitFields ? 4 : 3) * kMaskSize;
}

// Where the palette and pixels lie, for any bit count but 8, whose files are
// laid out by the converter's own rules. A palette is as long as the bit
// count allows when the bytes before the pixels hold that many entries, else
// as biClrUsed (or, after a core header, the room) says; pixels that would
// start inside the palette start after it.
BodyLayout colourLayout(const BitmapHeaders& headers, const BitmapShape& shape) {
    const bool core = shape.headerSize == kCoreHeaderSize;
    const std::uint64_t offBits = headers.file.bfOffBits;
    const std::uint64_t infoEnd =
        kFileHeaderSize + std::uint64_t{shape.headerSize} + masksAfterHeader(shape);
    BodyLayout layout;
    layout.paletteOffset = core ? kCoreHeadersSize : infoEnd;
    layout.paletteEntrySize = core ? kCorePaletteEntrySize : kPaletteEntrySize;
    const std::uint64_t full = shape.paletted() ? std::uint64_t{1} << shape.bitCount : 0;
    const std::uint64_t room = offBits > layout.paletteOffset
                                   ? (offBits - layout.paletteOffset) / layout.paletteEntrySize
                                   : 0;
    const std::uint32_t used = headers.info.biClrUsed;
    if (room >= full || (core && room == 0)) {
        layout.paletteEntries = full;
    } else if (core) {
        layout.paletteEntries = room;
    } else {
        layout.paletteEntries = used >= 1 && used <= full ? used : full;
    }
    layout.pixelOffset = std::max(offBits, layout.paletteEnd());
    return layout;
}

BitmapHeaders decodeAnyHeaders(Bytes file) {
    std::array<std::uint8_t, kHeadersSize> start{};
    std::copy_n(file.begin(), std::min(file.size(), start.size()), start.begin());
    return decodeHeaders(start);
}

std::uint64_t rowStride(const BitmapShape& shape) {
    const std::uint64_t bits =
        std::uint64_t(static_cast<std::uint32_t>(shape.width)) * shape.bitCount;
    return (bits + 31) / 32 * 4;
}

// The bytes the last row needs without its padding, which some writers leave out.
std::uint64_t lastRowBytes(const BitmapShape& shape) {
    const std::uint64_t bits =
        std::uint64_t(static_cast<std::uint32_t>(shape.width)) * shape.bitCount;
    return (bits + 7) / 8;
}

std::size_t rowOf(const BitmapShape& shape, std::size_t stored) {
    const auto rows = static_cast<std::size_t>(shape.height);
    return shape.topDown ? stored : rows - 1 - stored;
}

void readPalette(Bytes file, const BodyLayout& layout, std::vector<RgbQuad>& palette) {
    const auto entries = static_cast<std::size_t>(layout.paletteEntries);
    const auto size = static_cast<std::size_t>(layout.paletteEntrySize);
    palette.resize(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = static_cast<std::size_t>(layout.paletteOffset) + i * size;
        palette[i] = RgbQuad{file[at], file[at + 1], file[at + 2], 0};
    }
}

std::uint8_t indexAt(const std::uint8_t* row, std::size_t x, std::uint16_t bits) {
    if (bits == kBitCount)
        return row[x];
    const std::size_t perByte = kChannelBits / bits;
    const unsigned shift = kChannelBits - bits * static_cast<unsigned>(x % perByte + 1);
    return static_cast<std::uint8_t>((row[x / perByte] >> shift) & ((1U << bits) - 1));
}

void readPlainIndexes(Bytes pixels, const BitmapShape& shape, std::vector<std::uint8_t>& out) {
    const auto width = static_cast<std::size_t>(shape.width);
    const auto stride = static_cast<std::size_t>(rowStride(shape));
    for (std::size_t stored = 0; stored < static_cast<std::size_t>(shape.height); ++stored) {
        const std::uint8_t* row = pixels.data() + stored * stride;
        std::uint8_t* target = out.data() + rowOf(shape, stored) * width;
        for (std::size_t x = 0; x < width; ++x)
            target[x] = indexAt(row, x, shape.bitCount);
    }
}

// RLE streams are bottom-up: decoded in stored order, then turned.
std::optional<DecodeFailure> readRleIndexes(Bytes stream, const BitmapShape& shape,
                                            std::vector<std::uint8_t>& out) {
    const auto width = static_cast<std::size_t>(shape.width);
    const auto rows = static_cast<std::size_t>(shape.height);
    const RleCodes codes = shape.compression == kBiRle8 ? RleCodes::Rle8 : RleCodes::Rle4;
    const Rle8Result result = decodeRle(stream, codes, width, rows, out);
    if (result.status == Rle8Status::Truncated)
        return DecodeFailure{.kind = DecodeError::Truncated, .part = BitmapPart::Rle8Data};
    if (result.status == Rle8Status::Corrupt)
        return DecodeFailure{.kind = DecodeError::Corrupt};
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(out.begin() + static_cast<std::ptrdiff_t>(top * width),
                         out.begin() + static_cast<std::ptrdiff_t>((top + 1) * width),
                         out.begin() + static_cast<std::ptrdiff_t>(bottom * width));
    return std::nullopt;
}

void colourIndexes(ColourBitmap& bitmap) {
    bitmap.pixels.resize(bitmap.indexes.size());
    std::array<Rgba, kPaletteEntries> colours{};  // past the stored palette: black
    for (std::size_t i = 0; i < bitmap.palette.size(); ++i) {
        const RgbQuad& q = bitmap.palette[i];
        colours[i] = Rgba{q.red, q.green, q.blue, kOpaque};
    }
    std::transform(bitmap.indexes.begin(), bitmap.indexes.end(), bitmap.pixels.begin(),
                   [&](std::uint8_t v) { return colours[v]; });
}

// One channel of a bit-field pixel, scaled to 8 bits.
class Channel {
  public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask),
          shift_(mask == 0 ? 0 : static_cast<unsigned>(std::countr_zero(mask))),
          bits_(mask == 0 ? 0 : static_cast<unsigned>(std::bit_width(mask >> shift_))) {}

    [[nodiscard]] std::uint8_t operator()(std::uint32_t value) const {
        if (bits_ == 0)
            return 0;
        const std::uint64_t v = (value & mask_) >> shift_;
        if (bits_ >= kChannelBits)
            return static_cast<std::uint8_t>(v >> (bits_ - kChannelBits));
        const std::uint64_t top = (std::uint64_t{1} << bits_) - 1;
        return static_cast<std::uint8_t>((v * 255 + top / 2) / top);
    }
    [[nodiscard]] bool present() const { return bits_ != 0; }

  private:
    std::uint32_t mask_;
    unsigned shift_;
    unsigned bits_;
};

// Returns whether the pixels keep an alpha channel: not where it is 0 everywhere.
bool readDirectColours(Bytes pixels, const BitmapShape& shape, const Masks& masks,
                       std::vector<Rgba>& out) {
    const auto width = static_cast<std::size_t>(shape.width);
    const auto stride = static_cast<std::size_t>(rowStride(shape));
    const std::size_t bytes = shape.bitCount / kChannelBits;
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const Channel alpha(masks[3]);
    for (std::size_t stored = 0; stored < static_cast<std::size_t>(shape.height); ++stored) {
        const std::size_t rowStart = stored * stride;
        Rgba* target = out.data() + rowOf(shape, stored) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t at = rowStart + x * bytes;
            if (shape.bitCount == kTrueColour) {
                target[x] = Rgba{pixels[at + 2], pixels[at + 1], pixels[at], kOpaque};
                continue;
            }
            const std::uint32_t v =
                shape.bitCount == kHighColour ? loadU16(pixels, at) : loadU32(pixels, at);
            target[x] = Rgba{red(v), green(v), blue(v), alpha.present() ? alpha(v) : kOpaque};
        }
    }
    const bool allClear =
        std::all_of(out.begin(), out.end(), [](const Rgba& p) { return p.alpha == 0; });
    if (allClear) {
        for (Rgba& p : out)
            p.alpha = kOpaque;
    }
    return alpha.present() && !allClear;
}

}  // namespace

Expected<BitmapShape, DecodeFailure> inspectBitmap(Bytes file) {
    if (file.size() < kBiSizeEnd)
        return truncated(BitmapPart::Headers);
    const std::uint32_t biSize = loadU32(file, kBiSizeOffset);
    const bool core = biSize == kCoreHeaderSize;
    if (file.size() < (core ? kCoreHeadersSize : kHeadersSize))
        return truncated(BitmapPart::Headers);
    const InfoHeader info = decodeAnyHeaders(file).info;
    // The converter reads 8-bit files with shorter headers as if they were 40
    // bytes long; other bit counts need a header that has their fields.
    if (!core && biSize < kInfoHeaderSize && info.biBitCount != kBitCount)
        return refused(DecodeError::UnsupportedHeader);
    if (!isKnownBitCount(info.biBitCount))
        return refused(DecodeError::UnsupportedBitCount);
    const std::int64_t height = info.biHeight;
    if (info.biWidth <= 0 || height == 0)
        return refused(DecodeError::BadSize);
    BitmapShape shape;
    shape.width = info.biWidth;
    shape.topDown = height < 0;
    if (height < -std::int64_t{std::numeric_limits<std::int32_t>::max()})
        return refused(DecodeError::BadSize);
    shape.height = static_cast<std::int32_t>(shape.topDown ? -height : height);
    shape.bitCount = info.biBitCount;
    shape.compression = info.biCompression;
    shape.headerSize = biSize;
    if (!isSupportedCompression(shape))
        return refused(DecodeError::UnsupportedCompression);
    if (!shape.paletted()) {
        const auto masks = readMasks(file, shape);
        if (!masks)
            return fail(masks.error());
        shape.alphaChannel = (*masks)[3] != 0;
    }
    return shape;
}

Expected<ColourBitmap, DecodeFailure> decodeBitmap(Bytes file, std::uint64_t maxPixels) {
    const auto inspected = inspectBitmap(file);
    if (!inspected)
        return fail(inspected.error());
    const BitmapShape& shape = *inspected;
    if (shape.pixelCount() > maxPixels)
        return refused(DecodeError::TooLarge);

    const BitmapHeaders headers = decodeAnyHeaders(file);
    const BodyLayout layout =
        shape.bitCount == kBitCount ? bodyLayout(headers) : colourLayout(headers, shape);
    const std::uint64_t size = file.size();
    const bool rle = isRle(shape.compression);
    const BitmapPart pixelPart = rle ? BitmapPart::Rle8Data : BitmapPart::Pixels;
    if (layout.paletteOffset > size)
        return truncated(BitmapPart::Headers);
    if (layout.paletteEnd() > size)
        return truncated(BitmapPart::Palette);
    if (layout.pixelOffset > size)
        return truncated(pixelPart);
    const std::uint64_t rows = static_cast<std::uint32_t>(shape.height);
    if (!rle && size - layout.pixelOffset < rowStride(shape) * (rows - 1) + lastRowBytes(shape))
        return truncated(pixelPart);

    ColourBitmap bitmap;
    bitmap.shape = shape;
    const Bytes pixels = file.subspan(static_cast<std::size_t>(layout.pixelOffset));
    const auto count = static_cast<std::size_t>(shape.pixelCount());
    if (shape.paletted()) {
        readPalette(file, layout, bitmap.palette);
        bitmap.indexes.assign(count, 0);
        if (rle) {
            if (const auto failure = readRleIndexes(pixels, shape, bitmap.indexes))
                return fail(*failure);
        } else {
            readPlainIndexes(pixels, shape, bitmap.indexes);
        }
        colourIndexes(bitmap);
        return bitmap;
    }
    Masks masks = *readMasks(file, shape);  // inspectBitmap has read them once
    // Without bit fields the fourth byte of 32 bits has no name, but writers
    // of RGBA (Pillow among them) keep alpha there, and readers take it.
    if (shape.bitCount == kDeepColour && shape.compression == kBiRgb)
        masks[3] = kFourthByte;
    bitmap.pixels.resize(count);
    const bool alpha = readDirectColours(pixels, shape, masks, bitmap.pixels);
    bitmap.shape.alphaChannel = shape.alphaChannel || alpha;
    return bitmap;
}

}  // namespace bmp2land::bitmap
