#include <cstddef>
#include <span>

#include "app/landinfo.hpp"

int main(int argc, char** argv) {
    return bmp2land::app::runLandInfo(
        std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
