#pragma once

// Everything this program asks of the file system, in one place: opening the
// input, telling a directory from a file, and replacing an output file in one
// step so that it is never seen half-written. Where Windows and POSIX differ,
// the difference lives in files.cpp and nowhere else.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_buffer.hpp"
#include "common/byte_sink.hpp"

namespace bmp2land::platform {

// The primitive file calls, behind one table so that tests can make any of
// them fail. The defaults are the C library's and the file system's.
class FileOperations {
  public:
    virtual ~FileOperations() = default;
    virtual std::FILE* open(const std::string& path, const char* mode);
    // Creates `path` for binary writing; fails if it already exists.
    virtual std::FILE* createNew(const std::string& path);
    virtual std::size_t read(void* buffer, std::size_t size, std::FILE* file);
    virtual bool readFailed(std::FILE* file);
    virtual std::size_t write(const void* data, std::size_t size, std::FILE* file);
    virtual bool flush(std::FILE* file);
    virtual bool close(std::FILE* file);
    // Puts `from` in the place of `to` in one step, replacing an existing `to`.
    virtual bool replace(const std::string& from, const std::string& to);
};

// The table in use; `operations` null puts the defaults back.
FileOperations& fileOperations();
void useFileOperations(FileOperations* operations);

struct FileCloser {
    void operator()(std::FILE* file) const { fileOperations().close(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// How much of an input file is read. Neither a 1920 x 696 bitmap (under 3 MB
// in any encoding) nor a land file comes near it; an endless input such as
// /dev/zero or a pipe stops here instead of taking all memory.
inline constexpr std::size_t kMaxInputSize = std::size_t{64} << 20;

// An input file open for binary reading.
class InputFile {
  public:
    // Empty when the path can't be opened or names a directory.
    static std::optional<InputFile> open(const std::string& path);

    // The whole file, or its first `limit` bytes when it is longer; empty
    // when a read fails. `limit` is at least 1.
    std::optional<ByteBuffer> readAll(std::size_t limit = kMaxInputSize);

    void close() { file_.reset(); }

  private:
    InputFile(FileHandle file, std::size_t sizeHint)
        : file_(std::move(file)), sizeHint_(sizeHint) {}
    FileHandle file_;
    std::size_t sizeHint_;
};

// A new version of `target`, written to a temporary file of its own beside
// it and put in place by commit(). Until then `target` is untouched; if the
// object goes away uncommitted, the temporary file is removed.
class ReplacementFile final : public ByteSink {
  public:
    // Null when `target` exists but can't be written (a read-only file, a
    // directory) or when no temporary file can be created beside it.
    static std::unique_ptr<ReplacementFile> create(const std::string& target);

    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() override;

    [[nodiscard]] bool put(Bytes bytes) override;

    // Flushes, closes and renames onto the target. On failure the target is
    // as it was and the temporary file is gone.
    [[nodiscard]] bool commit();

    const std::string& temporaryPath() const { return temporaryPath_; }

  private:
    ReplacementFile(std::string target, std::string temporaryPath, FileHandle file)
        : target_(std::move(target)),
          temporaryPath_(std::move(temporaryPath)),
          file_(std::move(file)) {}
    void discard();

    std::string target_;
    std::string temporaryPath_;
    FileHandle file_;
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace bmp2land::platform
