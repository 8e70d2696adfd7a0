// The page's way into landinfo and the converter. Given a file's bytes, it
// gives landinfo's whole answer on them (landinfo/inspection.hpp: its report,
// its complaint, its export, the level it makes of a drawing), bmp2land's
// last line on the level bitmap and the land.dat it writes, made by the same
// reader, conversion and writer into memory; the files the page offers to
// save; and, asked for once the verdict is on the screen, the level's
// preview, the PNG that `landinfo FILE OUT.png` writes.
//
// Plain C functions over pointers and numbers rather than embind: the page
// makes a handful of calls that need no binding library, and the page stays
// small without embind's runtime. A result is an opaque handle that the page
// reads and then releases; nothing is kept between files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
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
#include "picture/picture_format.hpp"

namespace bmp2land::web {
namespace {

// What the page was given; the page's script uses the same numbers.
enum class Kind : int {
    Picture = 1,     // a bitmap, or a picture landinfo names: bmp2land's verdict applies
    LandFile = 2,    // a land file read whole: its summary and its bitmap
    Unreadable = 3,  // neither: landinfo's complaint says what is wrong with it
    Drawing = 4,     // a drawing made into a level bitmap: bmp2land's verdict on that
    NoLevel = 5,     // a drawing that gives no level: landinfo says why
};

// The files a result can offer; the page's script uses the same numbers.
enum class Output : int {
    LandFile = 0,     // land.dat, when the level bitmap converts
    LevelBitmap = 1,  // the level bitmap: the bitmap as dropped, a drawing's, a land file's export
    Preview = 2,      // the level's preview, a PNG, once page_preview() has drawn it
};
constexpr std::size_t kOutputs = 3;

// The page's buffer of the file's bytes, which the result takes over.
struct FreeBytes {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};
using PageBytes = std::unique_ptr<std::uint8_t, FreeBytes>;

}  // namespace

struct PageResult {
    Kind kind = Kind::Unreadable;
    bool converts = false;
    std::string verdict;  // one line, without its line end
    std::string report;   // landinfo's standard output
    std::array<std::vector<std::uint8_t>, kOutputs> files;

    // What the preview is drawn of: the file as dropped (of a drawing, its
    // level, with what the drawing's legend adds: no sky, magenta kept).
    PageBytes dropped;
    Bytes previewed;
    std::uint64_t previewedSize = 0;
    std::string name;

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

// The name the page saves the level bitmap under, and gives it in the words.
constexpr const char* kLevelBitmap = "level.bmp";

// landinfo's words in the page's terms: what to drop, save or look at,
// never a command, as the page has no console.
landinfo::Request requestFor(const char* name, landinfo::Output output) {
    landinfo::Request request;
    request.path = name;
    request.output = output;
    request.outPath = kLevelBitmap;
    request.wording = landinfo::Wording::Page;
    return request;
}

// What landinfo says of the file, as `landinfo FILE` prints it, and of a
// land file its export (`landinfo FILE OUT.bmp`); on a picture, bmp2land's
// verdict and land.dat, with the picture itself as its level bitmap.
void landinfosAnswer(Bytes bytes, std::uint64_t fileSize, const char* name, bool picture,
                     PageResult& result) {
    landinfo::Inspection inspection = landinfo::inspect(
        requestFor(name, picture ? landinfo::Output::None : landinfo::Output::Bitmap), bytes,
        fileSize);
    result.report = std::move(inspection.out);
    if (inspection.written)
        result.file(Output::LevelBitmap) = std::move(*inspection.written);
    if (picture) {
        result.kind = Kind::Picture;
        convertAsBmp2land(bytes, fileSize, name, result);
        if (result.converts)
            result.file(Output::LevelBitmap).assign(bytes.begin(), bytes.end());
    } else if (inspection.status == landinfo::kSuccess) {
        result.kind = Kind::LandFile;
    } else {
        result.kind = Kind::Unreadable;
        result.verdict = withoutLineEnd(std::move(inspection.err));
    }
}

// A drawing as `landinfo FILE level.bmp` makes it into a level: its words
// (all but "written: level.bmp") and the level bitmap, which bmp2land then
// converts; or, where it gives no level, why, as its preview says it.
void drawingsAnswer(Bytes bytes, std::uint64_t fileSize, const char* name, PageResult& result) {
    landinfo::Inspection made =
        landinfo::inspect(requestFor(name, landinfo::Output::Bitmap), bytes, fileSize);
    if (!made.written) {
        result.kind = Kind::NoLevel;
        std::string why = withoutLineEnd(std::move(made.err));
        if (why.ends_with(landinfo::kNothingWritten))
            why.resize(why.size() - landinfo::kNothingWritten.size());
        result.verdict = why;
        result.report = why + "\n";
        return;
    }
    result.kind = Kind::Drawing;
    result.report = made.out + made.afterWritten;
    std::vector<std::uint8_t>& level = result.file(Output::LevelBitmap);
    level = std::move(*made.written);
    convertAsBmp2land(level, level.size(), kLevelBitmap, result);
}

PageResult* inspect(PageBytes dropped, std::size_t size, std::uint64_t fileSize, const char* name) {
    auto result = std::make_unique<PageResult>();
    const Bytes bytes(dropped.get(), size);
    result->previewed = bytes;
    result->previewedSize = fileSize;
    result->name = name;
    if (picture::pictureFormat(bytes) == picture::PictureFormat::Other)
        landinfosAnswer(bytes, fileSize, name, false, *result);
    else if (landinfo::isDrawing(bytes, fileSize))
        drawingsAnswer(bytes, fileSize, name, *result);
    else
        landinfosAnswer(bytes, fileSize, name, true, *result);
    result->dropped = std::move(dropped);
    return result.release();
}

// `landinfo FILE level.png` of the file.
void drawPreview(PageResult& result) {
    landinfo::Inspection drawn =
        landinfo::inspect(requestFor(result.name.c_str(), landinfo::Output::Preview),
                          result.previewed, result.previewedSize);
    if (drawn.written)
        result.file(Output::Preview) = std::move(*drawn.written);
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

// `bytes` (from malloc) are the first `size` bytes of a file of `fileSize`
// bytes called `name` (UTF-8). The result takes them over, and stays until
// page_release(), which frees both.
PageResult* page_inspect(std::uint8_t* bytes, std::size_t size, double fileSize, const char* name) {
    bmp2land::web::PageBytes dropped(bytes);
    const auto realSize = fileSize > static_cast<double>(size)
                              ? static_cast<std::uint64_t>(fileSize)
                              : std::uint64_t{size};
    return bmp2land::web::inspect(std::move(dropped), size, realSize, name);
}

// Draws the level's preview into the result (Output::Preview): the page asks
// once it has shown the verdict, which comes first.
void page_preview(PageResult* result) {
    bmp2land::web::drawPreview(*result);
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
