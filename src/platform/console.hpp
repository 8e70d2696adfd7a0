#pragma once

// A console program started from Explorer (a double click, a bitmap dropped
// on it) gets a console window of its own, which closes the moment the
// program ends. Then, and only then, the program waits for Enter, so that its
// last message can be read. A console the user opened, redirected output and
// input that is not a console (scripts, tests) never wait.

#include <cstddef>

namespace bmp2land::platform {

struct ConsoleFacts {
    std::size_t processesOnConsole = 0;  // 0: no console at all
    bool outputIsConsole = false;
    bool inputIsConsole = false;
};

bool windowIsOwn(const ConsoleFacts& facts);

#ifdef _WIN32
ConsoleFacts consoleFacts();
// Says "Press Enter to close this window." and reads a line.
void waitForEnter();
#endif

}  // namespace bmp2land::platform
