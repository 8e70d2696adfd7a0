#include "platform/output_file.hpp"

#include "platform/file_attributes.hpp"
#include "platform/link_target.hpp"
#include "platform/path_queries.hpp"
#include "platform/temporary_name.hpp"

namespace bmp2land::platform {
namespace {

constexpr int kTemporaryNameAttempts = 16;

}  // namespace

// The temporary file goes beside the file that is replaced, so that the
// rename stays within its file system and its directory.
std::unique_ptr<ReplacementFile> ReplacementFile::create(const std::string& target) {
    std::optional<std::string> replaced = finalTarget(target);
    if (!replaced || (exists(*replaced) && !isWritable(*replaced)) || isSpecialFile(*replaced)) {
        return nullptr;
    }
    const std::optional<FileAttributes> kept = attributesOf(*replaced);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::string temporary = temporaryName(*replaced);
        RemovalOnInterrupt removal(temporary);
        FileHandle file(fileOperations().createNew(temporary));
        if (file) {
            if (kept) {  // before the first byte is in it
                giveAttributes(file.get(), *kept);
            } else {
                giveNewFileMode(file.get());
            }
            removal.watch(file.get());
            return std::unique_ptr<ReplacementFile>(
                new ReplacementFile(target, std::move(*replaced), std::move(temporary),
                                    std::move(file), std::move(removal)));
        }
    }
    return nullptr;
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        discard();
    }
}

bool ReplacementFile::put(Bytes bytes) {
    if (failed_ || !file_) {
        return false;
    }
    if (fileOperations().write(bytes.data(), bytes.size(), file_.get()) != bytes.size()) {
        failed_ = true;
    }
    return !failed_;
}

// Everything put so far, on the disk and closed: a crash after the rename
// must find the new data under the name, not an empty or zero-filled file.
bool ReplacementFile::finishWriting() {
    if (failed_ || !file_) {
        return false;
    }
    const bool synced = fileOperations().flush(file_.get()) && fileOperations().sync(file_.get());
    const bool closed = fileOperations().close(file_.release());
    return synced && closed;
}

// Makes the rename itself last. Its result is not looked at: the new file is
// in place by then, and POSIX allows file systems that can't sync a
// directory, so failing here would report a finished file as lost.
void ReplacementFile::settle(const std::string& placedAt) {
    committed_ = true;
    removal_.disarm();
    (void)fileOperations().syncDirectory(parentDirectory(placedAt));
}

bool ReplacementFile::commit() {
    if (!finishWriting() || !fileOperations().replace(temporaryPath_, target_)) {
        discard();
        return false;
    }
    settle(target_);
    return true;
}

NewFileResult ReplacementFile::commitAsNew() {
    if (!finishWriting()) {
        discard();
        return NewFileResult::Failed;
    }
    if (!fileOperations().placeNew(temporaryPath_, name_)) {
        discard();
        return exists(name_) ? NewFileResult::AlreadyExists : NewFileResult::Failed;
    }
    settle(name_);
    return NewFileResult::Created;
}

void ReplacementFile::discard() {
    file_.reset();
    if (!temporaryPath_.empty()) {
        removeFile(temporaryPath_);
        temporaryPath_.clear();
    }
    removal_.disarm();
}

}  // namespace bmp2land::platform
