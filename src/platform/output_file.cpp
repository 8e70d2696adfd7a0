#include "platform/output_file.hpp"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

namespace bmp2land::platform {
namespace {

namespace fs = std::filesystem;

constexpr int kTemporaryNameAttempts = 16;

// A word from the system's random source, where it has one.
std::uint32_t entropy() {
    try {
        return static_cast<std::uint32_t>(std::random_device{}());
    } catch (...) {
        return 0;
    }
}

// File systems allow names of 255 bytes (Windows: 255 UTF-16 units, never
// fewer than bytes), and the temporary name adds 21 to the target's name: a
// long name is cut, at a character boundary, so that the file can be made.
std::string shortened(const std::string& target) {
    constexpr std::size_t kLongestName = 255 - 21;
    const std::size_t nameStart = target.find_last_of(kPathSeparators) + 1;  // npos + 1 is 0
    if (target.size() - nameStart <= kLongestName) {
        return target;
    }
    std::size_t end = nameStart + kLongestName;
    while (end > nameStart && (static_cast<unsigned char>(target[end]) & 0xC0U) == 0x80U) {
        --end;  // not inside a UTF-8 sequence
    }
    return target.substr(0, end);
}

// `target` followed by ".<16 hex digits>.tmp": a name beside `target` that a
// concurrent run will not pick. A target name too long to take the 21 more
// bytes is cut first. Two runs started in the same clock tick still draw
// different random words.
std::string temporaryName(const std::string& target) {
    static std::mt19937_64 generator = [] {
        const int onTheStack = 0;  // its address differs from run to run
        const auto clock = static_cast<std::uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
        std::seed_seq seed{
            static_cast<std::uint32_t>(clock), static_cast<std::uint32_t>(clock >> 32),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&onTheStack)), entropy()};
        return std::mt19937_64(seed);
    }();
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string name = shortened(target) + ".";
    std::uint64_t word = generator();
    for (int i = 0; i < 16; ++i, word >>= 4) {
        name += kHex[word & 0xFU];
    }
    return name + ".tmp";
}

}  // namespace

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(nativePath(path), error));
}

std::string parentDirectory(const std::string& path) {
    const std::size_t last = path.find_last_of(kPathSeparators);
    if (last == std::string::npos) {
        return ".";
    }
    return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

std::unique_ptr<OutputFile> OutputFile::replacing(const std::string& target,
                                                  FileOperations& operations) {
    const std::optional<std::string> replaced = finalTarget(target);
    if (!replaced) {
        return nullptr;
    }
    const Existing existing = examine(*replaced);
    if (existing == Existing::Refused) {
        return nullptr;
    }
    const bool writable = existing == Existing::WritableFile;
    if (writable && replacingRefused(*replaced)) {
        return InPlaceFile::open(*replaced, operations);
    }
    if (auto file = ReplacementFile::beside(target, *replaced, operations)) {
        return file;
    }
    return writable ? InPlaceFile::open(*replaced, operations) : nullptr;
}

bool OutputFile::put(Bytes bytes) {
    if (failed_ || !file_) {
        return false;
    }
    if (operations_.write(bytes.data(), bytes.size(), file_.get()) != bytes.size()) {
        failed_ = true;
    }
    return !failed_;
}

// Everything put so far, on the disk and closed: a crash after the rename
// must find the new data under the name, not an empty or zero-filled file.
bool OutputFile::finishWriting() {
    if (failed_ || !file_) {
        return false;
    }
    const bool synced = operations_.flush(file_.get()) && operations_.sync(file_.get());
    const bool closed = operations_.close(file_.release());
    return synced && closed;
}

std::unique_ptr<ReplacementFile> ReplacementFile::create(const std::string& target,
                                                         FileOperations& operations) {
    std::optional<std::string> replaced = finalTarget(target);
    if (!replaced || examine(*replaced) == Existing::Refused) {
        return nullptr;
    }
    return beside(target, std::move(*replaced), operations);
}

// The temporary file goes beside the file that is replaced, so that the
// rename stays within its file system and its directory.
std::unique_ptr<ReplacementFile> ReplacementFile::beside(const std::string& target,
                                                         std::string replaced,
                                                         FileOperations& operations) {
    const std::optional<FileAttributes> kept = attributesOf(replaced);
    // The object comes first: from the moment a temporary file exists it is
    // the object's to remove, whatever fails after.
    std::unique_ptr<ReplacementFile> file(
        new ReplacementFile(operations, target, std::move(replaced)));
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        if (file->createTemporary(kept)) {
            return file;
        }
    }
    return nullptr;
}

// Whatever allocates comes before the file is made; nothing after it does.
bool ReplacementFile::createTemporary(const std::optional<FileAttributes>& kept) {
    temporaryPath_ = temporaryName(target_);
    removal_.arm(temporaryPath_);
    FileHandle& file = handle();
    file.reset(operations().createNew(temporaryPath_));
    if (!file) {
        removal_.disarm();
        temporaryPath_.clear();
        return false;
    }
    if (kept) {  // before the first byte is in it
        giveAttributes(file.get(), *kept);
    } else {
        giveNewFileMode(file.get());
    }
    removal_.watch(file.get());
    return true;
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        discard();
    }
}

// Makes the rename itself last. Its result is not looked at: the new file is
// in place by then, and POSIX allows file systems that can't sync a
// directory, so failing here would report a finished file as lost.
void ReplacementFile::settle(const std::string& placedAt) {
    committed_ = true;
    removal_.disarm();
    (void)operations().syncDirectory(parentDirectory(placedAt));
}

bool ReplacementFile::commit() {
    if (!finishWriting() || !operations().replace(temporaryPath_, target_)) {
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
    if (!operations().placeNew(temporaryPath_, name_)) {
        discard();
        return exists(name_) ? NewFileResult::AlreadyExists : NewFileResult::Failed;
    }
    settle(name_);
    return NewFileResult::Created;
}

// Closed first: Windows removes no open file.
void ReplacementFile::discard() {
    handle().reset();
    removal_.removeNow();
    temporaryPath_.clear();
}

// Opened without being emptied, so that a file that can't be emptied is left
// as it was. A file-size limit must make a write fail here too, not kill the
// program with its output unprinted.
std::unique_ptr<InPlaceFile> InPlaceFile::open(const std::string& path,
                                               FileOperations& operations) {
    installInterruptHandler();
    std::unique_ptr<InPlaceFile> file(new InPlaceFile(operations));
    file->handle().reset(operations.openExisting(path));
    if (!file->handle() || !operations.truncate(file->handle().get())) {
        return nullptr;
    }
    return file;
}

bool InPlaceFile::commit() {
    return finishWriting();
}

}  // namespace bmp2land::platform
