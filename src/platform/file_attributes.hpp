#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace bmp2land::platform {

// What a file that replaces another keeps of it: the permission bits, and
// the owner and group as far as the process may set them (a group it may not
// set gets no more rights than others had).
struct FileAttributes {
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// The attributes of the regular file at `path`; none when there is none, and
// on Windows, where a new file takes its permissions from its folder.
std::optional<FileAttributes> attributesOf(const std::string& path);

// Gives `file`, freshly created, the attributes it is to keep.
void giveAttributes(std::FILE* file, const FileAttributes& attributes);

}  // namespace bmp2land::platform
