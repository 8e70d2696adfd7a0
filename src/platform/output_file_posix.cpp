// The output file on POSIX systems: the file calls that write, links followed
// to the file they name, and the replaced file's mode, owner and group.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/output_file.hpp"

namespace bmp2land::platform {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one lookup before it calls it a loop.
constexpr int kMaxLinks = 40;

// A link in a sticky directory that anyone may write (like /tmp) that is
// neither the process's own nor the directory owner's: another user may have
// put it there to point at any file the process may write. Where the system
// protects such links (fs.protected_symlinks, on by default in the common
// distributions) it refuses to follow them, and so does the program here.
bool plantedLink(const fs::path& link) {
    struct stat status {};
    struct stat directory {};
    if (::lstat(link.c_str(), &status) != 0 ||
        ::stat(parentDirectory(link.string()).c_str(), &directory) != 0) {
        return false;
    }
    constexpr auto kStickyAndOpen = static_cast<mode_t>(S_ISVTX | S_IWOTH);
    return (directory.st_mode & kStickyAndOpen) == kStickyAndOpen && status.st_uid != ::geteuid() &&
           status.st_uid != directory.st_uid;
}

#ifdef STATX_MNT_ID
// The mount that `path` is on, which tells a file mounted on its own (a bind
// mount, as a container is given a single file) from its directory, where
// their devices are the same; 0 where the system doesn't say.
std::uint64_t mountOf(const std::string& path) {
    struct statx status {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_MNT_ID, &status) != 0 ||
        (status.stx_mask & STATX_MNT_ID) == 0) {
        return 0;
    }
    return status.stx_mnt_id;
}
#else
std::uint64_t mountOf(const std::string& /*path*/) {
    return 0;
}
#endif

}  // namespace

std::FILE* FileOperations::createNew(const std::string& path) {
    // O_EXCL: never reuse a file that is already there. Only the owner may
    // open it until it has the mode it is to keep: a reader who got in while
    // it had a wider one would go on reading what is written.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        (void)::close(fd);
        (void)::unlink(path.c_str());
    }
    return file;
}

std::FILE* FileOperations::openExisting(const std::string& path) {
    // Without O_CREAT, a file gone by now is not made anew (and a sticky
    // directory's guard of others' files, which is for creating opens, does
    // not stand in the way). Without blocking: a FIFO put there since the
    // file was examined does not hold the program up, nor is it written.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* file = nullptr;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flags >= 0 &&
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
        file = ::fdopen(fd, "wb");
    }
    if (file == nullptr) {
        (void)::close(fd);
    }
    return file;
}

bool FileOperations::truncate(std::FILE* file) {
    return ::ftruncate(::fileno(file), 0) == 0;
}

bool FileOperations::sync(std::FILE* file) {
    // fsync rather than fdatasync: the mode given to the new file must last too.
    return ::fsync(::fileno(file)) == 0;
}

bool FileOperations::syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

bool FileOperations::replace(const std::string& from, const std::string& to) {
    // POSIX rename() replaces `to` atomically.
    std::error_code error;
    fs::rename(fs::path(from), fs::path(to), error);
    return !error;
}

bool FileOperations::placeNew(const std::string& from, const std::string& to) {
    // link() never replaces anything, links included; the temporary name is
    // dropped once the file has its new one.
    if (::link(from.c_str(), to.c_str()) == 0) {
        (void)::unlink(from.c_str());
        return true;
    }
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT) still offer an exclusive rename.
    if (errno != EEXIST) {
        return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
    }
#endif
    return false;
}

// The type first, from the file's status. A FIFO, a device or a socket is
// refused: a new file renamed over one would take its place instead of
// being written into it. Write permission is the system's answer for the
// process's effective user, as an open would find it.
Existing examine(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? Existing::Nothing : Existing::Refused;
    }
    if (!S_ISREG(status.st_mode)) {
        return Existing::Refused;
    }
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? Existing::WritableFile
                                                                      : Existing::Refused;
}

bool replacingRefused(const std::string& path) {
    const std::string folder = parentDirectory(path);
    struct stat file {};
    struct stat directory {};
    if (::stat(path.c_str(), &file) != 0 || ::stat(folder.c_str(), &directory) != 0) {
        return false;
    }
    const uid_t user = ::geteuid();
    const bool guarded = (directory.st_mode & S_ISVTX) != 0 && user != 0 && file.st_uid != user &&
                         directory.st_uid != user;
    // A file mounted on its own is busy: nothing is renamed over a mount.
    // (The devices can't tell: overlayfs, under containers, gives a file the
    // device of the layer it comes from, not its directory's.)
    const std::uint64_t fileMount = mountOf(path);
    const std::uint64_t directoryMount = mountOf(folder);
    const bool mounted = fileMount != 0 && directoryMount != 0 && fileMount != directoryMount;
    return guarded || mounted;
}

// The links are followed one by one rather than resolved in one call, since
// the last one may point to a file that is still to be made.
std::optional<std::string> finalTarget(const std::string& path) {
    fs::path at(path);
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(at, error);
        if (status.type() == fs::file_type::not_found) {
            return at.string();
        }
        if (error) {
            return std::nullopt;
        }
        if (!fs::is_symlink(status)) {
            return at.string();
        }
        if (plantedLink(at)) {
            return std::nullopt;
        }
        const fs::path next = fs::read_symlink(at, error);
        if (error) {
            return std::nullopt;
        }
        // A relative link is relative to the directory that holds it.
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return std::nullopt;
}

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

}  // namespace bmp2land::platform
