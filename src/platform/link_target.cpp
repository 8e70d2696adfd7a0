#include "platform/link_target.hpp"

#include <filesystem>
#include <system_error>

namespace bmp2land::platform {

#ifdef _WIN32
// Windows programs replace a link itself, not what it points to, and
// level folders there hold plain files.
std::optional<std::string> finalTarget(const std::string& path) {
    return path;
}
#else
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one lookup before it calls it a loop.
constexpr int kMaxLinks = 40;

}  // namespace

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
        const fs::path next = fs::read_symlink(at, error);
        if (error) {
            return std::nullopt;
        }
        // A relative link is relative to the directory that holds it.
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return std::nullopt;
}
#endif

}  // namespace bmp2land::platform
