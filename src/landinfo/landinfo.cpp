#include "landinfo/landinfo.hpp"

#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "landinfo/inspection.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"

namespace bmp2land::landinfo {
namespace {

// Problems go to standard error, one line each, naming the file first.
int complain(const char* file, const std::string& what) {
    platform::printErr(complaintText(file, what));
    return kFailure;
}

int alreadyExists(const char* path) {
    return complain(path, "already exists" + std::string(kNothingWritten));
}

// Never replaces anything: not the input, not a file or a link of that name,
// not one that appears while the export or preview is written.
int writeNewFile(const std::vector<std::uint8_t>& bytes, const char* path,
                 platform::FileOperations& files) {
    if (platform::exists(path))
        return alreadyExists(path);
    auto out = platform::ReplacementFile::create(path, files);
    if (!out)
        return complain(path, "cannot be created");
    if (!out->put(bytes))
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

void show(const std::string& out, const std::string& err) {
    if (!out.empty())
        platform::printOut(out);
    if (!err.empty())
        platform::printErr(err);
}

// The file's part: open and read it, show what inspect() says of it, and write
// the export or preview it makes. Its status stands unless that can't be
// written.
int inspectFile(std::span<const char* const> args, platform::FileOperations& files) {
    Request request;
    if (!args.empty() && args[0] != nullptr)
        request.program = args[0];
    const std::optional<Output> output =
        args.size() == 3 ? outputFor(args[2]) : std::optional<Output>(Output::None);
    if ((args.size() != 2 && args.size() != 3) || !output) {
        show({}, usageText(request.program));
        return kFailure;
    }
    request.path = args[1];
    request.output = *output;
    if (args.size() == 3)
        request.outPath = args[2];
    auto input = platform::InputFile::open(request.path, files);
    if (!input)
        return complain(request.path, "cannot be opened");
    const auto bytes = input->readAll();
    input->close();
    if (!bytes)
        return complain(request.path, "cannot be read");
    const Inspection inspection = inspect(request, *bytes, input->realSize(bytes->size()));
    show(inspection.out, inspection.err);
    (void)std::fflush(stdout);
    if (!inspection.written)
        return inspection.status;
    if (writeNewFile(*inspection.written, request.outPath, files) != kSuccess)
        return kFailure;
    show(writtenText(request.outPath) + inspection.afterWritten, {});
    return inspection.status;
}

}  // namespace

int runLandInfo(std::span<const char* const> args, platform::FileOperations& files) {
    int status = kFailure;
    try {
        status = inspectFile(args, files);
    } catch (const std::bad_alloc&) {
        status = complain("landinfo", "not enough memory");
    }
    (void)std::fflush(stdout);
    return status;
}

}  // namespace bmp2land::landinfo
