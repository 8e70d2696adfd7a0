#include <cstdio>
#include <exception>
#include <new>
#include <span>

#include "app/run.hpp"

int main(int argc, char** argv) {
    // Nothing may reach standard error, not even an escaped exception.
    try {
        const std::span<const char* const> args(argv, static_cast<std::size_t>(argc));
        return bmp2land::app::run(args);
    } catch (const std::bad_alloc&) {
        std::fputs("Not enough memory!\n", stdout);
    } catch (...) {
        std::fputs("Unexpected failure!\n", stdout);
    }
    std::fflush(stdout);
    return 1;
}
