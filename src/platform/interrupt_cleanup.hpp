#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace bmp2land::platform {

// While one of these is armed, an interruption (Ctrl-C, SIGTERM, SIGHUP, a
// console window closed) first removes the file at its path and then ends
// the program as that interruption would have. The first one armed also
// makes a file-size limit fail the write instead of killing the program
// (SIGXFSZ is ignored from then on).
class RemovalOnInterrupt {
  public:
    RemovalOnInterrupt() = default;
    // Armed for `path` from now on, whether or not the file exists yet, so
    // that no moment after its creation leaves it behind.
    explicit RemovalOnInterrupt(const std::string& path);
    RemovalOnInterrupt(RemovalOnInterrupt&& other) noexcept;
    RemovalOnInterrupt& operator=(RemovalOnInterrupt&&) = delete;
    RemovalOnInterrupt(const RemovalOnInterrupt&) = delete;
    RemovalOnInterrupt& operator=(const RemovalOnInterrupt&) = delete;
    ~RemovalOnInterrupt() { disarm(); }

    // The file open at the path: Windows can't remove an open file, so an
    // interruption there closes it first.
    void watch(std::FILE* file) const;
    void disarm();

  private:
    int slot_ = -1;
    // The path in the system's own form (UTF-16 on Windows), prepared here:
    // the handler can't allocate.
    std::unique_ptr<std::filesystem::path::value_type[]> path_;
};

}  // namespace bmp2land::platform
