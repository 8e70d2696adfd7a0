#include "app/run.hpp"

#include <cstdio>

#include "bitmap/bitmap_reader.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "platform/files.hpp"

namespace bmp2land::app {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr const char* kProgramName = "bmp2land";

constexpr const char* kUsage = "Usage: %s filename\n";
constexpr const char* kNoSuchFile = "File %s does not exist!\n";
constexpr const char* kBanner = "bmp2land 1.0: bitmap to land file converter\n";
constexpr const char* kCannotRead = "File %s can't be read!\n";
constexpr const char* kTruncated = "File %s is truncated!\n";
constexpr const char* kNotEightBit = "Not 8-bit bitmap!\n";
constexpr const char* kWrongSize = "Not 1920 x 696 bitmap!\n";
constexpr const char* kUnsupportedCompression = "Unsupported bitmap compression!\n";
constexpr const char* kCorrupt = "Bitmap data is corrupt!\n";
constexpr const char* kMaking = "Making land file...\n";
constexpr const char* kWrongObjectCount = "You must have exactly 30 object positions!\n";
constexpr const char* kCannotCreate = "File land.dat can't be created!\n";
constexpr const char* kCannotWrite = "File land.dat can't be written!\n";
constexpr const char* kDone = "Done!\n";

void say(const char* message) {
    std::fputs(message, stdout);
}

void say(const char* format, const char* argument) {
    std::printf(format, argument);
}

int finish(int status) {
    std::fflush(stdout);
    return status;
}

int reportReadError(bitmap::ReadError error, const char* path) {
    switch (error) {
        case bitmap::ReadError::Truncated:
            say(kTruncated, path);
            break;
        case bitmap::ReadError::NotEightBit:
            say(kNotEightBit);
            break;
        case bitmap::ReadError::WrongSize:
            say(kWrongSize);
            break;
        case bitmap::ReadError::UnsupportedCompression:
            say(kUnsupportedCompression);
            break;
        case bitmap::ReadError::Corrupt:
            say(kCorrupt);
            break;
    }
    return finish(kFailure);
}

}  // namespace

int run(std::span<const char* const> args) {
    if (args.size() != 2) {
        say(kUsage, (args.empty() || args[0] == nullptr) ? kProgramName : args[0]);
        return finish(kSuccess);
    }
    const char* path = args[1];

    auto input = platform::InputFile::open(path);
    if (!input) {
        say(kNoSuchFile, path);
        return finish(kFailure);
    }
    say(kBanner);

    auto bytes = input->readAll();
    input->close();
    if (!bytes) {
        say(kCannotRead, path);
        return finish(kFailure);
    }
    const auto headers = bitmap::readHeaders(*bytes);
    if (!headers) {
        return reportReadError(headers.error(), path);
    }
    const auto image = bitmap::readBody(*bytes, *headers);
    if (!image) {
        return reportReadError(image.error(), path);
    }
    bytes.reset();  // the file's bytes are not needed past the reader
    say(kMaking);

    const auto model = land::convert(*image);
    if (!model) {
        say(kWrongObjectCount);
        return finish(kFailure);
    }

    auto output = land::create();
    if (!output) {
        say(kCannotCreate);
        return finish(kFailure);
    }
    if (!land::write(*model, *output) || !output->commit()) {
        say(kCannotWrite);
        return finish(kFailure);
    }
    say(kDone);
    return finish(kSuccess);
}

}  // namespace bmp2land::app
