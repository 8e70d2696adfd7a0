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

void giveNewFileMode(std::FILE* /*file*/) {}
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
// else; where neither works the file stays in the process's group, whose
// members were mere others to the old file, so the group gets no more than
// others had. The owner comes before the mode because a change of owner
// clears the set-id bits. A mode the file system refuses (FAT has none)
// leaves the one it gives.
void giveAttributes(std::FILE* file, const FileAttributes& attributes) {
    const int fd = ::fileno(file);
    auto mode = static_cast<mode_t>(attributes.mode);
    if (::fchown(fd, attributes.owner, attributes.group) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), attributes.group) != 0) {
        constexpr auto kGroup = static_cast<mode_t>(S_IRWXG);
        constexpr auto kOthers = static_cast<mode_t>(S_IRWXO);
        mode = (mode & ~kGroup) | (((mode & kOthers) << 3U) & mode & kGroup);
    }
    (void)::fchmod(fd, mode);
}

// The umask can only be read by setting it; the program has one thread.
void giveNewFileMode(std::FILE* file) {
    const mode_t mask = ::umask(0);
    (void)::umask(mask);
    constexpr auto kReadWriteAll =
        static_cast<mode_t>(S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH);
    (void)::fchmod(::fileno(file), kReadWriteAll & ~mask);
}
#endif

}  // namespace bmp2land::platform
