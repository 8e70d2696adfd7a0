#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/byte_buffer.hpp"
#include "platform/files.hpp"

namespace bmp2land::platform {

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

    // The file's length as the file system gives it when it was opened (0
    // when it has none, like a pipe).
    std::size_t sizeHint() const { return sizeHint_; }

    void close() { file_.reset(); }

  private:
    InputFile(FileHandle file, std::size_t sizeHint)
        : file_(std::move(file)), sizeHint_(sizeHint) {}
    FileHandle file_;
    std::size_t sizeHint_;
};

}  // namespace bmp2land::platform
