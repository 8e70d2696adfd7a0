#include "platform/file_attributes.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bmp2land::platform {

#ifdef _WIN32
std::optional<FileAttributes> attributesOf(const std::string& /*path*/) {
    return std::nullopt;
}

void giveAttributes(std::FILE* /*file*/, const FileAttributes& /*attributes*/) {}
#else
std::optional<FileAttributes> attributesOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return FileAttributes{static_cast<std::uint32_t>(status.st_mode & 07777U), status.st_uid,
                          status.st_gid};
}

// Only root may give a file away, and only to a group of its own may anyone
// else; where neither works the file stays the process's. The owner comes
// before the mode because a change of owner clears the set-id bits. A mode
// the file system refuses (FAT has none) leaves the one it gives.
void giveAttributes(std::FILE* file, const FileAttributes& attributes) {
    const int fd = ::fileno(file);
    if (::fchown(fd, attributes.owner, attributes.group) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), attributes.group);
    }
    (void)::fchmod(fd, static_cast<mode_t>(attributes.mode));
}
#endif

}  // namespace bmp2land::platform
