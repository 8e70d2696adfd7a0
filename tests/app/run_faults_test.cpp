// Makes each file operation of a run fail in turn and checks what the user is
// left with: the message, status 1, the previous land.dat and no stray file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>

#include "app/run.hpp"
#include "platform/files.hpp"
#include "scratch_dir.hpp"

namespace {

// Memory that runs out: while this is set, every allocation of this test
// program fails.
bool allocationsFail = false;

void* allocate(std::size_t size) noexcept {
    return allocationsFail ? nullptr : std::malloc(size == 0 ? 1 : size);
}

}  // namespace

// The allocator of the whole test program, so that allocationsFail reaches
// every allocation; each form of new and delete is the C library's. GCC,
// seeing a block of operator new handed to free(), would take them for a
// mismatched pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using bmp2land::platform::FileOperations;

enum class Fault {
    None,
    NoTemporaryFile,  // none can be created beside land.dat, as in a read-only directory
    ReadMidway,
    OutOfMemory,  // from the moment the temporary file is created
    WriteMidway,
    Flush,
    Sync,
    Close,
    Rename,
    DirectorySync
};

class FaultyOperations final : public FileOperations {
  public:
    // Room for the calls it records, so that recording them takes no memory.
    explicit FaultyOperations(Fault fault) : fault_(fault) { calls.reserve(16); }
    std::size_t read(void* buffer, std::size_t size, std::FILE* file) override {
        if (fault_ == Fault::ReadMidway && ++reads_ == 1) {
            failedRead_ = true;
            return FileOperations::read(buffer, size / 2, file);
        }
        return FileOperations::read(buffer, size, file);
    }
    bool readFailed(std::FILE* file) override {
        return failedRead_ || FileOperations::readFailed(file);
    }
    std::FILE* createNew(const std::string& path) override {
        if (fault_ == Fault::NoTemporaryFile)
            return nullptr;
        std::FILE* file = FileOperations::createNew(path);
        allocationsFail = fault_ == Fault::OutOfMemory && file != nullptr;
        return file;
    }
    std::size_t write(const void* data, std::size_t size, std::FILE* file) override {
        if (calls.empty() || calls.back() != "write")
            calls.emplace_back("write");
        written_ += size;
        if (fault_ == Fault::WriteMidway && written_ > 800000)
            return 0;
        return FileOperations::write(data, size, file);
    }
    bool flush(std::FILE* file) override {
        return FileOperations::flush(file) && fault_ != Fault::Flush;
    }
    bool sync(std::FILE* file) override {
        calls.emplace_back("sync");
        return fault_ != Fault::Sync && FileOperations::sync(file);
    }
    bool close(std::FILE* file) override {
        if (written_ > 0)
            calls.emplace_back("close");
        return FileOperations::close(file) && !(fault_ == Fault::Close && written_ > 0);
    }
    bool replace(const std::string& from, const std::string& to) override {
        calls.emplace_back("rename");
        return fault_ != Fault::Rename && FileOperations::replace(from, to);
    }
    bool syncDirectory(const std::string& directory) override {
        calls.emplace_back("directory sync " + directory);
        return fault_ != Fault::DirectorySync && FileOperations::syncDirectory(directory);
    }
    // The output's calls in order, a run of writes counted once.
    std::vector<std::string> calls;

  private:
    Fault fault_;
    int reads_ = 0;
    bool failedRead_ = false;
    std::size_t written_ = 0;
};

class RunFaults : public ScratchDir {
  public:
    void SetUp() override {
        ScratchDir::SetUp();
        previousDir_ = fs::current_path();
        fs::current_path(work());
    }
    void TearDown() override {
        fs::current_path(previousDir_);
        ScratchDir::TearDown();
    }
    Outcome runWith(Fault fault, std::vector<std::string>* calls = nullptr) {
        FaultyOperations operations(fault);
        const char* args[] = {"bmp2land", "in.bmp"};
        ::testing::internal::CaptureStdout();
        Outcome o;
        o.status = bmp2land::app::run(args, operations);
        allocationsFail = false;
        o.out = ::testing::internal::GetCapturedStdout();
        if (calls != nullptr)
            *calls = operations.calls;
        return o;
    }

  private:
    fs::path previousDir_;
};

TEST_F(RunFaults, EachFailureKeepsThePreviousLandFile) {
    const std::string banner = "bmp2land 1.0: bitmap to land file converter\n";
    const std::string making = banner + "Making land file...\n";
    const struct {
        Fault fault;
        std::string out;
    } cases[] = {
        {Fault::ReadMidway, banner + "File in.bmp can't be read!\n"},
        {Fault::OutOfMemory, making + "Not enough memory!\n"},
        {Fault::WriteMidway, making + "File land.dat can't be written!\n"},
        {Fault::Flush, making + "File land.dat can't be written!\n"},
        {Fault::Sync, making + "File land.dat can't be written!\n"},
        {Fault::Close, making + "File land.dat can't be written!\n"},
        {Fault::Rename, making + "File land.dat can't be written!\n"},
    };
    const ByteVector previous = {'o', 'l', 'd'};
    writeFile(at("in.bmp"), makeBmp(samplePicture()));
    for (const auto& c : cases) {
        writeFile(at("land.dat"), previous);
        const Outcome o = runWith(c.fault);
        EXPECT_EQ(o.status, 1) << static_cast<int>(c.fault);
        EXPECT_EQ(o.out, c.out) << static_cast<int>(c.fault);
        EXPECT_EQ(landFile(), previous) << static_cast<int>(c.fault);
        EXPECT_EQ(strayFiles({"in.bmp", "land.dat"}), std::vector<std::string>{});
    }
    // The same run with nothing failing replaces land.dat, and the data is on
    // the disk before the rename, the rename after it. A directory that can't
    // be synced doesn't undo a land.dat that is in place. Where no file can
    // be made beside land.dat, land.dat itself is written and synced.
    using Calls = std::vector<std::string>;
    const Calls replaced = {"write", "sync", "close", "rename", "directory sync ."};
    const struct {
        Fault fault;
        Calls calls;
    } done[] = {
        {Fault::None, replaced},
        {Fault::DirectorySync, replaced},
        {Fault::NoTemporaryFile, {"write", "sync", "close"}},
    };
    for (const auto& c : done) {
        writeFile(at("land.dat"), previous);
        Calls calls;
        const Outcome o = runWith(c.fault, &calls);
        EXPECT_EQ(o.status, 0) << static_cast<int>(c.fault);
        EXPECT_EQ(o.out, making + "Done!\n") << static_cast<int>(c.fault);
        EXPECT_EQ(landFile().size(), 1673661U) << static_cast<int>(c.fault);
        EXPECT_EQ(calls, c.calls) << static_cast<int>(c.fault);
        EXPECT_EQ(strayFiles({"in.bmp", "land.dat"}), std::vector<std::string>{});
    }
}

}  // namespace
