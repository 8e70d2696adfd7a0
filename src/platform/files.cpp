#include "platform/input_file.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/native_path.hpp"
#include "platform/path_queries.hpp"

namespace bmp2land::platform {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;

}  // namespace

std::optional<InputFile> InputFile::open(const std::string& path) {
    if (isDirectory(path)) {
        return std::nullopt;
    }
    FileHandle file(fileOperations().open(path, "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(nativePath(path), error);
    return InputFile(std::move(file), error ? 0 : static_cast<std::size_t>(size));
}

std::optional<ByteBuffer> InputFile::readAll(std::size_t limit) {
    // Sized once from the file's length; a file that turns out longer (it
    // grew, or has no length, like a pipe) is read on in growing chunks, but
    // never past `limit`: /dev/zero must not eat all memory.
    ByteBuffer bytes;
    std::size_t used = 0;
    std::size_t want = std::min(sizeHint_, limit - 1) + 1;  // one more, to see the end
    for (;;) {
        bytes.resize(used + want);
        const std::size_t got = fileOperations().read(bytes.data() + used, want, file_.get());
        used += got;
        if (got < want || used >= limit) {
            break;
        }
        want = std::min(std::max(used, kReadChunk), limit - used);
    }
    if (fileOperations().readFailed(file_.get())) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace bmp2land::platform
