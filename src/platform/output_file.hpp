#pragma once

// Writing a file that may replace another: through a temporary file beside it,
// with the replaced file's links and attributes kept, or, where no file can
// take its place, into the file itself. What differs from system to system is
// in output_file_posix.cpp and output_file_windows.cpp.

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

// A file being written in the place of another, through the file calls of
// `operations`, which must outlive it.
class OutputFile : public ByteSink {
  public:
    // `target` anew, the way that works where it is, found out before a byte
    // is written: a ReplacementFile wherever one can be made beside `target`
    // and put in its place; else, when `target` is a file the process may
    // write, an InPlaceFile, as a program that opens it for writing has it.
    // Null when neither works: `target` can't be written (read-only, a
    // directory, a FIFO, a device), its links are not followed (see
    // finalTarget()), or nothing is there and nothing can be created.
    static std::unique_ptr<OutputFile> replacing(const std::string& target,
                                                 FileOperations& operations);

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() override = default;

    [[nodiscard]] bool put(Bytes bytes) final;
    // Everything put so far, on the disk under the target's name.
    [[nodiscard]] virtual bool commit() = 0;

  protected:
    explicit OutputFile(FileOperations& operations)
        : operations_(operations), file_(nullptr, FileCloser{&operations}) {}
    FileOperations& operations() const { return operations_; }
    FileHandle& handle() { return file_; }
    // Everything put so far, on the disk and closed.
    bool finishWriting();

  private:
    FileOperations& operations_;
    FileHandle file_;
    bool failed_ = false;
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
class ReplacementFile final : public OutputFile {
  public:
    // Null when `target` exists but can't be written (a read-only file, a
    // directory), when its links are not followed (see finalTarget()), or
    // when no temporary file can be created beside the file it names.
    static std::unique_ptr<ReplacementFile> create(const std::string& target,
                                                   FileOperations& operations);
    // The same for a `target` whose links are followed to `replaced`, which
    // examine() does not refuse.
    static std::unique_ptr<ReplacementFile> beside(const std::string& target, std::string replaced,
                                                   FileOperations& operations);

    ~ReplacementFile() override;

    // Flushes, syncs to the disk, closes and renames onto the target, then
    // syncs the target's directory. On failure the target is as it was and
    // the temporary file is gone.
    [[nodiscard]] bool commit() override;

    enum class NewFileResult : std::uint8_t { Created, AlreadyExists, Failed };
    // Like commit(), but never replaces anything: if `target` exists by the time
    // of the commit (a file, a directory, a link, even a dangling link), the
    // temporary file is removed, `target` is untouched and the result is
    // AlreadyExists. Syncs like commit().
    [[nodiscard]] NewFileResult commitAsNew();

    const std::string& temporaryPath() const { return temporaryPath_; }

  private:
    ReplacementFile(FileOperations& operations, std::string name, std::string target)
        : OutputFile(operations), name_(std::move(name)), target_(std::move(target)) {}
    bool createTemporary(const std::optional<FileAttributes>& kept);
    void settle(const std::string& placedAt);
    void discard();

    std::string name_;           // as given: a new file must not take the place of a link
    std::string target_;         // the file that `name_` finally names
    std::string temporaryPath_;  // empty until the temporary file is made
    RemovalOnInterrupt removal_;
    bool committed_ = false;
};

// An existing file written over: emptied when it is opened, then written
// and, by commit(), synced and closed. For where no other file can take its
// place (no new file can be created beside it, or its directory lets no one
// but its owner replace it) while the file itself may be written. Not
// atomic: a failed write or an interruption leaves the file cut short.
class InPlaceFile final : public OutputFile {
  public:
    // Null, with the file untouched, when it can't be opened for writing or
    // emptied.
    static std::unique_ptr<InPlaceFile> open(const std::string& path, FileOperations& operations);

    [[nodiscard]] bool commit() override;

  private:
    explicit InPlaceFile(FileOperations& operations) : OutputFile(operations) {}
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
// True when the directory of `path`, a file examine() finds writable, would
// refuse to let another file take its place, as far as that is known before
// trying: a sticky directory (like /tmp) lets only the file's owner, the
// directory's owner and root do so, and a file mounted on its own (as a
// container is given one) can't be renamed over at all.
bool replacingRefused(const std::string& path);
// The directory that holds `path`: "." for a bare name.
std::string parentDirectory(const std::string& path);

// The file that `path` finally names: `path` itself unless it is a symbolic
// link, else the end of its chain of links, whether anything is there yet or
// not. Empty for a loop of links, a link that can't be read, or, on POSIX, a
// link in a sticky directory open to all (like /tmp) that is neither the
// process's own nor the directory owner's, as the system protects such links.
// Windows programs replace a link itself, not what it points to: there it is
// `path`.
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
