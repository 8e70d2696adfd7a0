// Runs the built program in a fresh directory and checks what a user sees:
// standard output, standard error, exit status and land.dat byte for byte.

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "scratch_dir.hpp"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

const std::string kBanner = "bmp2land 1.0: bitmap to land file converter\n";
const std::string kMaking = "Making land file...\n";
const ByteVector kPrevious = {'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'};

class Cli : public ScratchDir {};

// Why the tests run as an unprivileged user can't run here; "" where they can.
// Switching users would need a Wine prefix of that user's own, so these run
// on Linux only. The user switch must work and the program must be reachable
// by that user (a checkout under /root is not).
std::string whyNotAsNobody() {
    if (windowsRun())
        return "under Wine, another user would need a Wine prefix of its own";
    const std::string probe = "setpriv --reuid=nobody --regid=nogroup --clear-groups test -x " +
                              quote(programPath()) + " >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0)
        return "cannot run " + programPath() + " as user nobody (needs root, setpriv, and " +
               "a path that nobody may enter)";
    return "";
}
const std::string kAsNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups";

// Why a file can't be mounted on land.dat for a run here; "" where it can.
// The mount is the run's own: a mount namespace of its own ends with it.
std::string whyNotMounting() {
    if (windowsRun())
        return "mounts as Linux has them";
    if (std::system("unshare -m sh -c 'mount --bind / /mnt' >/dev/null 2>&1") != 0)
        return "unshare -m and mount --bind need root and a system that allows them";
    return "";
}

// The shell words that run a program with `file` mounted on land.dat.
std::string mountedFor(const std::string& file) {
    return "unshare -m sh -c 'mount --bind \"$1\" land.dat && shift && exec \"$@\"' sh " +
           quote(file);
}

// The file's inode number: the same file, or one put in its place.
ino_t inode(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// The shell words that run a program under strace, its file opens logged to
// `log`; "" where strace is not installed. LeakSanitizer can't work under
// ptrace, so a sanitized program looks for leaks in the other runs alone.
std::string openLogger(const std::string& log) {
    if (std::system("command -v strace >/dev/null 2>&1") != 0)
        return "";
    return "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -qq -e "
           "trace=open,openat,creat -o " +
           quote(log);
}

TEST_F(Cli, PrintsUsageForAnyOtherArgumentCount) {
    // Windows hands the program its own path in Windows form.
    const std::string kExe = invokedAs(programPath());
    for (const char* args : {"", "a.bmp b.bmp", "a b c"}) {
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 0) << args;
        EXPECT_EQ(o.out, "Usage: " + kExe + " filename\n") << args;
        EXPECT_EQ(o.err, "");
    }
    EXPECT_TRUE(strayFiles({}).empty());
}

TEST_F(Cli, ReportsAnInputThatCannotBeOpened) {
    fs::create_directory(work() / "folder.bmp");
    for (const char* name : {"missing.bmp", "folder.bmp", "存在しない/レベル.bmp"}) {
        const Outcome o = run(quote(name));
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, std::string("File ") + name + " does not exist!\n");
        EXPECT_EQ(o.err, "");
    }
}

TEST_F(Cli, ConvertsAConformingBitmap) {
    const Picture picture = samplePicture();
    const ByteVector expected = expectedLandFile(picture, samplePalette());
    // The Windows run's ANSI code page, 1252, holds the characters of the
    // second name only.
    for (const std::string name :
         {"level.bmp", "niveau été/level é.bmp", "レベル/レベル.bmp", "level 🎮.bmp"}) {
        const std::string top = name.substr(0, name.find('/'));
        fs::create_directories(fs::path(at(name)).parent_path());
        writeFile(at(name), makeBmp(picture));
        const Outcome o = run(quote(name));
        EXPECT_EQ(o.status, 0) << name;
        EXPECT_EQ(o.out, kBanner + kMaking + "Done!\n") << name;
        EXPECT_EQ(o.err, "") << name;
        EXPECT_EQ(landFile(), expected) << name;
        EXPECT_EQ(strayFiles({top.c_str(), "land.dat"}), std::vector<std::string>{}) << name;
        fs::remove_all(work() / top);
        fs::remove(work() / "land.dat");
    }
}

TEST_F(Cli, ReplacesAPreviousLandFileWithAnRle8Bitmap) {
    const Picture picture = samplePicture();
    BmpOptions rle;
    rle.compression = 1;
    rle.sizeImage = 0;
    writeFile(at("level.bmp"), makeBmp(rle, samplePalette(), encodeRle8(picture)));
    writeFile(at("land.dat"), ByteVector(3000000, 0xAB));  // longer than the new one
    const Outcome o = run("level.bmp");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, kBanner + kMaking + "Done!\n");
    EXPECT_EQ(landFile(), expectedLandFile(picture, samplePalette()));
}

TEST_F(Cli, RejectsBadInputsAndKeepsThePreviousLandFile) {
    const auto bmp = [](auto change, ByteVector pixels = samplePicture().indexes) {
        BmpOptions o;
        change(o);
        return makeBmp(o, samplePalette(), pixels);
    };
    const auto same = [](BmpOptions&) {};
    ByteVector full = makeBmp(samplePicture());
    const struct {
        const char* name;
        ByteVector file;
        std::string out;
        std::uintmax_t sparseSize = 0;  // grown to this length with a sparse tail
    } cases[] = {
        {"24-bit", bmp([](BmpOptions& o) { o.bitCount = 24; }), kBanner + "Not 8-bit bitmap!\n"},
        {"wrong size", bmp([](BmpOptions& o) { o.height = 695; }),
         kBanner + "Not 1920 x 696 bitmap!\n"},
        {"24-bit, wrong size", bmp([](BmpOptions& o) {
             o.bitCount = 24;
             o.width = 4;
         }),
         kBanner + "Not 8-bit bitmap!\n"},
        {"RLE4", bmp([](BmpOptions& o) { o.compression = 2; }),
         kBanner + "Unsupported bitmap compression!\n"},
        {"corrupt RLE8",
         bmp([](BmpOptions& o) { o.compression = 1; },
             {0, 2, 255, 255, 0, 2, 255, 255, 0, 2, 0, 255}),
         kBanner + "Bitmap data is corrupt!\n"},
        {"under 54 bytes", ByteVector(full.begin(), full.begin() + 40),
         kBanner + "File in.bmp is truncated!\n"},
        {"empty", ByteVector{}, kBanner + "File in.bmp is truncated!\n"},
        {"pixels cut short", ByteVector(full.begin(), full.end() - 1),
         kBanner + "File in.bmp is truncated!\n"},
        {"RLE8 cut short", bmp([](BmpOptions& o) { o.compression = 1; }, {10, 1, 0, 0}),
         kBanner + "File in.bmp is truncated!\n"},
        {"pixels past the 64 MiB that are read", bmp([](BmpOptions& o) { o.offBits = 70U << 20; }),
         kBanner + "File in.bmp is too large to be a level bitmap!\n",
         (std::uintmax_t{70} << 20) + 1336320},
        {"29 markers", makeBmp(samplePicture(29)),
         kBanner + kMaking + "You must have exactly 30 object positions!\n"},
        {"31 markers", makeBmp(samplePicture(31)),
         kBanner + kMaking + "You must have exactly 30 object positions!\n"},
        {"no markers", bmp(same, ByteVector(kPixels, 9)),
         kBanner + kMaking + "You must have exactly 30 object positions!\n"},
    };
    for (const auto& c : cases) {
        writeFile(at("in.bmp"), c.file);
        if (c.sparseSize != 0)
            fs::resize_file(work() / "in.bmp", c.sparseSize);
        writeFile(at("land.dat"), kPrevious);
        const Outcome o = run("in.bmp");
        EXPECT_EQ(o.status, 1) << c.name;
        EXPECT_EQ(o.out, c.out) << c.name;
        EXPECT_EQ(o.err, "") << c.name;
        EXPECT_EQ(landFile(), kPrevious) << c.name;
        EXPECT_EQ(strayFiles({"in.bmp", "land.dat"}), std::vector<std::string>{}) << c.name;
    }
}

#ifdef __linux__
TEST_F(Cli, ReportsAnInputThatCannotBeRead) {
    if (windowsRun())
        GTEST_SKIP() << "no /proc on Windows";
    const Outcome o = run("/proc/self/mem");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, kBanner + "File /proc/self/mem can't be read!\n");
    EXPECT_EQ(o.err, "");
    // An endless input is read only as far as a bitmap could reach.
    const Outcome endless = run("/dev/zero");
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.out, kBanner + "Not 8-bit bitmap!\n");
}
#endif

TEST_F(Cli, ALandFileDirectoryCannotBeCreated) {
    writeFile(at("level.bmp"), makeBmp(samplePicture()));
    fs::create_directory(work() / "land.dat");
    const Outcome o = run("level.bmp");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, kBanner + kMaking + "File land.dat can't be created!\n");
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(fs::is_directory(work() / "land.dat"));
    EXPECT_TRUE(fs::is_empty(work() / "land.dat"));
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat"}), std::vector<std::string>{});
}

TEST_F(Cli, AReadOnlyLandFileIsLeftAlone) {
    // Windows refuses by the read-only attribute, which Wine takes from the
    // write bits, for root too; POSIX needs a user whom the bits bind.
    if (const std::string why = whyNotAsNobody(); !windowsRun() && !why.empty())
        GTEST_SKIP() << why;
    writeFile(at("level.bmp"), makeBmp(samplePicture()));
    writeFile(at("land.dat"), kPrevious);
    fs::permissions(work() / "land.dat",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(work(), fs::perms::all);  // the directory itself is writable
    const Outcome o = run("level.bmp", windowsRun() ? "" : kAsNobody);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, kBanner + kMaking + "File land.dat can't be created!\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(landFile(), kPrevious);
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat"}), std::vector<std::string>{});
}

TEST_F(Cli, AReadOnlyDirectoryGetsNoLandFile) {
    if (const std::string why = whyNotAsNobody(); !why.empty())
        GTEST_SKIP() << why;
    writeFile(at("level.bmp"), makeBmp(samplePicture()));
    fs::permissions(work(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const Outcome o = run("level.bmp", kAsNobody);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, kBanner + kMaking + "File land.dat can't be created!\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(strayFiles({"level.bmp"}), std::vector<std::string>{});
}

TEST_F(Cli, AFailedWriteKeepsThePreviousLandFile) {
    writeFile(at("level.bmp"), makeBmp(samplePicture()));
    writeFile(at("land.dat"), kPrevious);
    // 1000 blocks of 1 KiB are less than a land file. The shell leaves
    // SIGXFSZ at its default, which would kill the process: the program
    // itself must turn the limit into a failed write. Windows has no such
    // signal, but Wine, the POSIX process around the .exe, does and dies of
    // it; that run ignores the signal the way Windows would.
    const Outcome o =
        run("level.bmp", windowsRun() ? "trap '' XFSZ; ulimit -f 1000;" : "ulimit -f 1000;");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, kBanner + kMaking + "File land.dat can't be written!\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(landFile(), kPrevious);
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat"}), std::vector<std::string>{});
}

TEST_F(Cli, WritesThroughLinksAndKeepsTheMode) {
    if (windowsRun())
        GTEST_SKIP() << "links and modes as POSIX has them";
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto usual = static_cast<fs::perms>(0666 & ~mask);
    const auto privateMode = fs::perms::owner_read | fs::perms::owner_write;
    const Picture picture = samplePicture();
    const ByteVector expected = expectedLandFile(picture, samplePalette());
    const std::string created = kBanner + kMaking + "File land.dat can't be created!\n";
    const auto directoryMode = fs::status(work()).permissions();
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    const auto writeOnly = fs::perms::owner_write;
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> links;  // in work(): name, target
        const char* previous;  // a file of kPrevious (from root_) before the run
        fs::perms previousMode;
        const char* written;         // where the new level goes; null when refused
        fs::perms mode;              // the mode it has then
        const char* fifo = nullptr;  // a FIFO made there (from root_), which must stay one
        const char* unopened = "";   // a path the program must not open, as it names it
        fs::perms directory = fs::perms::unknown;  // work()'s mode for the run, if not as it is
        bool asNobody = false;                     // run by user nobody, with root_'s files root's
        bool nobodysPrevious = false;              // the previous file is nobody's
        bool inPlace = false;              // the previous file itself is written, not replaced
        const char* linksOwner = nullptr;  // the user whose links they are, if not root
        bool mounted = false;  // the previous file is mounted on work/land.dat for the run
    } cases[] = {
        {"a link into another directory",
         {{"land.dat", "../game/land.dat"}},
         "game/land.dat",
         usual,
         "game/land.dat",
         usual},
        {"a chain of links to a private file",
         {{"land.dat", "chain"}, {"chain", "../game/land.dat"}},
         "game/land.dat",
         privateMode,
         "game/land.dat",
         privateMode},
        {"a private land.dat", {}, "work/land.dat", privateMode, "work/land.dat", privateMode},
        {"a link to nothing yet",
         {{"land.dat", "../game/level.dat"}},
         nullptr,
         usual,
         "game/level.dat",
         usual},
        {"a loop of links",
         {{"land.dat", "loop"}, {"loop", "land.dat"}},
         nullptr,
         usual,
         nullptr,
         usual},
        {"a link into no directory",
         {{"land.dat", "../missing/land.dat"}},
         nullptr,
         usual,
         nullptr,
         usual},
        {"a link to a FIFO",
         {{"land.dat", "../game/pipe"}},
         nullptr,
         usual,
         nullptr,
         usual,
         "game/pipe",
         "../game/pipe"},
        {"a FIFO", {}, nullptr, usual, nullptr, usual, "work/land.dat", "land.dat"},
        {"a link to a device",
         {{"land.dat", "/dev/null"}},
         nullptr,
         usual,
         nullptr,
         usual,
         nullptr,
         "/dev/null"},
        // Where no file can take land.dat's place but land.dat may be written,
        // it is written in place, as a program that opens it would.
        {.name = "another user's land.dat in a sticky directory",
         .links = {},
         .previous = "work/land.dat",
         .previousMode = static_cast<fs::perms>(0666),
         .written = "work/land.dat",
         .mode = static_cast<fs::perms>(0666),
         .directory = fs::perms::all | fs::perms::sticky_bit,
         .asNobody = true,
         .inPlace = true},
        {.name = "a writable land.dat in a read-only directory",
         .links = {},
         .previous = "work/land.dat",
         .previousMode = static_cast<fs::perms>(0666),
         .written = "work/land.dat",
         .mode = static_cast<fs::perms>(0666),
         .directory = readOnly,
         .asNobody = true,
         .inPlace = true},
        {.name = "a write-only land.dat",
         .links = {},
         .previous = "work/land.dat",
         .previousMode = writeOnly,
         .written = "work/land.dat",
         .mode = writeOnly,
         .directory = fs::perms::all,
         .asNobody = true,
         .nobodysPrevious = true},
        // In a sticky directory that anyone may write, a link is followed only
        // when it is the user's own or the directory owner's: another user's
        // could point at any file the user may write.
        {.name = "another user's link in a sticky directory",
         .links = {{"land.dat", "../game/land.dat"}},
         .previous = "game/land.dat",
         .previousMode = static_cast<fs::perms>(0644),
         .written = nullptr,
         .mode = usual,
         .directory = fs::perms::all | fs::perms::sticky_bit,
         .asNobody = true,
         .nobodysPrevious = true,
         .linksOwner = "daemon"},
        {.name = "the user's own link in a sticky directory",
         .links = {{"land.dat", "../game/land.dat"}},
         .previous = "game/land.dat",
         .previousMode = static_cast<fs::perms>(0644),
         .written = "game/land.dat",
         .mode = static_cast<fs::perms>(0644),
         .directory = fs::perms::all | fs::perms::sticky_bit,
         .asNobody = true,
         .nobodysPrevious = true,
         .inPlace = true,
         .linksOwner = "nobody"},
        // Mounted on its own, as a container is given one file, land.dat
        // can't be renamed over.
        {.name = "a land.dat mounted on its own",
         .links = {},
         .previous = "game/land.dat",
         .previousMode = usual,
         .written = "game/land.dat",
         .mode = usual,
         .inPlace = true,
         .mounted = true},
    };
    // A FIFO or a device is refused without being opened, even to ask.
    const std::string logger = openLogger((root_ / "opens").string());
    const std::string whyNotNobody = whyNotAsNobody();
    const std::string whyNotMounted = whyNotMounting();
    writeFile(at("level.bmp"), makeBmp(picture));
    for (const auto& c : cases) {
        if ((c.asNobody && !whyNotNobody.empty()) || (c.mounted && !whyNotMounted.empty()))
            continue;
        for (const char* name : {"land.dat", "chain", "loop"})
            fs::remove(work() / name);
        fs::remove_all(root_ / "game");
        fs::create_directory(root_ / "game");
        for (const auto& [name, target] : c.links) {
            fs::create_symlink(target, work() / name);
            if (c.linksOwner != nullptr) {
                const passwd* owner = ::getpwnam(c.linksOwner);
                ASSERT_NE(owner, nullptr) << c.name;
                ASSERT_EQ(::lchown((work() / name).c_str(), owner->pw_uid, owner->pw_gid), 0);
            }
        }
        if (c.fifo != nullptr) {
            ASSERT_EQ(::mkfifo((root_ / c.fifo).c_str(), 0666), 0);
        }
        ino_t previousFile = 0;
        if (c.previous != nullptr) {
            writeFile((root_ / c.previous).string(), kPrevious);
            fs::permissions(root_ / c.previous, c.previousMode);
            if (c.nobodysPrevious) {
                ASSERT_EQ(::chown((root_ / c.previous).c_str(), ::getpwnam("nobody")->pw_uid,
                                  ::getgrnam("nogroup")->gr_gid),
                          0);
            }
            previousFile = inode(root_ / c.previous);
        }
        if (c.directory != fs::perms::unknown)
            fs::permissions(work(), c.directory);
        if (c.mounted)
            writeFile(at("land.dat"), kPrevious);
        const bool logged = *c.unopened != '\0' && !logger.empty();
        const Outcome o = run("level.bmp", c.mounted    ? mountedFor((root_ / c.previous).string())
                                           : logged     ? logger
                                           : c.asNobody ? kAsNobody
                                                        : std::string());
        fs::permissions(work(), directoryMode);
        if (logged) {
            const std::string opens = slurp(root_ / "opens");
            EXPECT_EQ(opens.find('"' + std::string(c.unopened) + '"'), std::string::npos)
                << c.name << ":\n"
                << opens;
        }
        EXPECT_EQ(o.status, c.written != nullptr ? 0 : 1) << c.name;
        EXPECT_EQ(o.out, c.written != nullptr ? kBanner + kMaking + "Done!\n" : created) << c.name;
        EXPECT_EQ(o.err, "") << c.name;
        for (const auto& [name, target] : c.links) {
            std::error_code error;
            EXPECT_EQ(fs::read_symlink(work() / name, error), target) << c.name << ": " << name;
        }
        if (c.written == nullptr && c.previous != nullptr) {
            EXPECT_EQ(readFile((root_ / c.previous).string()), kPrevious) << c.name;
        }
        if (c.written != nullptr) {
            EXPECT_EQ(readFile((root_ / c.written).string()), expected) << c.name;
            EXPECT_EQ(fs::status(root_ / c.written).permissions(), c.mode) << c.name;
            // The atomic replacement wherever it works.
            if (c.previous != nullptr) {
                EXPECT_EQ(inode(root_ / c.written) == previousFile, c.inPlace) << c.name;
            }
        }
        // Nothing else is made anywhere, no temporary file in particular.
        const std::size_t inGame = static_cast<std::size_t>(
            std::distance(fs::directory_iterator(root_ / "game"), fs::directory_iterator()));
        const auto inGameDir = [](const char* path) { return path != nullptr && path[0] == 'g'; };
        EXPECT_EQ(inGame,
                  inGameDir(c.written) || inGameDir(c.fifo) || inGameDir(c.previous) ? 1U : 0U)
            << c.name;
        if (c.fifo != nullptr) {
            EXPECT_TRUE(fs::is_fifo(root_ / c.fifo)) << c.name;
        }
        EXPECT_EQ(strayFiles({"level.bmp", "land.dat", "chain", "loop"}),
                  std::vector<std::string>{})
            << c.name;
    }
    if (!whyNotNobody.empty())
        GTEST_SKIP() << "the rows run by user nobody did not run: " << whyNotNobody;
    if (!whyNotMounted.empty())
        GTEST_SKIP() << "the row of a mounted land.dat did not run: " << whyNotMounted;
    if (logger.empty())
        GTEST_SKIP() << "strace not found: the rows of a FIFO and a device ran, but what the "
                        "program opened was not seen";
}

TEST_F(Cli, ConcurrentRunsEachWriteAWholeFile) {
    const Picture picture = samplePicture();
    const ByteVector expected = expectedLandFile(picture, samplePalette());
    writeFile(at("level.bmp"), makeBmp(picture));
    // Rounds of six runs at once; each one's output and status land in its
    // own file.
    std::string script;
    for (int i = 0; i < 6; ++i) {
        script += programCommand() + " level.bmp >../out" + std::to_string(i) +
                  " 2>&1; echo $? >>../out" + std::to_string(i) + " & ";
    }
    for (int round = 1; round <= 10; ++round) {
        writeFile(at("land.dat"), kPrevious);
        EXPECT_EQ(shell(script + "wait").status, 0);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(asLines(slurp(root_ / ("out" + std::to_string(i)))),
                      kBanner + kMaking + "Done!\n0\n")
                << "round " << round << ", run " << i;
        }
        EXPECT_EQ(landFile(), expected) << "round " << round;
        EXPECT_EQ(strayFiles({"level.bmp", "land.dat"}), std::vector<std::string>{})
            << "round " << round;
    }
}

#ifdef HOLD_OPEN_EXE
TEST_F(Cli, WaitsOutAReaderOfTheLandFile) {
    if (!windowsRun())
        GTEST_SKIP() << "the reader is a Windows program";
    const Picture picture = samplePicture();
    writeFile(at("level.bmp"), makeBmp(picture));
    writeFile(at("land.dat"), kPrevious);
    // The run starts once the reader has land.dat open, and reaches the
    // replace well within the reader's half second.
    const Outcome o = shell(commandFor(HOLD_OPEN_EXE) + " land.dat 500 ../held & " +
                            "while [ ! -e ../held ]; do sleep 0.01; done; " + programCommand() +
                            " level.bmp; echo $?; wait");
    EXPECT_EQ(asLines(o.out), kBanner + kMaking + "Done!\n0\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(landFile(), expectedLandFile(picture, samplePalette()));
    EXPECT_EQ(strayFiles({"level.bmp", "land.dat"}), std::vector<std::string>{});
}
#endif

}  // namespace
