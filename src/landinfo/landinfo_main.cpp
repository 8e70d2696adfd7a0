#include <cstddef>
#include <span>

#include "landinfo/landinfo.hpp"

#ifdef _WIN32
#include "platform/command_line.hpp"
#include "platform/console.hpp"

int wmain(int argc, wchar_t** argv) {
    namespace platform = bmp2land::platform;
    const platform::CommandLine commandLine(argc, argv);
    const int status = bmp2land::landinfo::runLandInfo(commandLine.arguments());
    if (platform::windowIsOwn(platform::consoleFacts())) {
        platform::waitForEnter();
    }
    return status;
}
#else
int main(int argc, char** argv) {
    return bmp2land::landinfo::runLandInfo(
        std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
#endif
