#include "app/landinfo.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "app/messages.hpp"
#include "land/land_export.hpp"
#include "land/land_format.hpp"
#include "land/land_reader.hpp"
#include "land/land_summary.hpp"
#include "land/level_check.hpp"
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

int alreadyExists(const char* path) {
    return complain(path, "already exists; nothing written");
}

// Never replaces anything: not the input, not a file or a link of that name,
// not one that appears while the bitmap is written.
int exportBitmap(const land::LandModel& model, const char* path) {
    if (platform::exists(path))
        return alreadyExists(path);
    auto out = platform::ReplacementFile::create(path);
    if (!out)
        return complain(path, "cannot be created");
    if (!out->put(land::exportBitmap(model)))
        return complain(path, "cannot be written");
    switch (out->commitAsNew()) {
        case platform::NewFileResult::Created:
            return kSuccess;
        case platform::NewFileResult::AlreadyExists:
            return alreadyExists(path);
        case platform::NewFileResult::Failed:
            break;
    }
    return complain(path, "cannot be written");
}

// The length of the file that `bytes` begin: past the read cap only the
// file system knows it.
std::uint64_t realSize(const ByteBuffer& bytes, const platform::InputFile& input) {
    if (bytes.size() < platform::kMaxInputSize)
        return bytes.size();
    return std::max<std::uint64_t>(bytes.size(), input.sizeHint());
}

std::string compressionName(std::uint32_t compression) {
    switch (compression) {
        case bitmap::kBiRgb:
            return "uncompressed";
        case bitmap::kBiRle8:
            return "RLE8";
        case bitmap::kBiBitFields:
            return "bit fields";
        default:
            return "compression " + std::to_string(compression);
    }
}

const char* formatName(land::PictureFormat format) {
    switch (format) {
        case land::PictureFormat::Png:
            return "PNG";
        case land::PictureFormat::Jpeg:
            return "JPEG";
        case land::PictureFormat::Gif:
            return "GIF";
        case land::PictureFormat::Tiff:
            return "TIFF";
        case land::PictureFormat::Bmp:
        case land::PictureFormat::Other:
            break;
    }
    return "other";
}

void printBitmapFacts(const land::BitmapFacts& b) {
    std::printf("bitmap: %d x %d, %u bits, %s, %u-byte header, %s\n", b.width, b.height,
                unsigned{b.bitCount}, compressionName(b.compression).c_str(), b.headerSize,
                counted(b.paletteEntries, "colour", "colours").c_str());
}

void printPictureFacts(const land::PictureFacts& p) {
    std::printf("objects: %zu\n", p.objects);
    for (std::size_t k = 0; k < p.listed.size(); ++k)
        std::printf("object %zu: %u, %u\n", k + 1, p.listed[k].x, p.listed[k].y);
    if (p.objects > p.listed.size())
        std::printf("objects after the first %zu are not listed\n", p.listed.size());
    std::printf("colours: %zu\n", land::kColourCount);
    std::printf("land pixels: %zu of %u\n", p.landPixels, land::kPixelCount);
    std::printf("colours 96 to 254: %s\n", counted(p.uncolouredPixels, "pixel", "pixels").c_str());
}

// Word for word the line bmp2land ends with on this file.
void printVerdict(const land::LevelCheck& check, const char* path) {
    if (check.converts()) {
        std::printf("verdict: converts\n");
        return;
    }
    std::printf("verdict: ");
    std::printf(check.readFailure ? messages::readFailure(check.readFailure->kind)
                                  : messages::conversionFailure(*check.conversionFailure),
                path);
}

const char* partName(bitmap::BitmapPart part) {
    switch (part) {
        case bitmap::BitmapPart::Headers:
            return "headers";
        case bitmap::BitmapPart::Palette:
            return "palette";
        case bitmap::BitmapPart::Pixels:
            return "pixels";
        case bitmap::BitmapPart::Rle8Data:
            return "RLE8 data";
    }
    return "data";
}

void printHint(const land::Hint& h) {
    using Kind = land::Hint::Kind;
    const char* const keepPalette = "save it as an 8-bit BMP with all 256 palette entries";
    switch (h.kind) {
        case Kind::MarkerColourElsewhere:
            if (h.colourOfEntry255) {
                std::printf("hint: entry %u has the colour of entry 255 (%u, %u, %u)", h.entry,
                            h.colour.red, h.colour.green, h.colour.blue);
            } else {
                std::printf("hint: entry %u has the colour landinfo gives the objects (%u, %u, %u)",
                            h.entry, h.colour.red, h.colour.green, h.colour.blue);
            }
            std::printf(
                " and is used by %s; the objects must use entry 255; a paint program may have "
                "reordered the palette\n",
                counted(h.pixels, "pixel", "pixels").c_str());
            break;
        case Kind::CorruptRle8:
            std::printf("hint: RLE8 data is corrupt at byte %llu (stored row %u, column %u)\n",
                        static_cast<unsigned long long>(h.failure.offset), h.failure.row,
                        h.failure.column);
            break;
        case Kind::Truncated:
            std::printf(
                "hint: the file ends in its %s: it has only %s; save or copy the bitmap again\n",
                partName(h.failure.part), counted(h.fileSize, "byte", "bytes").c_str());
            break;
        case Kind::TooFewBits:
            std::printf(
                "hint: this is a %u-bit bitmap; keep all 256 palette entries when saving, because "
                "%u bits can't hold entry 255. GIMP writes 4-bit files when \"Remove unused and "
                "duplicate colors\" is on, and ImageMagick does for drawings of 16 colours or "
                "fewer\n",
                unsigned{h.bitCount}, unsigned{h.bitCount});
            break;
        case Kind::NoPalette:
            std::printf(
                "hint: this is a %u-bit bitmap, which has no palette and so no entry 255; %s\n",
                unsigned{h.bitCount}, keepPalette);
            break;
        case Kind::OtherBitCount:
            std::printf("hint: the bitmap says it has %u bits per pixel, which no bitmap has; %s\n",
                        unsigned{h.bitCount}, keepPalette);
            break;
        case Kind::NotABmp:
            std::printf("hint: this is a %s picture, not a BMP; save it as an 8-bit BMP\n",
                        formatName(h.format));
            break;
    }
}

// Exit status 0 only when bmp2land would convert the file.
int inspectBitmap(const ByteBuffer& bytes, const char* path) {
    const land::LevelCheck check = land::checkLevel(bytes);
    if (check.bitmap)
        printBitmapFacts(*check.bitmap);
    if (check.picture)
        printPictureFacts(*check.picture);
    printVerdict(check, path);
    for (const land::Hint& hint : check.hints)
        printHint(hint);
    return check.converts() ? kSuccess : kFailure;
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
    if (land::pictureFormat(*bytes) != land::PictureFormat::Other)
        return args.size() == 2 ? inspectBitmap(*bytes, path) : usage(args);
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
