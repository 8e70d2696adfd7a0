#include "platform/console.hpp"

#include <gtest/gtest.h>

namespace {

using bmp2land::platform::ConsoleFacts;
using bmp2land::platform::windowIsOwn;

TEST(ConsoleWindow, WaitsOnlyInAWindowOfItsOwnThatAPersonReads) {
    // Every combination of the three facts; only the first one waits.
    const struct {
        ConsoleFacts facts;
        bool waits;
    } cases[] = {
        {{1, true, true}, true},     // started from Explorer
        {{2, true, true}, false},    // in a console window the user opened
        {{3, true, true}, false},    // from a batch file in cmd.exe
        {{0, false, false}, false},  // no console: a service, a pipe on both ends
        {{1, false, true}, false},   // output redirected
        {{1, true, false}, false},   // input from a file or a pipe
        {{1, false, false}, false}, {{2, false, true}, false}, {{2, true, false}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowIsOwn(c.facts), c.waits)
            << c.facts.processesOnConsole << c.facts.outputIsConsole << c.facts.inputIsConsole;
    }
}

}  // namespace
