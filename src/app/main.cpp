#include <cstddef>
#include <span>

#include "app/run.hpp"

int main(int argc, char** argv) {
    return bmp2land::app::run(std::span<const char* const>(argv, static_cast<std::size_t>(argc)));
}
