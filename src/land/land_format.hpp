#pragma once

// The land file layout. Records follow one another with no padding; every
// integer is little-endian.
//
//   offset    length   record
//   0         24       LND header
//   24        240      30 object positions, x then y, 4 bytes each
//   264       4        32-bit zero
//   268       1336622  IMG chunk: the 8-bit picture with its 95 colours
//   1336890   167055   IMG chunk: the 1-bit mask
//   1503945   167055   IMG chunk: the same mask again
//   1671000   2625     IMG chunk: a blank 1-bit picture of 240 x 87
//   1673625   18       level path string
//   1673643   18       water path string
//   1673661            end

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "land/land_model.hpp"

namespace bmp2land::land {

using Magic = std::array<std::uint8_t, 4>;
inline constexpr Magic kLndMagic = {0x4C, 0x4E, 0x44, 0x1A};  // "LND" 0x1A
inline constexpr Magic kImgMagic = {0x49, 0x4D, 0x47, 0x1A};  // "IMG" 0x1A

// LND header: magic, file length, width, height, two 16-bit zeros, object count.
inline constexpr std::size_t kLndHeaderSize = 24;
inline constexpr std::size_t kPositionSize = 8;
inline constexpr std::size_t kPositionsSize = kObjectCount * kPositionSize;
inline constexpr std::size_t kSeparatorSize = 4;

// IMG chunk: magic, chunk length, a zero byte, bits per pixel, flags; in the
// picture chunk a colour count and table; then 16-bit width and height, data.
inline constexpr std::size_t kImgCommonHeaderSize = 11;
inline constexpr std::size_t kColourTableSize = 2 + kColourCount * 3;
inline constexpr std::size_t kImgSizeFieldsSize = 4;
inline constexpr std::size_t kPictureHeaderSize =
    kImgCommonHeaderSize + kColourTableSize + kImgSizeFieldsSize;  // 302
inline constexpr std::size_t kBitmaskHeaderSize = kImgCommonHeaderSize + kImgSizeFieldsSize;
inline constexpr std::uint8_t kPictureFlags = 0x80;  // the chunk carries a colour table
inline constexpr std::uint8_t kBitmaskFlags = 0;
inline constexpr std::uint8_t kBitmaskBitsPerPixel = 1;

inline constexpr std::uint32_t kPictureChunkLength = 1336622;
inline constexpr std::uint32_t kMaskChunkLength = 167055;
inline constexpr std::uint32_t kBlankChunkLength = 2625;
inline constexpr std::uint16_t kBlankWidth = 240;
inline constexpr std::uint16_t kBlankHeight = 87;
inline constexpr std::size_t kBlankDataSize = std::size_t{kBlankWidth} * kBlankHeight / 8;

inline constexpr std::string_view kLevelPath = ".\\data\\level\\GULF";
inline constexpr std::string_view kWaterPath = ".\\data\\water\\Blue";
inline constexpr std::size_t kPathRecordSize = 1 + kLevelPath.size();

inline constexpr std::uint32_t kLandFileSize = 1673661;

// Where each record starts.
inline constexpr std::size_t kPositionsOffset = kLndHeaderSize;
inline constexpr std::size_t kSeparatorOffset = kPositionsOffset + kPositionsSize;
inline constexpr std::size_t kPictureChunkOffset = kSeparatorOffset + kSeparatorSize;
inline constexpr std::size_t kMaskChunkOffset = kPictureChunkOffset + kPictureChunkLength;
inline constexpr std::size_t kSecondMaskChunkOffset = kMaskChunkOffset + kMaskChunkLength;
inline constexpr std::size_t kBlankChunkOffset = kSecondMaskChunkOffset + kMaskChunkLength;
inline constexpr std::size_t kLevelPathOffset = kBlankChunkOffset + kBlankChunkLength;
inline constexpr std::size_t kWaterPathOffset = kLevelPathOffset + kPathRecordSize;

// The length fields are constants of the format; they hold for the one
// picture size this program accepts.
static_assert(kPictureChunkLength == kPictureHeaderSize + kPixelCount);
static_assert(kMaskChunkLength == kBitmaskHeaderSize + kMaskLength);
static_assert(kBlankChunkLength == kBitmaskHeaderSize + kBlankDataSize);
static_assert(kWaterPath.size() == kLevelPath.size());
static_assert(kLandFileSize == kWaterPathOffset + kPathRecordSize);
static_assert(kPictureChunkOffset == 268 && kMaskChunkOffset == 1336890 &&
              kSecondMaskChunkOffset == 1503945 && kBlankChunkOffset == 1671000 &&
              kLevelPathOffset == 1673625);

}  // namespace bmp2land::land
