// The page's way into the converter and landinfo. Given a file's bytes, it
// says what the file is, gives landinfo's report in landinfo's words,
// bmp2land's verdict in bmp2land's words, and the files the page offers to
// save: land.dat from the same reader, conversion and writer as bmp2land,
// written into memory, and the level bitmap.
//
// Plain C functions over pointers and numbers rather than embind: the page
// makes a handful of calls that need no binding library, and the page stays
// small without embind's runtime. A result is an opaque handle that the page
// reads and then releases; nothing is kept between files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/land_summary_report.hpp"
#include "app/level_check_report.hpp"
#include "app/messages.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "common/byte_sink.hpp"
#include "land/land_conversion.hpp"
#include "land/land_export.hpp"
#include "land/land_reader.hpp"
#include "land/land_summary.hpp"
#include "land/land_writer.hpp"
#include "land/level_check.hpp"
#include "platform/input_file.hpp"  // for bmp2land's read cap alone
#include "printed_text.hpp"

namespace bmp2land::web {
namespace {

// What the page was given; the page's script uses the same numbers.
enum class Kind : int {
    Picture = 1,     // a bitmap, or a picture landinfo names: bmp2land's verdict applies
    LandFile = 2,    // a land file read whole: its summary and its bitmap
    Unreadable = 3,  // neither: landinfo's words on what is wrong with it
};

// The files a result can offer.
enum class Output : int {
    LandFile = 0,     // land.dat, when the bitmap converts
    LevelBitmap = 1,  // the bitmap the level is made from, or a land file's export
};
constexpr std::size_t kOutputs = 2;

}  // namespace

struct PageResult {
    Kind kind = Kind::Unreadable;
    bool converts = false;
    std::string verdict;  // one line, without its line end
    std::string report;
    std::array<std::vector<std::uint8_t>, kOutputs> files;

    std::vector<std::uint8_t>& file(Output which) { return files[static_cast<std::size_t>(which)]; }
};

namespace {

// One of bmp2land's messages as it prints it for a file of this name.
std::string messageLine(const char* format, const char* name) {
    const int length = std::snprintf(nullptr, 0, format, name);
    std::string line(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    (void)std::snprintf(line.data(), line.size() + 1, format, name);
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

// bmp2land's stages from the bytes to land.dat, as the run takes them.
void convertAsBmp2land(Bytes bytes, const char* name, PageResult& result) {
    const auto headers = bitmap::readHeaders(bytes);
    if (!headers) {
        result.verdict = messageLine(app::messages::readFailure(headers.error().kind), name);
        return;
    }
    auto image = bitmap::readBody(bytes, *headers);
    if (!image) {
        result.verdict = messageLine(app::messages::readFailure(image.error().kind), name);
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
    result.file(Output::LevelBitmap).assign(bytes.begin(), bytes.end());
}

void inspectPicture(Bytes bytes, std::uint64_t fileSize, const char* name, PageResult& result) {
    result.kind = Kind::Picture;
    app::printLevelCheck(land::checkLevel(bytes, fileSize), name);
    result.report = takePrintedText();
    convertAsBmp2land(bytes, name, result);
}

void inspectLandFile(Bytes bytes, std::uint64_t fileSize, const char* name, PageResult& result) {
    const auto file = land::readLandFile(bytes, fileSize);
    if (!file) {
        // landinfo's complaint about a land file it cannot read (landinfo.cpp).
        const land::LandFileError& e = file.error();
        result.kind = Kind::Unreadable;
        result.verdict = std::string(name) + ": " + std::string(e.record) + ": " + e.problem +
                         " at offset " + std::to_string(e.offset);
        return;
    }
    result.kind = Kind::LandFile;
    app::printLandSummary(*file, land::summarize(*file, bytes));
    result.report = takePrintedText();
    result.file(Output::LevelBitmap) = land::exportBitmap(file->model);
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

// How much of a file bmp2land reads: the page hands over no more than this,
// with the file's real size beside it, so that a longer file gets the same
// words as on the command line.
std::size_t page_read_limit() {
    return bmp2land::platform::kMaxInputSize;
}

// `bytes` are the first `size` bytes of a file of `fileSize` bytes called
// `name` (UTF-8). The result stays until page_release().
PageResult* page_inspect(const std::uint8_t* bytes, std::size_t size, double fileSize,
                         const char* name) {
    namespace web = bmp2land::web;
    const bmp2land::Bytes file(bytes, size);
    const auto realSize = fileSize > static_cast<double>(size)
                              ? static_cast<std::uint64_t>(fileSize)
                              : std::uint64_t{size};
    auto* result = new PageResult;
    (void)web::takePrintedText();  // nothing left over from an earlier file
    if (bmp2land::land::pictureFormat(file) != bmp2land::land::PictureFormat::Other)
        web::inspectPicture(file, realSize, name, *result);
    else
        web::inspectLandFile(file, realSize, name, *result);
    return result;
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
