#include "app/landinfo.hpp"

#include <bit>
#include <cstdio>
#include <new>
#include <string>

#include "bitmap/bitmap_writer.hpp"
#include "common/formatted.hpp"
#include "land/land_conversion.hpp"
#include "land/land_export.hpp"
#include "land/land_reader.hpp"
#include "platform/console_output.hpp"
#include "platform/input_file.hpp"
#include "platform/replacement_file.hpp"

namespace bmp2land::app {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

template <typename... Args>
void print(const char* format, Args... args) {
    platform::printOut(formatted(format, args...));
}

// Problems go to standard error, one line each, naming the file first.
int complain(const char* file, const std::string& what) {
    platform::printErr(formatted("%s: %s\n", file, what.c_str()));
    return kFailure;
}

std::size_t countBits(const std::vector<std::uint8_t>& mask) {
    std::size_t bits = 0;
    for (const std::uint8_t byte : mask)
        bits += static_cast<std::size_t>(std::popcount(byte));
    return bits;
}

// Pixels where either mask disagrees with the picture's own mask.
std::size_t maskDifferences(const land::LandFile& file) {
    std::vector<std::uint8_t> own(land::kMaskLength);
    land::buildMask(file.model.pixels, own);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < own.size(); ++i) {
        const auto wrong = static_cast<std::uint8_t>((file.model.mask[i] ^ own[i]) |
                                                     (file.secondMask[i] ^ own[i]));
        differing += static_cast<std::size_t>(std::popcount(wrong));
    }
    return differing;
}

void printSummary(const land::LandFile& file) {
    const land::LandModel& m = file.model;
    print("size: %u x %u\n", m.width, m.height);
    print("objects: %zu\n", land::kObjectCount);
    for (std::size_t k = 0; k < land::kObjectCount; ++k) {
        print("object %zu: %u, %u\n", k + 1, m.positions[k].x, m.positions[k].y);
    }
    print("colours: %zu\n", land::kColourCount);
    print("land pixels: %zu of %u\n", countBits(m.mask), land::kPixelCount);
    const std::size_t differing = maskDifferences(file);
    if (differing == 0) {
        platform::printOut("mask: matches picture\n");
    } else {
        print("mask: %zu pixels differ from picture\n", differing);
    }
    print("level: %s\n", file.levelPath.c_str());
    print("water: %s\n", file.waterPath.c_str());
}

int exportBitmap(const land::LandFile& file, const char* path) {
    auto out = platform::ReplacementFile::create(path);
    if (!out)
        return complain(path, "cannot be created");
    if (!bitmap::writeBitmap(land::toBitmap(file.model), *out) || !out->commit()) {
        return complain(path, "cannot be written");
    }
    return kSuccess;
}

int inspect(std::span<const char* const> args) {
    if (args.size() != 2 && args.size() != 3) {
        platform::printErr(formatted("Usage: %s FILE [OUT.bmp]\n",
                                     args.empty() || args[0] == nullptr ? "landinfo" : args[0]));
        return kFailure;
    }
    const char* path = args[1];
    auto input = platform::InputFile::open(path);
    if (!input)
        return complain(path, "cannot be opened");
    const auto bytes = input->readAll();
    input->close();
    if (!bytes)
        return complain(path, "cannot be read");

    const auto file = land::readLandFile(*bytes);
    if (!file) {
        const land::LandFileError& e = file.error();
        return complain(path, std::string(e.record) + ": " + e.problem + " at offset " +
                                  std::to_string(e.offset));
    }
    printSummary(*file);
    (void)std::fflush(stdout);
    return args.size() == 3 ? exportBitmap(*file, args[2]) : kSuccess;
}

}  // namespace

int runLandInfo(std::span<const char* const> args) {
    int status = kFailure;
    try {
        status = inspect(args);
    } catch (const std::bad_alloc&) {
        status = complain("landinfo", "not enough memory");
    }
    (void)std::fflush(stdout);
    return status;
}

}  // namespace bmp2land::app
