#include "app/landinfo.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "land/land_export.hpp"
#include "land/land_format.hpp"
#include "land/land_reader.hpp"
#include "land/land_summary.hpp"
#include "platform/input_file.hpp"
#include "platform/path_queries.hpp"
#include "platform/replacement_file.hpp"

namespace bmp2land::app {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// Problems go to standard error, one line each, naming the file first.
int complain(const char* file, const std::string& what) {
    (void)std::fprintf(stderr, "%s: %s\n", file, what.c_str());
    return kFailure;
}

int usage(std::span<const char* const> args) {
    (void)std::fprintf(stderr, "Usage: %s FILE [OUT.bmp]\n",
                       args.empty() || args[0] == nullptr ? "landinfo" : args[0]);
    return kFailure;
}

// "1 pixel", "2 pixels".
std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void printNote(const land::RoundTripNote& n) {
    using Kind = land::RoundTripNote::Kind;
    const unsigned x = n.position.x;
    const unsigned y = n.position.y;
    switch (n.kind) {
        case Kind::MarkerColourInPicture:
            std::printf(
                "note: the picture has colour 255, the objects' colour, in %s (the first at %u, "
                "%u); a converted bitmap takes them as objects\n",
                counted(n.count, "pixel", "pixels").c_str(), x, y);
            break;
        case Kind::SharedPosition:
            std::printf(
                "note: %s at the place of an earlier object (the first: object %zu, at %u, %u "
                "like object %zu); a converted bitmap has one object at each place\n",
                counted(n.count, "object is", "objects are").c_str(), n.object, x, y, n.other);
            break;
        case Kind::OutOfOrder:
            std::printf(
                "note: the objects are not in the order a converted bitmap lists them, bottom "
                "row first and left to right (object %zu comes before object %zu there)\n",
                n.object, n.other);
            break;
        case Kind::PixelUnderObject:
            std::printf(
                "note: the picture is not 0 under %s (the first: object %zu, at %u, %u); a "
                "converted bitmap has 0 there\n",
                counted(n.count, "object", "objects").c_str(), n.object, x, y);
            break;
        case Kind::LevelPath:
            std::printf("note: the level path is %s; a converted bitmap gets %s\n", n.path.c_str(),
                        std::string(land::kLevelPath).c_str());
            break;
        case Kind::WaterPath:
            std::printf("note: the water path is %s; a converted bitmap gets %s\n", n.path.c_str(),
                        std::string(land::kWaterPath).c_str());
            break;
        case Kind::BlankNotBlank:
            std::printf("note: IMG chunk 4 is not blank; a converted bitmap gets a blank one\n");
            break;
        case Kind::MasksDiffer:
            std::printf(
                "note: the masks differ from the picture in %s; a converted bitmap gets masks "
                "made from its picture\n",
                counted(n.count, "pixel", "pixels").c_str());
            break;
    }
}

void printLandSummary(const land::LandFile& file, const land::LandSummary& summary) {
    const land::LandModel& m = file.model;
    std::printf("size: %u x %u\n", m.width, m.height);
    std::printf("objects: %zu\n", land::kObjectCount);
    for (std::size_t k = 0; k < land::kObjectCount; ++k) {
        std::printf("object %zu: %u, %u\n", k + 1, m.positions[k].x, m.positions[k].y);
    }
    std::printf("colours: %zu\n", land::kColourCount);
    std::printf("land pixels: %zu of %u\n", summary.landPixels, land::kPixelCount);
    if (summary.maskDifferences == 0) {
        std::printf("mask: matches picture\n");
    } else {
        std::printf("mask: %zu pixels differ from picture\n", summary.maskDifferences);
    }
    std::printf("level: %s\n", file.levelPath.c_str());
    std::printf("water: %s\n", file.waterPath.c_str());
    std::printf("round trip: %s\n", summary.roundTripExact ? "exact" : "differs");
    for (const land::RoundTripNote& note : summary.notes)
        printNote(note);
}

// Never replaces anything: not the input, not a file or a link of that name.
int exportBitmap(const land::LandModel& model, const char* path) {
    if (platform::exists(path))
        return complain(path, "already exists; nothing written");
    auto out = platform::ReplacementFile::create(path);
    if (!out)
        return complain(path, "cannot be created");
    if (!out->put(land::exportBitmap(model)) || !out->commit())
        return complain(path, "cannot be written");
    return kSuccess;
}

// The length of the file that `bytes` begin: past the read cap only the
// file system knows it.
std::uint64_t realSize(const ByteBuffer& bytes, const platform::InputFile& input) {
    if (bytes.size() < platform::kMaxInputSize)
        return bytes.size();
    return std::max<std::uint64_t>(bytes.size(), input.sizeHint());
}

int inspectLandFile(const ByteBuffer& bytes, std::uint64_t size, const char* path,
                    const char* out) {
    const auto file = land::readLandFile(bytes, size);
    if (!file) {
        const land::LandFileError& e = file.error();
        return complain(path, std::string(e.record) + ": " + e.problem + " at offset " +
                                  std::to_string(e.offset));
    }
    printLandSummary(*file, land::summarize(*file, bytes));
    (void)std::fflush(stdout);
    return out != nullptr ? exportBitmap(file->model, out) : kSuccess;
}

int inspect(std::span<const char* const> args) {
    if (args.size() != 2 && args.size() != 3)
        return usage(args);
    const char* path = args[1];
    auto input = platform::InputFile::open(path);
    if (!input)
        return complain(path, "cannot be opened");
    const auto bytes = input->readAll();
    input->close();
    if (!bytes)
        return complain(path, "cannot be read");
    return inspectLandFile(*bytes, realSize(*bytes, *input), path,
                           args.size() == 3 ? args[2] : nullptr);
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
