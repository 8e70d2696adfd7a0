#include <cstddef>
#include <span>

#include "app/run.hpp"

#ifdef _WIN32
#include <string>

#include "land/land_writer.hpp"
#include "platform/command_line.hpp"
#include "platform/console_output.hpp"
#include "platform/console.hpp"
#include "platform/path_queries.hpp"

int wmain(int argc, wchar_t** argv) {
    namespace platform = bmp2land::platform;
    const platform::CommandLine commandLine(argc, argv);
    const int status = bmp2land::app::run(commandLine.arguments());
    if (platform::windowIsOwn(platform::consoleFacts())) {
        // Started from Explorer, the program does not always run in the
        // folder the user expects. Status 0 with a bitmap named is "Done!".
        if (status == 0 && argc == 2) {
            platform::printOut(std::string(bmp2land::land::kLandFileName) + " is in " +
                               platform::currentFolder() + ".\n");
        }
        platform::waitForEnter();
    }
    return status;
}
#else
int main(int argc, char** argv) {
    return bmp2land::app::run(std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
#endif
