// The output file on Windows: the file calls that write, through the wide
// API. Windows programs replace a link itself, not what it points to, and a
// new file takes its permissions from its folder.

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

#include "platform/output_file.hpp"
#include "platform/utf16.hpp"

namespace bmp2land::platform {
namespace {

// A reader of the target (the game, a virus scanner, another run's look at
// it) makes the move fail for a moment; this long a wait outlasts that.
constexpr ULONGLONG kReplaceRetryMilliseconds = 1000;
constexpr DWORD kReplacePauseMilliseconds = 20;

bool isBriefConflict(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

std::FILE* FileOperations::createNew(const std::string& path) {
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
}

std::FILE* FileOperations::openExisting(const std::string& path) {
    const int fd = _wopen(widen(path).c_str(), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
}

bool FileOperations::truncate(std::FILE* file) {
    return _chsize(_fileno(file), 0) == 0;
}

bool FileOperations::sync(std::FILE* file) {
    return _commit(_fileno(file)) == 0;  // FlushFileBuffers on the file's handle
}

// A move made with MOVEFILE_WRITE_THROUGH is on the disk when it returns;
// Windows has no directory to flush on its own.
bool FileOperations::syncDirectory(const std::string& /*directory*/) {
    return true;
}

bool FileOperations::replace(const std::string& from, const std::string& to) {
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
}

bool FileOperations::placeNew(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

// From the attributes alone: while one run held land.dat open, no other could
// rename over it.
Existing examine(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Existing::Nothing
                                                                              : Existing::Refused;
    }
    constexpr DWORD kNotWritable =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    return (attributes & kNotWritable) == 0 ? Existing::WritableFile : Existing::Refused;
}

// Windows has no sticky directories; what else refuses a rename is found
// only by trying.
bool replacingRefused(const std::string& /*path*/) {
    return false;
}

std::optional<std::string> finalTarget(const std::string& path) {
    return path;
}

std::optional<FileAttributes> attributesOf(const std::string& /*path*/) {
    return std::nullopt;
}

void giveAttributes(std::FILE* /*file*/, const FileAttributes& /*attributes*/) {}

void giveNewFileMode(std::FILE* /*file*/) {}

}  // namespace bmp2land::platform
