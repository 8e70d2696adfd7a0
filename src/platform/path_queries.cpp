#include "platform/path_queries.hpp"

#include <filesystem>
#include <system_error>

#include "platform/files.hpp"
#include "platform/native_path.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace bmp2land::platform {

namespace fs = std::filesystem;

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(nativePath(path), error);
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(nativePath(path), error));
}

bool isWritable(const std::string& path) {
#ifdef _WIN32
    // Nothing is opened: while one run held land.dat open, no other could
    // rename over it.
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
#else
    // Tested by opening the file for update without truncating it.
    if (isDirectory(path)) {
        return false;
    }
    return FileHandle(fileOperations().open(path, "r+b")) != nullptr;
#endif
}

// A FIFO, a device or a socket: a new file renamed over one would take its
// place instead of being written into it.
bool isSpecialFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(nativePath(path), error);
    return !error && fs::exists(status) && !fs::is_regular_file(status) &&
           !fs::is_directory(status);
}

std::string parentDirectory(const std::string& path) {
    const std::size_t last = path.find_last_of(kPathSeparators);
    if (last == std::string::npos) {
        return ".";
    }
    return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

void removeFile(const std::string& path) {
    std::error_code error;
    fs::remove(nativePath(path), error);
}

std::string currentFolder() {
    std::error_code error;
    const fs::path folder = fs::current_path(error);
    return error ? std::string() : utf8Path(folder);
}

}  // namespace bmp2land::platform
