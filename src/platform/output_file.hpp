#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/byte_sink.hpp"
#include "platform/files.hpp"
#include "platform/interrupt_cleanup.hpp"

namespace bmp2land::platform {

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
    // be created beside the file it names.
    static std::unique_ptr<ReplacementFile> create(const std::string& target);

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
    ReplacementFile(std::string name, std::string target, std::string temporaryPath,
                    FileHandle file, RemovalOnInterrupt removal)
        : name_(std::move(name)),
          target_(std::move(target)),
          temporaryPath_(std::move(temporaryPath)),
          file_(std::move(file)),
          removal_(std::move(removal)) {}
    bool finishWriting();
    void settle(const std::string& placedAt);
    void discard();

    std::string name_;    // as given: a new file must not take the place of a link
    std::string target_;  // the file that `name_` finally names
    std::string temporaryPath_;
    FileHandle file_;
    RemovalOnInterrupt removal_;
    bool failed_ = false;
    bool committed_ = false;
};

using NewFileResult = ReplacementFile::NewFileResult;

}  // namespace bmp2land::platform
