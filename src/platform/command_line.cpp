#include "platform/command_line.hpp"

#ifdef _WIN32
#include <algorithm>
#include <iterator>

#include "platform/native_path.hpp"

namespace bmp2land::platform {

CommandLine::CommandLine(int argc, wchar_t** argv) {
    const std::span<wchar_t* const> wide(argv, static_cast<std::size_t>(argc));
    std::transform(wide.begin(), wide.end(), std::back_inserter(strings_),
                   [](const wchar_t* argument) { return narrow(argument); });
    std::transform(strings_.begin(), strings_.end(), std::back_inserter(pointers_),
                   [](const std::string& argument) { return argument.c_str(); });
}

}  // namespace bmp2land::platform
#endif
