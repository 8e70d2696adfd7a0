#include "land/land_records.hpp"

#include <algorithm>

namespace bmp2land::land {
namespace {

// Magic, chunk length, a zero byte, bits per pixel and flags.
void fillImgCommonHeader(MutableBytes header, std::uint32_t chunkLength, std::uint8_t bitsPerPixel,
                         std::uint8_t flags) {
    std::copy(kImgMagic.begin(), kImgMagic.end(), header.begin());
    storeU32(header, 4, chunkLength);
    header[8] = 0;
    header[kImgBitsOffset] = bitsPerPixel;
    header[10] = flags;
}

// Widths and heights are stored as their low 16 bits.
void fillImgSize(MutableBytes header, std::size_t offset, std::uint32_t width,
                 std::uint32_t height) {
    storeU16(header, offset, static_cast<std::uint16_t>(width & 0xFFFFU));
    storeU16(header, offset + 2, static_cast<std::uint16_t>(height & 0xFFFFU));
}

}  // namespace

LndHeader encodeLndHeader(std::uint32_t width, std::uint32_t height) {
    LndHeader header{};
    std::copy(kLndMagic.begin(), kLndMagic.end(), header.begin());
    storeU32(header, 4, kLandFileSize);
    storeU32(header, kLndWidthOffset, width);
    storeU32(header, kLndHeightOffset, height);
    storeU16(header, 16, 0);
    storeU16(header, 18, 0);
    storeU32(header, 20, static_cast<std::uint32_t>(kObjectCount));
    return header;
}

PositionRecords encodePositions(const std::array<ObjectPosition, kObjectCount>& positions) {
    PositionRecords records{};
    for (std::size_t i = 0; i < kObjectCount; ++i) {
        storeU32(records, i * kPositionSize, positions[i].x);
        storeU32(records, i * kPositionSize + 4, positions[i].y);
    }
    return records;
}

PictureHeader encodePictureHeader(const LandModel& model) {
    PictureHeader header{};
    fillImgCommonHeader(header, kPictureChunkLength, model.bitsPerPixel, kPictureFlags);
    storeU16(header, kImgCommonHeaderSize, static_cast<std::uint16_t>(kColourCount));
    std::size_t at = kImgColoursOffset;
    for (const RgbTriplet& colour : model.colours) {
        header[at++] = colour.red;
        header[at++] = colour.green;
        header[at++] = colour.blue;
    }
    fillImgSize(header, kPictureSizeOffset, model.width, model.height);
    return header;
}

BitmaskHeader encodeBitmaskHeader(std::uint32_t chunkLength, std::uint32_t width,
                                  std::uint32_t height) {
    BitmaskHeader header{};
    fillImgCommonHeader(header, chunkLength, kBitmaskBitsPerPixel, kBitmaskFlags);
    fillImgSize(header, kImgCommonHeaderSize, width, height);
    return header;
}

PathRecord encodePath(std::string_view path) {
    PathRecord record{};
    record[0] = static_cast<std::uint8_t>(path.size());
    std::copy(path.begin(), path.end(), record.begin() + 1);
    return record;
}

}  // namespace bmp2land::land
