#pragma once

#ifdef _WIN32
#include <span>
#include <string>
#include <vector>

namespace bmp2land::platform {

// Windows hands the arguments over in UTF-16 (wmain); the program takes them
// as UTF-8, in the form main's argv has.
class CommandLine {
  public:
    CommandLine(int argc, wchar_t** argv);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    std::span<const char* const> arguments() const { return pointers_; }

  private:
    std::vector<std::string> strings_;
    std::vector<const char*> pointers_;
};

}  // namespace bmp2land::platform
#endif
