#pragma once

// The primitive file calls this program makes, behind one table that is
// handed to whatever opens a file, so that tests can hand in one that makes
// any call fail; and the input file, read whole through it.
//
// Paths travel through the program as UTF-8 strings. nativePath() gives one
// the system's own form: unchanged on POSIX, UTF-16 on Windows, whose narrow
// file calls would take the ANSI code page and lose every character outside
// it. Every file name goes through there, so the name a file is created
// under is the name it is renamed or removed by.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/byte_buffer.hpp"
#include "common/input_limit.hpp"

namespace bmp2land::platform {

// What ends a folder's name in a path.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

// The defaults are the C library's and the file system's. Those that differ
// from system to system all serve the output file, and are defined with it
// (output_file_posix.cpp, output_file_windows.cpp).
class FileOperations {
  public:
    virtual ~FileOperations() = default;
    virtual std::FILE* open(const std::string& path, const char* mode);
    // Creates `path` for binary writing; fails if it already exists.
    virtual std::FILE* createNew(const std::string& path);
    // Opens the regular file at `path` for binary writing, neither creating
    // it nor emptying it; fails for anything else.
    virtual std::FILE* openExisting(const std::string& path);
    // Empties a file open for writing.
    virtual bool truncate(std::FILE* file);
    virtual std::size_t read(void* buffer, std::size_t size, std::FILE* file);
    virtual bool readFailed(std::FILE* file);
    virtual std::size_t write(const void* data, std::size_t size, std::FILE* file);
    virtual bool flush(std::FILE* file);
    // Puts what has been flushed to `file` on the disk itself.
    virtual bool sync(std::FILE* file);
    virtual bool close(std::FILE* file);
    // Puts `from` in the place of `to` in one step, replacing an existing `to`.
    virtual bool replace(const std::string& from, const std::string& to);
    // Puts `from` at `to` in one step, but only if nothing is at `to`, not
    // even a dangling link; `from` is gone afterwards.
    virtual bool placeNew(const std::string& from, const std::string& to);
    // Puts the latest changes to `directory`'s entries (a rename) on the disk.
    virtual bool syncDirectory(const std::string& directory);
};

// Closes through the table that opened the file.
struct FileCloser {
    FileOperations* operations = nullptr;
    void operator()(std::FILE* file) const { (void)operations->close(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool isDirectory(const std::string& path);
// The full path of the working directory; empty if it can't be found.
std::string currentFolder();

// An input file open for binary reading.
class InputFile {
  public:
    // Empty when the path can't be opened or names a directory.
    static std::optional<InputFile> open(const std::string& path, FileOperations& operations);

    // The whole file, or its first `limit` bytes when it is longer; empty
    // when a read fails. `limit` is at least 1.
    std::optional<ByteBuffer> readAll(std::size_t limit = kMaxInputSize);

    // The file's length as the file system gives it when it was opened (0
    // when it has none, like a pipe).
    std::size_t sizeHint() const { return sizeHint_; }

    // The file's length, `bytesRead` of it read by readAll(): those bytes,
    // or past the read cap what the file system gave, which alone knows.
    std::uint64_t realSize(std::size_t bytesRead) const {
        return bytesRead < kMaxInputSize ? bytesRead
                                         : std::max<std::uint64_t>(bytesRead, sizeHint_);
    }

    void close() { file_.reset(); }

  private:
    InputFile(FileHandle file, std::size_t sizeHint)
        : file_(std::move(file)), sizeHint_(sizeHint) {}
    FileHandle file_;
    std::size_t sizeHint_;
};

}  // namespace bmp2land::platform
