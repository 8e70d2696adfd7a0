#include "landinfo/landinfo.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

int wmain(int argc, wchar_t** argv) {
    namespace platform = bmp2land::platform;
    const platform::CommandLine commandLine(argc, argv);
    platform::FileOperations files;
    const int status = bmp2land::landinfo::runLandInfo(commandLine.arguments(), files);
    if (platform::windowIsOwn(platform::consoleFacts())) {
        platform::waitForEnter();
    }
    return status;
}
