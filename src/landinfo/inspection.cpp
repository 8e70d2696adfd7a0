#include "landinfo/inspection.hpp"

#include "landinfo/drawing_report.hpp"
#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/land_summary_report.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/level_check_report.hpp"

namespace bmp2land::landinfo {
namespace {

// A PNG, or a bitmap without a palette, which bmp2land refuses for its kind,
// is a drawing still: what its level would be, after what the file is (a
// bitmap's headers say it already).
std::string levelToCome(const LevelCheck& check, Bytes bytes) {
    const bool drawing = check.format == PictureFormat::Png ||
                         (check.bitmap && check.bitmap->bitCount > bitmap::kBitCount);
    if (!drawing || check.converts())
        return {};
    const auto level = drawing::levelFromFile(bytes);
    if (!level)
        return {};
    return check.bitmap ? levelFactsText(*level) : drawingText(*level);
}

// Exit status 0 only when bmp2land would convert the file.
Inspection inspectBitmap(const Request& request, Bytes bytes, std::uint64_t size) {
    const LevelCheck check = checkLevel(bytes, size);
    return Inspection{levelCheckText(check, request.path, levelToCome(check, bytes)),
                      {},
                      check.converts() ? kSuccess : kFailure,
                      {},
                      {}};
}

// Exit status 0 only when the level is written and bmp2land converts it.
Inspection inspectDrawing(const Request& request, Bytes bytes) {
    const auto level = drawing::levelFromFile(bytes);
    if (!level) {
        return Inspection{
            {},
            complaintText(request.path,
                          pictureFailureText(level.error(), picture::pictureFormat(bytes)) +
                              "; nothing written"),
            kFailure,
            {},
            {}};
    }
    return levelInspection(request, *level);
}

Inspection inspectLandFile(const Request& request, Bytes bytes, std::uint64_t size) {
    const auto file = readLandFile(bytes, size);
    if (!file) {
        const LandFileError& e = file.error();
        return Inspection{{},
                          complaintText(request.path, std::string(e.record) + ": " + e.problem +
                                                          " at offset " + std::to_string(e.offset)),
                          kFailure,
                          {},
                          {}};
    }
    Inspection inspection{landSummaryText(*file, summarize(*file, bytes)), {}, kSuccess, {}, {}};
    if (request.exporting)
        inspection.exported = exportBitmap(file->model);
    return inspection;
}

}  // namespace

Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size) {
    if (picture::pictureFormat(bytes) == PictureFormat::Other)
        return inspectLandFile(request, bytes, size);
    if (request.exporting)
        return inspectDrawing(request, bytes);
    return inspectBitmap(request, bytes, size);
}

Inspection levelInspection(const Request& request, const drawing::Level& level) {
    Inspection inspection{drawingText(level), {}, kFailure, exportBitmap(level.image), {}};
    const LevelCheck check = checkLevel(*inspection.exported);
    inspection.afterWritten = drawingVerdictText(level, check, request.exportPath);
    inspection.status = check.converts() ? kSuccess : kFailure;
    return inspection;
}

std::string usageText(const char* program) {
    return std::string("Usage: ") + program + " FILE [OUT.bmp]\n";
}

std::string complaintText(std::string_view file, std::string_view what) {
    return std::string(file) + ": " + std::string(what) + "\n";
}

std::string writtenText(std::string_view file) {
    return "written: " + std::string(file) + "\n";
}

}  // namespace bmp2land::landinfo
