#include "landinfo/inspection.hpp"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "landinfo/drawing_report.hpp"
#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/land_summary_report.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/level_check_report.hpp"
#include "landinfo/level_scenes.hpp"
#include "preview/preview.hpp"

namespace bmp2land::landinfo {
namespace {

// A report's line as a line of text in the picture.
std::string withoutNewline(std::string line) {
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

// The preview of `scene`, or why there is none: then the status is 1.
void addPreview(const Request& request, const preview::Scene& scene, Inspection& inspection) {
    const preview::Preview drawn = preview::render(scene);
    auto png = request.encodePng(drawn.image.width(), drawn.image.height(), drawn.image.rgb());
    if (!png) {
        inspection.err += complaintText(request.outPath, std::string(png::describe(png.error())) +
                                                             std::string(kNothingWritten));
        inspection.status = kFailure;
        return;
    }
    inspection.written = std::move(*png);
}

// What the level of a drawing would be, after what the file is (a bitmap's
// headers say it already), and its warnings; where it can't be made, the
// check's hints say why.
DrawingLines levelToCome(LevelCheck& check, Bytes bytes, Wording wording) {
    if (!check.isDrawing())
        return {};
    const auto level = drawing::levelFromFile(bytes);
    if (!level) {
        noteNoLevel(check, level.error());
        return {};
    }
    return {check.bitmap ? levelFactsText(*level) : drawingText(*level),
            drawingWarningsText(*level, wording)};
}

// Exit status 0 only when bmp2land would convert the file. A bitmap whose
// pixels are not read is previewed with its verdict alone.
Inspection inspectBitmap(const Request& request, LevelCheck& check, Bytes bytes) {
    const DrawingLines drawing = levelToCome(check, bytes, request.wording);
    Inspection inspection{levelCheckText(check, request.path, drawing, request.wording),
                          {},
                          check.converts() ? kSuccess : kFailure,
                          {},
                          {}};
    if (request.output == Output::Preview) {
        preview::Scene scene = check.image ? levelBitmapScene(*check.image) : preview::Scene{};
        if (!check.converts())
            scene.verdict = withoutNewline(verdictText(check, request.path));
        scene.notes = bitmapNotes(check);
        addPreview(request, scene, inspection);
    }
    return inspection;
}

// Exit status 0 only when the level is made (and written) and bmp2land
// converts it. A picture that gives no level is previewed with the reason
// alone, as a damaged land file is.
Inspection inspectDrawing(const Request& request, Bytes bytes) {
    const auto level = drawing::levelFromFile(bytes);
    if (level)
        return levelInspection(request, *level);
    const std::string why = pictureFailureText(level.error(), picture::pictureFormat(bytes));
    Inspection inspection;
    if (request.output != Output::Preview) {
        inspection.err = complaintText(request.path, why + std::string(kNothingWritten));
        return inspection;
    }
    inspection.err = complaintText(request.path, why);
    preview::Scene scene;
    scene.unreadable = withoutNewline(inspection.err);
    addPreview(request, scene, inspection);
    return inspection;
}

// A damaged file's preview shows what was read before the problem, and the
// problem in the words of standard error.
Inspection inspectLandFile(const Request& request, Bytes bytes, std::uint64_t size) {
    const LandFileReading reading = readLandFileRecords(bytes, size);
    Inspection inspection;
    if (reading.error) {
        const LandFileError& e = *reading.error;
        inspection.err = complaintText(request.path, std::string(e.record) + ": " + e.problem +
                                                         " at offset " + std::to_string(e.offset));
    } else {
        inspection.out = landSummaryText(reading.file, summarize(reading.file, bytes), request.path,
                                         request.wording);
        inspection.status = kSuccess;
        if (request.output == Output::Bitmap)
            inspection.written = exportBitmap(reading.file.model);
    }
    if (request.output == Output::Preview) {
        preview::Scene scene = landFileScene(reading);
        scene.unreadable = withoutNewline(inspection.err);
        addPreview(request, scene, inspection);
    }
    return inspection;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::equal(
               end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
               [](char e, char t) { return e == (t >= 'A' && t <= 'Z' ? t - 'A' + 'a' : t); });
}

}  // namespace

std::optional<Output> outputFor(std::string_view path) {
    if (endsWithIgnoringCase(path, ".bmp"))
        return Output::Bitmap;
    if (endsWithIgnoringCase(path, ".png"))
        return Output::Preview;
    return std::nullopt;
}

Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size) {
    if (picture::pictureFormat(bytes) == PictureFormat::Other)
        return inspectLandFile(request, bytes, size);
    if (request.output == Output::Bitmap)
        return inspectDrawing(request, bytes);
    LevelCheck check = checkLevel(bytes, size);
    if (request.output == Output::Preview && check.isDrawing())
        return inspectDrawing(request, bytes);
    return inspectBitmap(request, check, bytes);
}

Inspection levelInspection(const Request& request, const drawing::Level& level) {
    std::vector<std::uint8_t> bitmap = exportBitmap(level.image);
    const LevelCheck check = checkLevel(bitmap);
    const bool preview = request.output == Output::Preview;
    Inspection inspection{
        drawingText(level),
        {},
        check.converts() ? kSuccess : kFailure,
        {},
        drawingVerdictText(level, check, preview ? nullptr : request.outPath, request.wording)};
    if (!preview) {
        inspection.written = std::move(bitmap);
        return inspection;
    }
    // The level as bmp2land's reader takes it: the very preview of OUT.bmp.
    preview::Scene scene = check.image ? levelBitmapScene(*check.image) : preview::Scene{};
    if (!check.converts())
        scene.verdict = withoutNewline(verdictText(check, ""));
    scene.notes = drawingNotes(level.facts);
    addPreview(request, scene, inspection);
    return inspection;
}

std::string usageText(const char* program) {
    return std::string("Usage: ") + program + " FILE [OUT.bmp | OUT.png]\n";
}

std::string complaintText(std::string_view file, std::string_view what) {
    return std::string(file) + ": " + std::string(what) + "\n";
}

std::string writtenText(std::string_view file) {
    return "written: " + std::string(file) + "\n";
}

}  // namespace bmp2land::landinfo
