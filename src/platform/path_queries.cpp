#include "platform/path_queries.hpp"

#include <filesystem>
#include <system_error>

#include "platform/file_operations.hpp"

namespace bmp2land::platform {

namespace fs = std::filesystem;

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(fs::path(path), error));
}

// Tested by opening the file for update without truncating it.
bool isWritable(const std::string& path) {
    if (isDirectory(path)) {
        return false;
    }
    return FileHandle(fileOperations().open(path, "r+b")) != nullptr;
}

// A FIFO, a device or a socket: a new file renamed over one would take its
// place instead of being written into it.
bool isSpecialFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(fs::path(path), error);
    return !error && fs::exists(status) && !fs::is_regular_file(status) &&
           !fs::is_directory(status);
}

std::string parentDirectory(const std::string& path) {
#ifdef _WIN32
    constexpr const char* kSeparators = "/\\";
#else
    constexpr const char* kSeparators = "/";
#endif
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) {
        return ".";
    }
    return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

void removeFile(const std::string& path) {
    std::error_code error;
    fs::remove(fs::path(path), error);
}

}  // namespace bmp2land::platform
