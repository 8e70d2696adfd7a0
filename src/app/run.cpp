#include "app/run.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <utility>

#include "app/messages.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "common/formatted.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"

namespace bmp2land::app {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr const char* kProgramName = "bmp2land";

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

// `readSize` bytes were read of a file of `fileSize`.
int reportReadError(const bitmap::ReadFailure& failure, std::uint64_t readSize,
                    std::uint64_t fileSize, const char* path) {
    say(messages::readFailure(bitmap::inWholeFile(failure, readSize, fileSize).kind), path);
    return finish(kFailure);
}

int runStages(std::span<const char* const> args, platform::FileOperations& files) {
    if (args.size() != 2) {
        say(messages::kUsage, (args.empty() || args[0] == nullptr) ? kProgramName : args[0]);
        return finish(kSuccess);
    }
    const char* path = args[1];

    auto input = platform::InputFile::open(path, files);
    if (!input) {
        say(messages::kNoSuchFile, path);
        return finish(kFailure);
    }
    say(messages::kBanner);

    auto bytes = input->readAll();
    input->close();
    if (!bytes) {
        say(messages::kCannotRead, path);
        return finish(kFailure);
    }
    const std::size_t readSize = bytes->size();
    const std::uint64_t fileSize = input->realSize(readSize);
    const auto headers = bitmap::readHeaders(*bytes);
    if (!headers) {
        return reportReadError(headers.error(), readSize, fileSize, path);
    }
    auto image = bitmap::readBody(std::move(*bytes), *headers);
    if (!image) {
        return reportReadError(image.error(), readSize, fileSize, path);
    }
    bytes.reset();  // the file's bytes are not needed past the reader
    say(messages::kMaking);

    const auto model = land::convert(std::move(*image));
    if (!model) {
        say(messages::conversionFailure(model.error()));
        return finish(kFailure);
    }

    // An existing land.dat is replaced only once the new one is whole, where
    // a file can be put in its place.
    auto output = platform::OutputFile::replacing(std::string(land::kLandFileName), files);
    if (!output) {
        say(messages::kCannotCreate);
        return finish(kFailure);
    }
    if (!land::write(*model, *output) || !output->commit()) {
        say(messages::kCannotWrite);
        return finish(kFailure);
    }
    say(messages::kDone);
    return finish(kSuccess);
}

}  // namespace

int run(std::span<const char* const> args, platform::FileOperations& files) {
    // Nothing may reach standard error, not even an escaped exception; an
    // unfinished land.dat is discarded on the way out.
    try {
        return runStages(args, files);
    } catch (const std::bad_alloc&) {
        say(messages::kOutOfMemory);
    } catch (...) {
        say(messages::kUnexpected);
    }
    return finish(kFailure);
}

}  // namespace bmp2land::app
