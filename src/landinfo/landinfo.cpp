#include "landinfo/landinfo.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <span>
#include <string>

#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/land_summary_report.hpp"
#include "landinfo/level_check.hpp"
#include "landinfo/level_check_report.hpp"
#include "platform/console_output.hpp"
#include "platform/input_file.hpp"
#include "platform/path_queries.hpp"
#include "platform/replacement_file.hpp"

namespace bmp2land::landinfo {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// Problems go to standard error, one line each, naming the file first.
int complain(const char* file, const std::string& what) {
    platform::printErr(std::string(file) + ": " + what + "\n");
    return kFailure;
}

int usage(std::span<const char* const> args) {
    const char* name = args.empty() || args[0] == nullptr ? "landinfo" : args[0];
    platform::printErr(std::string("Usage: ") + name + " FILE [OUT.bmp]\n");
    return kFailure;
}

int alreadyExists(const char* path) {
    return complain(path, "already exists; nothing written");
}

// Never replaces anything: not the input, not a file or a link of that name,
// not one that appears while the bitmap is written.
int writeExport(const land::LandModel& model, const char* path) {
    if (platform::exists(path))
        return alreadyExists(path);
    auto out = platform::ReplacementFile::create(path);
    if (!out)
        return complain(path, "cannot be created");
    if (!out->put(exportBitmap(model)))
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

// Exit status 0 only when bmp2land would convert the file.
int inspectBitmap(const ByteBuffer& bytes, std::uint64_t size, const char* path) {
    const LevelCheck check = checkLevel(bytes, size);
    printLevelCheck(check, path);
    return check.converts() ? kSuccess : kFailure;
}

int inspectLandFile(const ByteBuffer& bytes, std::uint64_t size, const char* path,
                    const char* out) {
    const auto file = readLandFile(bytes, size);
    if (!file) {
        const LandFileError& e = file.error();
        return complain(path, std::string(e.record) + ": " + e.problem + " at offset " +
                                  std::to_string(e.offset));
    }
    printLandSummary(*file, summarize(*file, bytes));
    (void)std::fflush(stdout);
    return out != nullptr ? writeExport(file->model, out) : kSuccess;
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
    const std::uint64_t size = realSize(*bytes, *input);
    if (pictureFormat(*bytes) != PictureFormat::Other)
        return args.size() == 2 ? inspectBitmap(*bytes, size, path) : usage(args);
    return inspectLandFile(*bytes, size, path, args.size() == 3 ? args[2] : nullptr);
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

}  // namespace bmp2land::landinfo
