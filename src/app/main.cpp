#include <cstddef>
#include <span>

#include "app/run.hpp"
#include "platform/files.hpp"

int main(int argc, char** argv) {
    bmp2land::platform::FileOperations files;
    return bmp2land::app::run(std::span<const char* const>(argv, static_cast<std::size_t>(argc)),
                              files);
}
