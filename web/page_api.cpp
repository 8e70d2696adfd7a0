// The page's way into landinfo and the converter. Given a file's bytes, it
// gives landinfo's whole answer on them (landinfo/inspection.hpp: its report,
// its complaint, its export), bmp2land's last line on a bitmap and the
// land.dat it writes, made by the same reader, conversion and writer into
// memory; and the files the page offers to save.
//
// Plain C functions over pointers and numbers rather than embind: the page
// makes a handful of calls that need no binding library, and the page stays
// small without embind's runtime. A result is an opaque handle that the page
// reads and then releases; nothing is kept between files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/messages.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "common/byte_sink.hpp"
#include "common/formatted.hpp"
#include "common/input_limit.hpp"
#include "land/land_conversion.hpp"
#include "land/land_writer.hpp"
#include "landinfo/inspection.hpp"
#include "landinfo/level_check.hpp"

namespace bmp2land::web {
namespace {

// What the page was given; the page's script uses the same numbers.
enum class Kind : int {
    Picture = 1,     // a bitmap, or a picture landinfo names: bmp2land's verdict applies
    LandFile = 2,    // a land file read whole: its summary and its bitmap
    Unreadable = 3,  // neither: landinfo's complaint says what is wrong with it
};

// The files a result can offer; the page's script uses the same numbers.
enum class Output : int {
    LandFile = 0,     // land.dat, when the bitmap converts
    LevelBitmap = 1,  // the bitmap the level is made from, or a land file's export
    Preview = 2,      // the level's preview, a PNG, once landinfo makes one
};
constexpr std::size_t kOutputs = 3;

}  // namespace

struct PageResult {
    Kind kind = Kind::Unreadable;
    bool converts = false;
    std::string verdict;  // one line, without its line end
    std::string report;   // landinfo's standard output
    std::array<std::vector<std::uint8_t>, kOutputs> files;

    std::vector<std::uint8_t>& file(Output which) { return files[static_cast<std::size_t>(which)]; }
};

namespace {

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

// One of bmp2land's messages as it prints it for a file of this name.
std::string messageLine(const char* format, const char* name) {
    return withoutLineEnd(formatted(format, name));
}

// bmp2land's run on a file of `fileSize` bytes whose first bytes are
// `bytes`, with land.dat written into memory: its last line, and the file.
void convertAsBmp2land(Bytes bytes, std::uint64_t fileSize, const char* name, PageResult& result) {
    const auto refusedByReader = [&](const bitmap::ReadFailure& failure) {
        const bitmap::ReadError error = bitmap::inWholeFile(failure, bytes.size(), fileSize).kind;
        result.verdict = messageLine(app::messages::readFailure(error), name);
    };
    const auto headers = bitmap::readHeaders(bytes);
    if (!headers) {
        refusedByReader(headers.error());
        return;
    }
    auto image = bitmap::readBody(bytes, *headers);
    if (!image) {
        refusedByReader(image.error());
        return;
    }
    const auto model = land::convert(std::move(*image));
    if (!model) {
        result.verdict = messageLine(app::messages::conversionFailure(model.error()), name);
        return;
    }
    MemorySink landFile;
    if (!land::write(*model, landFile)) {
        result.verdict = messageLine(app::messages::kCannotWrite, name);
        return;
    }
    result.converts = true;
    result.verdict = messageLine(app::messages::kDone, name);
    result.file(Output::LandFile) = std::move(landFile.data);
}

// What landinfo says of the file, as `landinfo FILE` prints it, and the files
// it makes: a land file's export (`landinfo FILE OUT.bmp`). The level's
// preview joins them here, as Output::Preview, once landinfo makes one.
PageResult landinfosAnswer(Bytes bytes, std::uint64_t fileSize, const char* name, bool picture) {
    landinfo::Request request;
    request.path = name;
    // A picture has no export: it is its own level bitmap.
    request.output = picture ? landinfo::Output::None : landinfo::Output::Bitmap;
    request.outPath = "level.bmp";
    landinfo::Inspection inspection = landinfo::inspect(request, bytes, fileSize);
    PageResult result;
    result.report = std::move(inspection.out);
    if (inspection.written)
        result.file(Output::LevelBitmap) = std::move(*inspection.written);
    if (picture) {
        result.kind = Kind::Picture;
    } else if (inspection.status == landinfo::kSuccess) {
        result.kind = Kind::LandFile;
    } else {
        result.kind = Kind::Unreadable;
        result.verdict = withoutLineEnd(std::move(inspection.err));
    }
    return result;
}

// landinfo's answer, and on a picture bmp2land's too.
PageResult inspect(Bytes bytes, std::uint64_t fileSize, const char* name) {
    const bool picture = picture::pictureFormat(bytes) != picture::PictureFormat::Other;
    PageResult result = landinfosAnswer(bytes, fileSize, name, picture);
    if (picture) {
        convertAsBmp2land(bytes, fileSize, name, result);
        if (result.converts)
            result.file(Output::LevelBitmap).assign(bytes.begin(), bytes.end());
    }
    return result;
}

const std::vector<std::uint8_t>* outputFile(const PageResult* result, int which) {
    if (result == nullptr || which < 0 || static_cast<std::size_t>(which) >= kOutputs)
        return nullptr;
    return &result->files[static_cast<std::size_t>(which)];
}

}  // namespace
}  // namespace bmp2land::web

using bmp2land::web::PageResult;

extern "C" {

// How much of a file the programs read: the page hands over no more than
// this, with the file's real size beside it, so that a longer file gets the
// same words as on the command line.
std::size_t page_read_limit() {
    return bmp2land::kMaxInputSize;
}

// `bytes` are the first `size` bytes of a file of `fileSize` bytes called
// `name` (UTF-8). The result stays until page_release().
PageResult* page_inspect(const std::uint8_t* bytes, std::size_t size, double fileSize,
                         const char* name) {
    const auto realSize = fileSize > static_cast<double>(size)
                              ? static_cast<std::uint64_t>(fileSize)
                              : std::uint64_t{size};
    return new PageResult(bmp2land::web::inspect(bmp2land::Bytes(bytes, size), realSize, name));
}

int page_kind(const PageResult* result) {
    return static_cast<int>(result->kind);
}

int page_converts(const PageResult* result) {
    return result->converts ? 1 : 0;
}

const char* page_verdict(const PageResult* result) {
    return result->verdict.c_str();
}

const char* page_report(const PageResult* result) {
    return result->report.c_str();
}

// The bytes of an output file (see Output); null with size 0 where the
// result has none.
const std::uint8_t* page_file_data(const PageResult* result, int which) {
    const auto* file = bmp2land::web::outputFile(result, which);
    return file == nullptr || file->empty() ? nullptr : file->data();
}

std::size_t page_file_size(const PageResult* result, int which) {
    const auto* file = bmp2land::web::outputFile(result, which);
    return file == nullptr ? 0 : file->size();
}

void page_release(PageResult* result) {
    delete result;
}

}  // extern "C"
