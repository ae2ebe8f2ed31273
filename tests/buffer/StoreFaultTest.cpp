// Every way a store or a load can fail part way: the target file must come through byte for byte,
// no temporary file may stay behind, and the buffer's saved state must not move.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "CorvelTextBuffer.h"
#include "FaultInjectingFileSystem.h"
#include "TempFolder.h"

using kivra_test::ReadBytes;
using kivra_test::RecordingView;
using kivra_test::TempFolder;
using kivra_test::WriteBytes;

namespace {

using Faults = CFaultInjectingFileSystem::Faults;

// About three megabytes of text, so that storing it takes several writes.
std::string LargeText() {
    std::string text;
    for (int line = 0; text.size() < (std::size_t{3} << 20); ++line) {
        text += "R" + std::to_string(line) + " n" + std::to_string(line) + " n" +
                std::to_string(line + 1) + " 1k ; resistor ladder, rung " + std::to_string(line) +
                "\r\n";
    }
    return text;
}

const std::string& SourceText() {
    static const std::string text = LargeText();
    return text;
}

const std::string kOldTarget = "* old deck\r\nV1 in 0 1\r\n.end\r\n";

// Write numbers count from the first write of the store under test; -1 is its last write.
struct FaultCase {
    const char* name;
    Faults faults;
    int failWrite = 0;
    int shortWrite = 0;
};

void PrintTo(const FaultCase& faultCase, std::ostream* out) {
    *out << faultCase.name;
}

class StoreFaultTest : public ::testing::TestWithParam<std::tuple<FaultCase, bool>> {
protected:
    void SetUp() override {
        WriteBytes(folder.File("source.cir"), SourceText());
        ASSERT_TRUE(buffer.LoadFile(folder.File("source.cir").c_str(), LineEndingStyle::Detect));
        int endLine = 0;
        int endCharacter = 0;
        ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "* edited\r\n", endLine, endCharacter,
                                    EditAction::Paste));
        ASSERT_TRUE(buffer.IsModified());

        // A store elsewhere, without faults, tells how many writes a store takes.
        TempFolder elsewhere;
        ASSERT_TRUE(
            buffer.StoreFile(elsewhere.File("deck.cir").c_str(), LineEndingStyle::Detect, false));
        writesPerStore = fileSystem.writeCount;
        ASSERT_GE(writesPerStore, 3);
    }

    // The number the fault-injecting file system counts for write number of the next store.
    int WriteNumber(int number) const {
        if (number == 0)
            return 0;
        return fileSystem.writeCount + (number < 0 ? writesPerStore : number);
    }

    TempFolder folder;
    CFaultInjectingFileSystem fileSystem{DefaultFileSystem()};
    CCorvelTextBuffer buffer{fileSystem};
    int writesPerStore = 0;
};

TEST_P(StoreFaultTest, TargetAndSavedStateSurvive) {
    const auto& [faultCase, targetExists] = GetParam();
    const std::string target = folder.File("deck.cir");
    if (targetExists)
        WriteBytes(target, kOldTarget);
    const std::vector<std::string> entriesBefore = folder.Entries();
    const int savedBefore = buffer.SavedPosition();

    fileSystem.faults = faultCase.faults;
    fileSystem.faults.failWriteNumber = WriteNumber(faultCase.failWrite);
    fileSystem.faults.shortWriteNumber = WriteNumber(faultCase.shortWrite);
    EXPECT_FALSE(buffer.StoreFile(target.c_str(), LineEndingStyle::Detect, true));

    if (targetExists) {
        EXPECT_EQ(ReadBytes(target), kOldTarget);
    } else {
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_EQ(folder.Entries(), entriesBefore);
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(buffer.SavedPosition(), savedBefore);
}

INSTANTIATE_TEST_SUITE_P(
    FailurePoints, StoreFaultTest,
    ::testing::Combine(
        ::testing::Values(FaultCase{"TemporaryCreation", {.failTemporaryCreation = true}},
                          FaultCase{"FirstWrite", {}, 1}, FaultCase{"SecondWrite", {}, 2},
                          FaultCase{"LastWrite", {}, -1}, FaultCase{"ShortFirstWrite", {}, 0, 1},
                          FaultCase{"ShortLastWrite", {}, 0, -1},
                          FaultCase{"Sync", {.failSync = true}},
                          FaultCase{"Close", {.failClose = true}},
                          FaultCase{"CopyPermissions", {.failCopyPermissions = true}},
                          FaultCase{"Rename", {.failRename = true}}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "OverExistingFile" : "ToNewFile");
    });

// --- A read-only target is never replaced, not even by root, who could rename over it.

class ReadOnlyTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(target, kOldTarget);
        ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
        buffer.CreateEmpty(LineEndingStyle::Win);
        int endLine = 0;
        int endCharacter = 0;
        ASSERT_TRUE(
            buffer.InsertAt(nullptr, 0, 0, "new text", endLine, endCharacter, EditAction::Typing));
    }

    void ExpectRefused(const std::string& path) {
        const std::vector<std::string> entriesBefore = folder.Entries();
        EXPECT_FALSE(buffer.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
        EXPECT_EQ(ReadBytes(target), kOldTarget);
        struct stat status {};
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0444u);
        EXPECT_EQ(folder.Entries(), entriesBefore);
        EXPECT_TRUE(buffer.IsModified());
        EXPECT_EQ(buffer.SavedPosition(), 0);
    }

    TempFolder folder;  // writable: only the file itself forbids the store
    std::string target = folder.File("deck.cir");
    CCorvelTextBuffer buffer;
};

TEST_F(ReadOnlyTargetTest, StoreIsRefused) {
    ExpectRefused(target);
}

TEST_F(ReadOnlyTargetTest, StoreThroughSymlinkIsRefused) {
    std::filesystem::create_symlink("deck.cir", folder.Path() / "link.cir");
    ExpectRefused(folder.File("link.cir"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "link.cir"));
}

// --- Loading through failing reads

class LoadFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Lines of 50 bytes, well over two chunks.
        std::string bytes;
        while (bytes.size() < 3u * CCorvelTextBuffer::kReadChunkSize) {
            bytes += "C" + std::to_string(bytes.size()) + " a b 10p ; some capacitor\n";
        }
        WriteBytes(path, bytes);
        buffer.AttachView(&view);
    }
    void TearDown() override { buffer.DetachView(&view); }

    TempFolder folder;
    std::string path = folder.File("deck.cir");
    CFaultInjectingFileSystem fileSystem{DefaultFileSystem()};
    CCorvelTextBuffer buffer{fileSystem};
    RecordingView view;
};

TEST_F(LoadFaultTest, FailedOpenLeavesBufferEmpty) {
    fileSystem.faults.failOpenForReading = true;
    EXPECT_FALSE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.LineTotal(), 0);
    EXPECT_TRUE(view.hints.empty());
}

TEST_F(LoadFaultTest, FailedFirstReadLeavesBufferEmpty) {
    fileSystem.faults.failReadNumber = 1;
    EXPECT_FALSE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.LineTotal(), 0);
    EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Win);
    EXPECT_TRUE(view.hints.empty());
}

// Reading the file again, the read failing half way: the text is the one the buffer had, its
// views told of nothing.
TEST_F(LoadFaultTest, AReadAgainThatFailsHalfWayKeepsTheText) {
    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    const int lines = buffer.LineTotal();
    const std::string last(buffer.LineText(lines - 2), buffer.LineLength(lines - 2));
    WriteBytes(path, std::string(3 * CCorvelTextBuffer::kReadChunkSize, 'x'));
    view.hints.clear();
    fileSystem.faults.failReadNumber = fileSystem.readCount + 2;

    EXPECT_FALSE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    ASSERT_EQ(buffer.LineTotal(), lines);
    EXPECT_EQ(std::string(buffer.LineText(lines - 2), buffer.LineLength(lines - 2)), last);
    EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Unix);
    EXPECT_TRUE(view.hints.empty());
}

TEST_F(LoadFaultTest, FailedLaterReadFailsWithoutNotification) {
    fileSystem.faults.failReadNumber = 2;
    EXPECT_FALSE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_GE(fileSystem.readCount, 2);
    EXPECT_TRUE(view.hints.empty());
}

}  // namespace
