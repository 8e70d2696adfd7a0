#pragma once

// Questions about a path that don't open it for long: is it a directory, is
// anything there, may it be written, and removing it; and where the program
// runs.

#include <string>

namespace bmp2land::platform {

// What ends a folder's name in a path.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

bool isDirectory(const std::string& path);
// True when anything is at `path`, a link to nothing included.
bool exists(const std::string& path);
// True when an existing file may be written; nothing about it changes.
bool isWritable(const std::string& path);
// True for what is there but is neither a regular file nor a directory.
bool isSpecialFile(const std::string& path);
// The directory that holds `path`: "." for a bare name.
std::string parentDirectory(const std::string& path);
// Removes a file if it is there; a failure leaves nothing to report to.
void removeFile(const std::string& path);
// The full path of the working directory; empty if it can't be found.
std::string currentFolder();

}  // namespace bmp2land::platform
