#include "scratch_dir.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

std::string quote(const std::string& s) {
    return "'" + s + "'";
}

namespace {

std::string environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

}  // namespace

std::string asLines(const std::string& text) {
    if (!windowsRun())
        return text;
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    }
    return lines;
}

bool windowsRun() {
    return !environment("BMP2LAND_WINDOWS_EXE", "").empty();
}

const std::string& programPath() {
    static const std::string path = environment("BMP2LAND_WINDOWS_EXE", BMP2LAND_EXE);
    return path;
}

namespace {

// The Wine prefix lives beside the .exe, made by the windows.prefix test, so
// that the run needs nothing from the user's home. The locale is English:
// Windows' ANSI code page is then 1252, which holds no Japanese and no emoji.
std::string wine(const std::string& program) {
    const std::string prefix = (fs::path(programPath()).parent_path() / "wine-prefix").string();
    return "WINEDEBUG=-all WINEPREFIX=" + quote(prefix) + " LC_ALL=C.UTF-8 " + program;
}

}  // namespace

std::string commandFor(const std::string& exe) {
    return windowsRun() ? wine("wine " + quote(exe)) : quote(exe);
}

std::string programCommand() {
    return commandFor(programPath());
}

const std::string& landinfoPath() {
    static const std::string path =
        windowsRun() ? (fs::path(programPath()).parent_path() / "landinfo.exe").string()
                     : LANDINFO_EXE;
    return path;
}

std::string landinfoCommand() {
    return commandFor(landinfoPath());
}

std::string invokedAs(const std::string& exe) {
    if (!windowsRun())
        return exe;
    std::string windowsPath;
    if (FILE* pipe = popen(wine("winepath -w " + quote(exe) + " 2>/dev/null").c_str(), "r")) {
        for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe))
            windowsPath += static_cast<char>(c);
        pclose(pipe);
    }
    windowsPath.erase(windowsPath.find_last_not_of("\r\n") + 1);
    return windowsPath;
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void ScratchDir::SetUp() {
    root_ = fs::temp_directory_path() / ("bmp2land-test-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "work");
    fs::permissions(root_, fs::perms::all);  // reachable by an unprivileged user too
}

void ScratchDir::TearDown() {
    fs::permissions(work(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root_);
}

Outcome ScratchDir::shell(const std::string& command) const {
    const std::string line = "cd " + quote(work().string()) + " && { " + command + " ; } >" +
                             quote((root_ / "out").string()) + " 2>" +
                             quote((root_ / "err").string()) + " </dev/null";
    const int raw = std::system(line.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = slurp(root_ / "out");
    o.err = slurp(root_ / "err");
    return o;
}

// Both programs always say something, on one stream or the other; Wine,
// busy with many tests at once, now and then fails to start a program and
// says so itself ("wine: ..."), or says nothing.
namespace {
bool wineDidNotStart(const Outcome& o) {
    return o.out.empty() && (o.err.empty() || o.err.starts_with("wine"));
}
}  // namespace

Outcome ScratchDir::runProgram(const std::string& command) const {
    Outcome o = shell(command);
    for (int retry = 0; windowsRun() && retry < 2 && wineDidNotStart(o); ++retry) {
        std::cerr << "Wine did not start " << command << " (" << o.err << "); trying again\n";
        o = shell(command);
    }
    return o;
}

Outcome ScratchDir::run(const std::string& args, const std::string& prefix) const {
    Outcome o = runProgram(prefix + " " + programCommand() + " " + args);
    o.out = asLines(o.out);
    return o;
}

std::vector<std::string> ScratchDir::strayFiles(std::initializer_list<const char*> expected) const {
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(work())) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
            stray.push_back(name);
        }
    }
    return stray;
}

}  // namespace testing_support
