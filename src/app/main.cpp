#include <cstddef>
#include <span>

#include "app/run.hpp"

#ifdef _WIN32
#include "platform/command_line.hpp"

int wmain(int argc, wchar_t** argv) {
    namespace platform = bmp2land::platform;
    const platform::CommandLine commandLine(argc, argv);
    return bmp2land::app::run(commandLine.arguments());
}
#else
int main(int argc, char** argv) {
    return bmp2land::app::run(std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
#endif
