#include "platform/command_line.hpp"

#ifdef _WIN32
#include "platform/native_path.hpp"

namespace bmp2land::platform {

CommandLine::CommandLine(int argc, wchar_t** argv) {
    for (int i = 0; i < argc; ++i) {
        strings_.push_back(narrow(argv[i]));
    }
    for (const std::string& argument : strings_) {
        pointers_.push_back(argument.c_str());
    }
}

}  // namespace bmp2land::platform
#endif
