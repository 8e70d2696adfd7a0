#include "platform/files.hpp"
#include "platform/output_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#endif

#include "test_bitmaps.hpp"

namespace {

namespace fs = std::filesystem;
using bmp2land::platform::FileOperations;
using bmp2land::platform::InputFile;
using bmp2land::platform::ReplacementFile;
using testing_support::ByteVector;
using testing_support::readFile;
using testing_support::writeFile;

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("bmp2land-files-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
    FileOperations files_;
};

const ByteVector kOld = {'o', 'l', 'd'};
const ByteVector kNew = {'n', 'e', 'w', '!', 0};

TEST_F(Files, CommitReplacesTheTarget) {
    writeFile(path("land.dat"), kOld);
    auto file = ReplacementFile::create(path("land.dat"), files_);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->put(kNew));
    EXPECT_EQ(readFile(path("land.dat")), kOld);  // untouched until the commit
    EXPECT_EQ(entries(), 2U);
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(readFile(path("land.dat")), kNew);
    EXPECT_EQ(entries(), 1U);
}

TEST_F(Files, EachReplacementHasItsOwnTemporaryFile) {
    auto a = ReplacementFile::create(path("land.dat"), files_);
    auto b = ReplacementFile::create(path("land.dat"), files_);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->temporaryPath(), b->temporaryPath());
    EXPECT_EQ(fs::path(a->temporaryPath()).parent_path(), dir_);
    ASSERT_TRUE(a->put(kOld) && b->put(kNew));
    ASSERT_TRUE(a->commit());
    ASSERT_TRUE(b->commit());
    EXPECT_EQ(readFile(path("land.dat")), kNew);
}

TEST_F(Files, ALongNameStillGetsATemporaryFile) {
    // 240 bytes leave no room for the temporary name's 21 more.
    const std::string name(240, 'a');
    auto file = ReplacementFile::create(path(name.c_str()), files_);
    ASSERT_TRUE(file);
    EXPECT_LE(fs::path(file->temporaryPath()).filename().string().size(), 255U);
    ASSERT_TRUE(file->put(kNew) && file->commit());
    EXPECT_EQ(readFile(path(name.c_str())), kNew);
    EXPECT_EQ(entries(), 1U);
}

TEST_F(Files, ACommitAsNewNeverReplacesAnything) {
    using Result = ReplacementFile::NewFileResult;
    const struct {
        const char* name;
        void (*place)(const fs::path& at);  // what turns up before the commit
        Result result;
    } cases[] = {
        {"nothing", [](const fs::path&) {}, Result::Created},
        {"a file", [](const fs::path& at) { writeFile(at.string(), kOld); }, Result::AlreadyExists},
        {"a directory", [](const fs::path& at) { fs::create_directory(at); },
         Result::AlreadyExists},
        {"a dangling link", [](const fs::path& at) { fs::create_symlink("nowhere", at); },
         Result::AlreadyExists},
    };
    for (const auto& c : cases) {
        const fs::path target = dir_ / "out.bmp";
        auto file = ReplacementFile::create(target.string(), files_);
        ASSERT_TRUE(file) << c.name;
        ASSERT_TRUE(file->put(kNew)) << c.name;
        c.place(target);
        const auto before = fs::symlink_status(target).type();
        EXPECT_EQ(file->commitAsNew(), c.result) << c.name;
        EXPECT_EQ(entries(), 1U) << c.name;  // no temporary file
        if (c.result == Result::Created) {
            EXPECT_EQ(readFile(target.string()), kNew);
        } else {
            EXPECT_EQ(fs::symlink_status(target).type(), before) << c.name;
            if (fs::is_regular_file(target)) {
                EXPECT_EQ(readFile(target.string()), kOld);
            }
        }
        fs::remove_all(target);
    }
}

TEST_F(Files, ReadsWholeFiles) {
    ByteVector big(200000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 31);
    for (const ByteVector& content : {ByteVector{}, kOld, big}) {
        writeFile(path("in.bmp"), content);
        auto input = InputFile::open(path("in.bmp"), files_);
        ASSERT_TRUE(input);
        const auto bytes = input->readAll(1 << 20);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(ByteVector(bytes->begin(), bytes->end()), content);
    }
    auto input = InputFile::open(path("in.bmp"), files_);
    const auto head = input->readAll(1000);
    ASSERT_TRUE(head);
    EXPECT_EQ(ByteVector(head->begin(), head->end()), ByteVector(big.begin(), big.begin() + 1000));
}

#ifndef _WIN32
TEST_F(Files, AnInterruptionRemovesTheTemporaryFileAndEndsTheProcess) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        writeFile(path("land.dat"), kOld);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto file = ReplacementFile::create(path("land.dat"), files_);
            if (file && file->put(kNew) && fs::exists(file->temporaryPath())) {
                (void)::raise(signal);
            }
            std::_Exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(readFile(path("land.dat")), kOld) << signal;
        EXPECT_EQ(entries(), 1U) << signal;
    }
}
#endif

#ifdef __linux__
TEST_F(Files, ReportsAFailedRead) {
    // Opens fine, but reading from offset 0 fails.
    auto input = InputFile::open("/proc/self/mem", files_);
    ASSERT_TRUE(input);
    EXPECT_FALSE(input->readAll(1 << 20));
}
#endif

}  // namespace
