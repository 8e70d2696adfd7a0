#include "app/run.hpp"

#include <cstdio>
#include <new>

#include "bitmap/bitmap_reader.hpp"
#include "common/formatted.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "platform/console_output.hpp"
#include "platform/input_file.hpp"
#include "platform/replacement_file.hpp"

namespace bmp2land::app {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr const char* kProgramName = "bmp2land";

constexpr const char* kUsage = "Usage: %s filename\n";
constexpr const char* kNoSuchFile = "File %s does not exist!\n";
constexpr const char* kBanner = "bmp2land " BMP2LAND_VERSION ": bitmap to land file converter\n";
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
constexpr const char* kOutOfMemory = "Not enough memory!\n";
constexpr const char* kUnexpected = "Unexpected failure!\n";

// A console that can't be written to leaves nowhere to report that, so the
// results of the output calls are not looked at.
void say(const char* message) {
    platform::printOut(message);
}

void say(const char* format, const char* argument) {
    platform::printOut(formatted(format, argument));
}

int finish(int status) {
    (void)std::fflush(stdout);
    return status;
}

int reportReadError(const bitmap::ReadFailure& failure, const char* path) {
    switch (failure.kind) {
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

int runStages(std::span<const char* const> args) {
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

}  // namespace

int run(std::span<const char* const> args) {
    // Nothing may reach standard error, not even an escaped exception; an
    // unfinished land.dat is discarded on the way out.
    try {
        return runStages(args);
    } catch (const std::bad_alloc&) {
        say(kOutOfMemory);
    } catch (...) {
        say(kUnexpected);
    }
    return finish(kFailure);
}

}  // namespace bmp2land::app
