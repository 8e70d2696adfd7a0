#pragma once

// A fresh directory per test, and a way to run commands in it with their
// standard output, standard error and exit status kept apart.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "test_bitmaps.hpp"

namespace testing_support {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& s);
// The program under test: the one built beside the tests, or the Windows
// build named by BMP2LAND_WINDOWS_EXE, run under Wine.
const std::string& programPath();
// True when the program under test is the Windows build; its output lines end
// in "\r\n", which Outcome::out turns into "\n".
bool windowsRun();
// A program's output with Windows line ends turned into "\n", on the
// Windows run only.
std::string asLines(const std::string& text);
// landinfo of the same build as the program under test.
const std::string& landinfoPath();
// The shell words that start the program under test, and landinfo.
std::string programCommand();
std::string landinfoCommand();
// A program's own path as it sees it: in Windows form in the Windows run.
std::string invokedAs(const std::string& exe);
// The shell words that start `exe` the way the program under test is started:
// under Wine in the Windows run.
std::string commandFor(const std::string& exe);
std::string slurp(const std::filesystem::path& path);

class ScratchDir : public ::testing::Test {
  public:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path work() const { return root_ / "work"; }
    std::string at(const std::string& name) const { return (work() / name).string(); }
    ByteVector landFile() const { return readFile(at("land.dat")); }

    // Runs `command` in work(); its output goes to files outside work().
    Outcome shell(const std::string& command) const;
    // Runs one of the programs under test: shell(command), but under Wine a
    // start that never reached the program is tried again.
    Outcome runProgram(const std::string& command) const;
    // Runs the program with `args`; `prefix` goes before it (a shell setting,
    // a user switch).
    Outcome run(const std::string& args, const std::string& prefix = "") const;

    // Files in work() other than the ones named.
    std::vector<std::string> strayFiles(std::initializer_list<const char*> expected) const;

    std::filesystem::path root_;
};

}  // namespace testing_support
