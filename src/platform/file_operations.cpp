#include "platform/file_operations.hpp"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/native_path.hpp"
#endif

namespace bmp2land::platform {
namespace {

FileOperations& defaultOperations() {
    static FileOperations operations;
    return operations;
}

FileOperations* currentOperations = nullptr;

#ifdef _WIN32
// A reader of the target (the game, a virus scanner, another run's look at
// it) makes the move fail for a moment; this long a wait outlasts that.
constexpr ULONGLONG kReplaceRetryMilliseconds = 1000;
constexpr DWORD kReplacePauseMilliseconds = 20;

bool isBriefConflict(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}
#endif

}  // namespace

std::FILE* FileOperations::open(const std::string& path, const char* mode) {
#ifdef _WIN32
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::FILE* FileOperations::createNew(const std::string& path) {
#ifdef _WIN32
    // The C library mingw-w64 links against (msvcrt.dll) predates fopen's
    // "x" mode, so the exclusive create is spelled out.
    const std::wstring name = widen(path);
    const int fd =
        _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
        (void)_wremove(name.c_str());  // nobody else can know of the file made just now
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
#ifdef _WIN32
    const std::wstring source = widen(from);
    const std::wstring target = widen(to);
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            return true;
        }
        if (!isBriefConflict(GetLastError()) ||
            GetTickCount64() - start >= kReplaceRetryMilliseconds) {
            return false;
        }
        Sleep(kReplacePauseMilliseconds);
    }
#else
    // POSIX rename() replaces `to` atomically.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from), std::filesystem::path(to), error);
    return !error;
#endif
}

FileOperations& fileOperations() {
    return currentOperations != nullptr ? *currentOperations : defaultOperations();
}

void useFileOperations(FileOperations* operations) {
    currentOperations = operations;
}

}  // namespace bmp2land::platform
