#include <string>

#include "app/run.hpp"
#include "land/land_writer.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

int wmain(int argc, wchar_t** argv) {
    namespace platform = bmp2land::platform;
    const platform::CommandLine commandLine(argc, argv);
    platform::FileOperations files;
    const int status = bmp2land::app::run(commandLine.arguments(), files);
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
