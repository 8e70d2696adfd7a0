#include "platform/files.hpp"

#include <algorithm>
#include <system_error>

#include "platform/utf16.hpp"

namespace bmp2land::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadChunk = 1 << 16;

}  // namespace

std::filesystem::path nativePath(const std::string& utf8) {
#ifdef _WIN32
    return {widen(utf8)};
#else
    return {utf8};
#endif
}

std::string utf8Path(const std::filesystem::path& path) {
#ifdef _WIN32
    return narrow(path.native());
#else
    return path.string();
#endif
}

std::FILE* FileOperations::open(const std::string& path, const char* mode) {
#ifdef _WIN32
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::size_t FileOperations::read(void* buffer, std::size_t size, std::FILE* file) {
    return std::fread(buffer, 1, size, file);
}

bool FileOperations::readFailed(std::FILE* file) {
    return std::ferror(file) != 0;
}

std::size_t FileOperations::write(const void* data, std::size_t size, std::FILE* file) {
    return std::fwrite(data, 1, size, file);
}

bool FileOperations::flush(std::FILE* file) {
    return std::fflush(file) == 0;
}

bool FileOperations::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(nativePath(path), error);
}

std::string currentFolder() {
    std::error_code error;
    const fs::path folder = fs::current_path(error);
    return error ? std::string() : utf8Path(folder);
}

std::optional<InputFile> InputFile::open(const std::string& path, FileOperations& operations) {
    if (isDirectory(path)) {
        return std::nullopt;
    }
    FileHandle file(operations.open(path, "rb"), FileCloser{&operations});
    if (!file) {
        return std::nullopt;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(nativePath(path), error);
    return InputFile(std::move(file), error ? 0 : static_cast<std::size_t>(size));
}

std::optional<ByteBuffer> InputFile::readAll(std::size_t limit) {
    // Sized once from the file's length; a file that turns out longer (it
    // grew, or has no length, like a pipe) is read on in growing chunks, but
    // never past `limit`: /dev/zero must not eat all memory.
    FileOperations& operations = *file_.get_deleter().operations;
    ByteBuffer bytes;
    std::size_t used = 0;
    std::size_t want = std::min(sizeHint_, limit - 1) + 1;  // one more, to see the end
    for (;;) {
        bytes.resize(used + want);
        const std::size_t got = operations.read(bytes.data() + used, want, file_.get());
        used += got;
        if (got < want || used >= limit) {
            break;
        }
        want = std::min(std::max(used, kReadChunk), limit - used);
    }
    if (operations.readFailed(file_.get())) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace bmp2land::platform
