#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/byte_sink.hpp"
#include "platform/file_operations.hpp"

namespace bmp2land::platform {

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
    ReplacementFile(std::string target, std::string temporaryPath, FileHandle file)
        : target_(std::move(target)),
          temporaryPath_(std::move(temporaryPath)),
          file_(std::move(file)) {}
    bool finishWriting();
    void settle(const std::string& placedAt);
    void discard();

    std::string target_;
    std::string temporaryPath_;
    FileHandle file_;
    bool failed_ = false;
    bool committed_ = false;
};

using NewFileResult = ReplacementFile::NewFileResult;

}  // namespace bmp2land::platform
