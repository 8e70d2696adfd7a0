#pragma once

// Writing a file that may replace another: through a temporary file beside it,
// with the replaced file's links and attributes kept. What differs from system
// to system is in output_file_posix.cpp and output_file_windows.cpp.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "common/byte_sink.hpp"
#include "platform/files.hpp"
#include "platform/interrupt_cleanup.hpp"

namespace bmp2land::platform {

// What a file that replaces another keeps of it: the permission bits, and
// the owner and group as far as the process may set them (a group it may not
// set gets no more rights than others had).
struct FileAttributes {
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// A new version of `target`, written to a temporary file of its own beside
// it and put in place by commit(). Until then `target` is untouched; if the
// object goes away uncommitted, or the program is interrupted, the temporary
// file is removed.
//
// When `target` is a symbolic link, the file it finally points to is the one
// replaced (created, for a link to nothing), and the link stays. The new file
// keeps the replaced one's permission bits, and its owner and group where the
// process may set them.
class ReplacementFile final : public ByteSink {
  public:
    // Null when `target` exists but can't be written (a read-only file, a
    // directory), when it is a loop of links, or when no temporary file can
    // be created beside the file it names. Every file call goes through
    // `operations`, which must outlive the object.
    static std::unique_ptr<ReplacementFile> create(const std::string& target,
                                                   FileOperations& operations);

    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() override;

    [[nodiscard]] bool put(Bytes bytes) override;

    // Flushes, syncs to the disk, closes and renames onto the target, then
    // syncs the target's directory. On failure the target is as it was and
    // the temporary file is gone.
    [[nodiscard]] bool commit();

    enum class NewFileResult : std::uint8_t { Created, AlreadyExists, Failed };
    // Like commit(), but never replaces anything: if `target` exists by the time
    // of the commit (a file, a directory, a link, even a dangling link), the
    // temporary file is removed, `target` is untouched and the result is
    // AlreadyExists. Syncs like commit().
    [[nodiscard]] NewFileResult commitAsNew();

    const std::string& temporaryPath() const { return temporaryPath_; }

  private:
    ReplacementFile(FileOperations& operations, std::string name, std::string target)
        : operations_(operations),
          name_(std::move(name)),
          target_(std::move(target)),
          file_(nullptr, FileCloser{&operations}) {}
    bool createTemporary(const std::optional<FileAttributes>& kept);
    bool finishWriting();
    void settle(const std::string& placedAt);
    void discard();

    FileOperations& operations_;
    std::string name_;           // as given: a new file must not take the place of a link
    std::string target_;         // the file that `name_` finally names
    std::string temporaryPath_;  // empty until the temporary file is made
    FileHandle file_;
    RemovalOnInterrupt removal_;
    bool failed_ = false;
    bool committed_ = false;
};

using NewFileResult = ReplacementFile::NewFileResult;

// True when anything is at `path`, a link to nothing included.
bool exists(const std::string& path);

// What is at the path of a file to be replaced. It is found out without
// opening anything: opening a FIFO or a device, even only to ask, can block
// or disturb whoever is at the other end.
enum class Existing : std::uint8_t {
    Nothing,       // no file, or none the system will tell of
    WritableFile,  // a regular file that the process may write
    Refused,       // a directory, a FIFO, a device, a socket, or a file it may not write
};
Existing examine(const std::string& path);
// The directory that holds `path`: "." for a bare name.
std::string parentDirectory(const std::string& path);

// The file that `path` finally names: `path` itself unless it is a symbolic
// link, else the end of its chain of links, whether anything is there yet or
// not. Empty for a loop of links or a link that can't be read. Windows
// programs replace a link itself, not what it points to: there it is `path`.
std::optional<std::string> finalTarget(const std::string& path);

// The attributes of the regular file at `path`; none when there is none, and
// on Windows, where a new file takes its permissions from its folder.
std::optional<FileAttributes> attributesOf(const std::string& path);
// Gives `file`, freshly created with its owner's rights alone, the attributes
// it is to keep. A mode the file system refuses leaves it no wider.
void giveAttributes(std::FILE* file, const FileAttributes& attributes);
// Gives such a file the mode any new file gets: 0666 less the umask.
void giveNewFileMode(std::FILE* file);

}  // namespace bmp2land::platform
