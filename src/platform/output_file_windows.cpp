#include "platform/files.hpp"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/native_path.hpp"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    // O_EXCL: never reuse a file that is already there. Only the owner may
    // open it until it has the mode it is to keep: a reader who got in while
    // it had a wider one would go on reading what is written.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        (void)::close(fd);
        (void)::unlink(path.c_str());
    }
    return file;
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

#ifdef _WIN32
bool FileOperations::sync(std::FILE* file) {
    return _commit(_fileno(file)) == 0;  // FlushFileBuffers on the file's handle
}

// A move made with MOVEFILE_WRITE_THROUGH is on the disk when it returns;
// Windows has no directory to flush on its own.
bool FileOperations::syncDirectory(const std::string& /*directory*/) {
    return true;
}
#else
bool FileOperations::sync(std::FILE* file) {
    // fsync rather than fdatasync: the mode given to the new file must last too.
    return ::fsync(::fileno(file)) == 0;
}

bool FileOperations::syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}
#endif

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

#ifdef _WIN32
bool FileOperations::placeNew(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool FileOperations::placeNew(const std::string& from, const std::string& to) {
    // link() never replaces anything, links included; the temporary name is
    // dropped once the file has its new one.
    if (::link(from.c_str(), to.c_str()) == 0) {
        (void)::unlink(from.c_str());
        return true;
    }
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT) still offer an exclusive rename.
    if (errno != EEXIST) {
        return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
    }
#endif
    return false;
}
#endif

FileOperations& fileOperations() {
    return currentOperations != nullptr ? *currentOperations : defaultOperations();
}

void useFileOperations(FileOperations* operations) {
    currentOperations = operations;
}

}  // namespace bmp2land::platform
