#include "platform/files.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace bmp2land::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadChunk = 1 << 16;
constexpr int kTemporaryNameAttempts = 16;

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::path(path), error);
}

// True when an existing file may be written, tested by opening it for update
// without truncating it, so that nothing about it changes.
bool isWritable(const std::string& path) {
    if (isDirectory(path)) {
        return false;
    }
    return FileHandle(fileOperations().open(path, "r+b")) != nullptr;
}

// A word from the system's random source, where it has one.
std::uint32_t entropy() {
    try {
        return static_cast<std::uint32_t>(std::random_device{}());
    } catch (...) {
        return 0;
    }
}

// A name that a concurrent run will not pick: two runs started in the same
// clock tick still draw different random words.
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
    std::string name = target + ".";
    std::uint64_t word = generator();
    for (int i = 0; i < 16; ++i, word >>= 4) {
        name += kHex[word & 0xFU];
    }
    return name + ".tmp";
}

void removeFile(const std::string& path) {
    std::error_code error;
    fs::remove(fs::path(path), error);
}

FileOperations& defaultOperations() {
    static FileOperations operations;
    return operations;
}

FileOperations* currentOperations = nullptr;

}  // namespace

std::FILE* FileOperations::open(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* FileOperations::createNew(const std::string& path) {
#ifdef _WIN32
    // The C library mingw-w64 links against (msvcrt.dll) predates fopen's
    // "x" mode, so the exclusive create is spelled out.
    const int fd =
        _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
    }
    return file;
#else
    return std::fopen(path.c_str(), "wbx");  // "x": never reuse a file that is already there
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

bool FileOperations::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool FileOperations::replace(const std::string& from, const std::string& to) {
    // POSIX rename() replaces `to` atomically; on Windows the library's
    // rename maps to MoveFileEx with MOVEFILE_REPLACE_EXISTING.
    std::error_code error;
    fs::rename(fs::path(from), fs::path(to), error);
    return !error;
}

FileOperations& fileOperations() {
    return currentOperations != nullptr ? *currentOperations : defaultOperations();
}

void useFileOperations(FileOperations* operations) {
    currentOperations = operations;
}

std::optional<InputFile> InputFile::open(const std::string& path) {
    if (isDirectory(path)) {
        return std::nullopt;
    }
    FileHandle file(fileOperations().open(path, "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(fs::path(path), error);
    return InputFile(std::move(file), error ? 0 : static_cast<std::size_t>(size));
}

std::optional<ByteBuffer> InputFile::readAll(std::size_t limit) {
    // Sized once from the file's length; a file that turns out longer (it
    // grew, or has no length, like a pipe) is read on in growing chunks, but
    // never past `limit`: /dev/zero must not eat all memory.
    ByteBuffer bytes;
    std::size_t used = 0;
    std::size_t want = std::min(sizeHint_, limit - 1) + 1;  // one more, to see the end
    for (;;) {
        bytes.resize(used + want);
        const std::size_t got = fileOperations().read(bytes.data() + used, want, file_.get());
        used += got;
        if (got < want || used >= limit) {
            break;
        }
        want = std::min(std::max(used, kReadChunk), limit - used);
    }
    if (fileOperations().readFailed(file_.get())) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

std::unique_ptr<ReplacementFile> ReplacementFile::create(const std::string& target) {
    if (exists(target) && !isWritable(target)) {
        return nullptr;
    }
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::string temporary = temporaryName(target);
        FileHandle file(fileOperations().createNew(temporary));
        if (file) {
            return std::unique_ptr<ReplacementFile>(
                new ReplacementFile(target, std::move(temporary), std::move(file)));
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

bool ReplacementFile::commit() {
    if (failed_ || !file_) {
        discard();
        return false;
    }
    const bool flushed = fileOperations().flush(file_.get());
    const bool closed = fileOperations().close(file_.release());
    if (!flushed || !closed || !fileOperations().replace(temporaryPath_, target_)) {
        discard();
        return false;
    }
    committed_ = true;
    return true;
}

void ReplacementFile::discard() {
    file_.reset();
    if (!temporaryPath_.empty()) {
        removeFile(temporaryPath_);
        temporaryPath_.clear();
    }
}

}  // namespace bmp2land::platform
