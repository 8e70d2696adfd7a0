#include "land/land_writer.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "land/land_format.hpp"

namespace bmp2land::land {
namespace {

bool put(ByteSink& out, Bytes bytes) {
    return out.put(bytes);
}

template <std::size_t N>
bool put(ByteSink& out, const std::array<std::uint8_t, N>& bytes) {
    return out.put(Bytes(bytes));
}

bool writeLndHeader(const LandModel& model, ByteSink& out) {
    std::array<std::uint8_t, kLndHeaderSize> header{};
    std::copy(kLndMagic.begin(), kLndMagic.end(), header.begin());
    storeU32(header, 4, kLandFileSize);
    storeU32(header, 8, model.width);
    storeU32(header, 12, model.height);
    storeU16(header, 16, 0);
    storeU16(header, 18, 0);
    storeU32(header, 20, static_cast<std::uint32_t>(kObjectCount));
    return put(out, header);
}

bool writePositions(const LandModel& model, ByteSink& out) {
    std::array<std::uint8_t, kPositionsSize> records{};
    for (std::size_t i = 0; i < kObjectCount; ++i) {
        storeU32(records, i * kPositionSize, model.positions[i].x);
        storeU32(records, i * kPositionSize + 4, model.positions[i].y);
    }
    return put(out, records);
}

bool writeSeparator(ByteSink& out) {
    return put(out, std::array<std::uint8_t, kSeparatorSize>{});
}

// Magic, chunk length, a zero byte, bits per pixel and flags.
void fillImgCommonHeader(MutableBytes header, std::uint32_t chunkLength, std::uint8_t bitsPerPixel,
                         std::uint8_t flags) {
    std::copy(kImgMagic.begin(), kImgMagic.end(), header.begin());
    storeU32(header, 4, chunkLength);
    header[8] = 0;
    header[9] = bitsPerPixel;
    header[10] = flags;
}

void fillImgSize(MutableBytes header, std::size_t offset, std::uint32_t width,
                 std::uint32_t height) {
    storeU16(header, offset, static_cast<std::uint16_t>(width & 0xFFFFU));
    storeU16(header, offset + 2, static_cast<std::uint16_t>(height & 0xFFFFU));
}

bool writePictureChunk(const LandModel& model, ByteSink& out) {
    std::array<std::uint8_t, kPictureHeaderSize> header{};
    fillImgCommonHeader(header, kPictureChunkLength, model.bitsPerPixel, kPictureFlags);
    storeU16(header, kImgCommonHeaderSize, static_cast<std::uint16_t>(kColourCount));
    std::size_t at = kImgCommonHeaderSize + 2;
    for (const RgbTriplet& colour : model.colours) {
        header[at++] = colour.red;
        header[at++] = colour.green;
        header[at++] = colour.blue;
    }
    fillImgSize(header, at, model.width, model.height);
    return put(out, header) && put(out, model.pixels);
}

bool writeBitmaskChunk(std::uint32_t chunkLength, std::uint32_t width, std::uint32_t height,
                       Bytes data, ByteSink& out) {
    std::array<std::uint8_t, kBitmaskHeaderSize> header{};
    fillImgCommonHeader(header, chunkLength, kBitmaskBitsPerPixel, kBitmaskFlags);
    fillImgSize(header, kImgCommonHeaderSize, width, height);
    return put(out, header) && put(out, data);
}

bool writeMaskChunk(const LandModel& model, ByteSink& out) {
    return writeBitmaskChunk(kMaskChunkLength, model.width, model.height, model.mask, out);
}

bool writeBlankChunk(ByteSink& out) {
    static constexpr std::array<std::uint8_t, kBlankDataSize> kBlank{};
    return writeBitmaskChunk(kBlankChunkLength, kBlankWidth, kBlankHeight, kBlank, out);
}

bool writePath(std::string_view path, ByteSink& out) {
    std::array<std::uint8_t, kPathRecordSize> record{};
    record[0] = static_cast<std::uint8_t>(path.size());
    std::copy(path.begin(), path.end(), record.begin() + 1);
    return put(out, record);
}

}  // namespace

std::unique_ptr<platform::ReplacementFile> create() {
    return platform::ReplacementFile::create(std::string(kLandFileName));
}

bool write(const LandModel& model, ByteSink& out) {
    return writeLndHeader(model, out) &&     //
           writePositions(model, out) &&     //
           writeSeparator(out) &&            //
           writePictureChunk(model, out) &&  //
           writeMaskChunk(model, out) &&     //
           writeMaskChunk(model, out) &&     //
           writeBlankChunk(out) &&           //
           writePath(kLevelPath, out) &&     //
           writePath(kWaterPath, out);
}

}  // namespace bmp2land::land
