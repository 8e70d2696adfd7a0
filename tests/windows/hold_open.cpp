// hold_open FILE MILLISECONDS MARKER: keeps FILE open for reading, as the game
// or a virus scanner would, for MILLISECONDS. MARKER is created once FILE is
// open, so that a test knows when to start.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    std::FILE* held = std::fopen(argv[1], "rb");
    if (held == nullptr) {
        return 1;
    }
    std::FILE* marker = std::fopen(argv[3], "wb");
    if (marker == nullptr || std::fclose(marker) != 0) {
        return 1;
    }
    Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    return std::fclose(held) == 0 ? 0 : 1;
}
