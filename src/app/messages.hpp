#pragma once

// bmp2land's messages, in one place so that landinfo's verdict on a bitmap is
// word for word the line bmp2land prints. Each is a printf format; those with
// %s take the path as it was given. The version is the project's (CMakeLists.txt).

#include "bitmap/bitmap_reader.hpp"
#include "land/land_conversion.hpp"

namespace bmp2land::app::messages {

inline constexpr const char* kUsage = "Usage: %s filename\n";
inline constexpr const char* kNoSuchFile = "File %s does not exist!\n";
inline constexpr const char* kBanner =
    "bmp2land " BMP2LAND_VERSION ": bitmap to land file converter\n";
inline constexpr const char* kCannotRead = "File %s can't be read!\n";
inline constexpr const char* kTruncated = "File %s is truncated!\n";
inline constexpr const char* kTooLarge = "File %s is too large to be a level bitmap!\n";
inline constexpr const char* kNotEightBit = "Not 8-bit bitmap!\n";
inline constexpr const char* kWrongSize = "Not 1920 x 696 bitmap!\n";
inline constexpr const char* kUnsupportedCompression = "Unsupported bitmap compression!\n";
inline constexpr const char* kCorrupt = "Bitmap data is corrupt!\n";
inline constexpr const char* kMaking = "Making land file...\n";
inline constexpr const char* kWrongObjectCount = "You must have exactly 30 object positions!\n";
inline constexpr const char* kCannotCreate = "File land.dat can't be created!\n";
inline constexpr const char* kCannotWrite = "File land.dat can't be written!\n";
inline constexpr const char* kDone = "Done!\n";
inline constexpr const char* kOutOfMemory = "Not enough memory!\n";
inline constexpr const char* kUnexpected = "Unexpected failure!\n";

// The message for a file the reader refuses.
constexpr const char* readFailure(bitmap::ReadError error) {
    switch (error) {
        case bitmap::ReadError::Truncated:
            return kTruncated;
        case bitmap::ReadError::TooLarge:
            return kTooLarge;
        case bitmap::ReadError::NotEightBit:
            return kNotEightBit;
        case bitmap::ReadError::WrongSize:
            return kWrongSize;
        case bitmap::ReadError::UnsupportedCompression:
            return kUnsupportedCompression;
        case bitmap::ReadError::Corrupt:
            return kCorrupt;
    }
    return kUnexpected;
}

// The message for a picture the conversion refuses.
constexpr const char* conversionFailure(land::ConversionError error) {
    switch (error) {
        case land::ConversionError::WrongObjectCount:
            return kWrongObjectCount;
    }
    return kUnexpected;
}

}  // namespace bmp2land::app::messages
