#include <cstddef>
#include <span>

#include "landinfo/landinfo.hpp"
#include "platform/files.hpp"

int main(int argc, char** argv) {
    bmp2land::platform::FileOperations files;
    return bmp2land::landinfo::runLandInfo(
        std::span<const char* const>(argv, static_cast<std::size_t>(argc)), files);
}
