#pragma once

// The fixed-size records of the land file, encoded in the one place that both
// the writer (to write them) and the reader (to check them) use.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/byte_order.hpp"
#include "land/land_format.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

using LndHeader = std::array<std::uint8_t, kLndHeaderSize>;
using PositionRecords = std::array<std::uint8_t, kPositionsSize>;
using PictureHeader = std::array<std::uint8_t, kPictureHeaderSize>;
using BitmaskHeader = std::array<std::uint8_t, kBitmaskHeaderSize>;
using PathRecord = std::array<std::uint8_t, kPathRecordSize>;

LndHeader encodeLndHeader(std::uint32_t width, std::uint32_t height);
PositionRecords encodePositions(const std::array<ObjectPosition, kObjectCount>& positions);
PictureHeader encodePictureHeader(const LandModel& model);
BitmaskHeader encodeBitmaskHeader(std::uint32_t chunkLength, std::uint32_t width,
                                  std::uint32_t height);
PathRecord encodePath(std::string_view path);

// Offsets of the fields inside the record headers.
inline constexpr std::size_t kLndWidthOffset = 8;
inline constexpr std::size_t kLndHeightOffset = 12;
inline constexpr std::size_t kImgBitsOffset = 9;
inline constexpr std::size_t kImgColoursOffset = kImgCommonHeaderSize + 2;
inline constexpr std::size_t kPictureSizeOffset = kImgColoursOffset + kColourCount * 3;  // 298

}  // namespace bmp2land::land
