#pragma once

// The primitive file calls this program makes, behind one table so that tests
// can make any of them fail. The defaults are the C library's and the file
// system's.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace bmp2land::platform {

class FileOperations {
  public:
    virtual ~FileOperations() = default;
    virtual std::FILE* open(const std::string& path, const char* mode);
    // Creates `path` for binary writing; fails if it already exists.
    virtual std::FILE* createNew(const std::string& path);
    virtual std::size_t read(void* buffer, std::size_t size, std::FILE* file);
    virtual bool readFailed(std::FILE* file);
    virtual std::size_t write(const void* data, std::size_t size, std::FILE* file);
    virtual bool flush(std::FILE* file);
    // Puts what has been flushed to `file` on the disk itself.
    virtual bool sync(std::FILE* file);
    virtual bool close(std::FILE* file);
    // Puts `from` in the place of `to` in one step, replacing an existing `to`.
    virtual bool replace(const std::string& from, const std::string& to);
    // Puts `from` at `to` in one step, but only if nothing is at `to`, not
    // even a dangling link; `from` is gone afterwards.
    virtual bool placeNew(const std::string& from, const std::string& to);
    // Puts the latest changes to `directory`'s entries (a rename) on the disk.
    virtual bool syncDirectory(const std::string& directory);
};

// The table in use; `operations` null puts the defaults back.
FileOperations& fileOperations();
void useFileOperations(FileOperations* operations);

struct FileCloser {
    void operator()(std::FILE* file) const { fileOperations().close(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace bmp2land::platform
