#include "platform/file_operations.hpp"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace bmp2land::platform {
namespace {

FileOperations& defaultOperations() {
    static FileOperations operations;
    return operations;
}

FileOperations* currentOperations = nullptr;

}  // namespace

std::FILE* FileOperations::open(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* FileOperations::createNew(const std::string& path) {
#ifdef _WIN32
    // The C library mingw-w64 links against (msvcrt.dll) predates fopen's
    // "x" mode, so the exclusive create is spelled out.
    const int fd =
        _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
#else
    return std::fopen(path.c_str(), "wbx");  // "x": never reuse a file that is already there
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

bool FileOperations::replace(const std::string& from, const std::string& to) {
    // POSIX rename() replaces `to` atomically; on Windows the library's
    // rename maps to MoveFileEx with MOVEFILE_REPLACE_EXISTING.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from), std::filesystem::path(to), error);
    return !error;
}

FileOperations& fileOperations() {
    return currentOperations != nullptr ? *currentOperations : defaultOperations();
}

void useFileOperations(FileOperations* operations) {
    currentOperations = operations;
}

}  // namespace bmp2land::platform
