#include "landinfo/inspection.hpp"

#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/land_summary_report.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/level_check_report.hpp"

namespace bmp2land::landinfo {
namespace {

// Exit status 0 only when bmp2land would convert the file.
Inspection inspectBitmap(const Request& request, Bytes bytes, std::uint64_t size) {
    if (request.exporting)
        return Inspection{{}, usageText(request.program), kFailure, {}};
    const LevelCheck check = checkLevel(bytes, size);
    return Inspection{
        levelCheckText(check, request.path), {}, check.converts() ? kSuccess : kFailure, {}};
}

Inspection inspectLandFile(const Request& request, Bytes bytes, std::uint64_t size) {
    const auto file = readLandFile(bytes, size);
    if (!file) {
        const LandFileError& e = file.error();
        return Inspection{{},
                          complaintText(request.path, std::string(e.record) + ": " + e.problem +
                                                          " at offset " + std::to_string(e.offset)),
                          kFailure,
                          {}};
    }
    Inspection inspection{landSummaryText(*file, summarize(*file, bytes)), {}, kSuccess, {}};
    if (request.exporting)
        inspection.exported = exportBitmap(file->model);
    return inspection;
}

}  // namespace

Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size) {
    if (pictureFormat(bytes) != PictureFormat::Other)
        return inspectBitmap(request, bytes, size);
    return inspectLandFile(request, bytes, size);
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
