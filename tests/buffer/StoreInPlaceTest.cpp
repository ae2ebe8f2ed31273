// Saving files that cannot simply be replaced by a new file: several hard links, a folder the
// user may not write in, a sticky shared folder. The file is rewritten in place, and no failure
// on the way may leave the disk without one whole text, old or new.

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "FaultInjectingFileSystem.h"
#include "TempFolder.h"

using kivra_test::ReadBytes;
using kivra_test::TempFolder;
using kivra_test::WriteBytes;

namespace {

using Faults = CFaultInjectingFileSystem::Faults;

const std::string kOldText = "* old deck\r\nV1 in 0 1\r\n.end\r\n";

struct stat StatusOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

void Edit(CCorvelTextBuffer& buffer, const char* text) {
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, text, endLine, endCharacter, EditAction::Typing));
}

// Runs the check in a child process as the user "nobody" when this process is root, who may
// write anywhere; as itself otherwise. True when the child ran it and it returned true.
bool AsAnotherUser(const std::function<bool()>& check) {
    pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            uid_t user = nobody != nullptr ? nobody->pw_uid : 65534;
            gid_t group = nobody != nullptr ? nobody->pw_gid : 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0)
                ::_exit(3);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// --- Hard links

class HardLinkStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(first, kOldText);
        ASSERT_EQ(::chmod(first.c_str(), 0640), 0);
        std::filesystem::create_hard_link(first, second);
        ASSERT_TRUE(buffer.LoadFile(first.c_str(), LineEndingStyle::Detect));
        Edit(buffer, "* edited\r\n");
    }

    TempFolder folder;
    std::string first = folder.File("deck.cir");
    std::string second = folder.File("copy-of-deck.cir");
    CFaultInjectingFileSystem fileSystem{DefaultFileSystem()};
    CCorvelTextBuffer buffer{fileSystem};
};

TEST_F(HardLinkStoreTest, EveryNameShowsTheSavedTextAndTheFileStaysTheSame) {
    const struct stat before = StatusOf(first);
    ASSERT_TRUE(buffer.StoreFile(first.c_str(), LineEndingStyle::Detect, true));

    const std::string saved = "* edited\r\n" + kOldText;
    EXPECT_EQ(ReadBytes(first), saved);
    EXPECT_EQ(ReadBytes(second), saved);
    const struct stat after = StatusOf(first);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_FALSE(buffer.IsModified());
    // The spare copy of the old bytes is gone.
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"copy-of-deck.cir", "deck.cir"}));
}

TEST_F(HardLinkStoreTest, AShorterTextLeavesNoTailOfTheOldOne) {
    CCorvelTextBuffer shorter{fileSystem};
    shorter.CreateEmpty(LineEndingStyle::Win);
    Edit(shorter, "R1");
    ASSERT_TRUE(shorter.StoreFile(second.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(ReadBytes(first), "R1");
}

// Each step of the rewrite failing in turn: the old text stays whole, on both names, and
// nothing is left beside them.
struct InPlaceFault {
    const char* name;
    Faults faults;
    int failWrite = 0;  // counted from the store's first write: the spare copy's, then the file's
    int shortWrite = 0;
};

void PrintTo(const InPlaceFault& fault, std::ostream* out) {
    *out << fault.name;
}

class InPlaceFaultTest : public HardLinkStoreTest,
                         public ::testing::WithParamInterface<InPlaceFault> {};

TEST_P(InPlaceFaultTest, TheOldTextSurvivesOnEveryName) {
    const InPlaceFault& fault = GetParam();
    fileSystem.faults = fault.faults;
    if (fault.failWrite != 0)
        fileSystem.faults.failWriteNumber = fileSystem.writeCount + fault.failWrite;
    if (fault.shortWrite != 0)
        fileSystem.faults.shortWriteNumber = fileSystem.writeCount + fault.shortWrite;

    EXPECT_FALSE(buffer.StoreFile(first.c_str(), LineEndingStyle::Detect, true));
    EXPECT_NE(buffer.LastFileError(), 0);
    EXPECT_EQ(ReadBytes(first), kOldText);
    EXPECT_EQ(ReadBytes(second), kOldText);
    EXPECT_EQ(StatusOf(first).st_nlink, 2u);
    EXPECT_TRUE(buffer.KeptCopyPath().empty());
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"copy-of-deck.cir", "deck.cir"}));
    EXPECT_TRUE(buffer.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    FailurePoints, InPlaceFaultTest,
    ::testing::Values(InPlaceFault{"SpareCopyCreation", {.failSpareCopyCreation = true}},
                      InPlaceFault{"SpareCopyWrite", {}, 1},
                      InPlaceFault{"ShortSpareCopyWrite", {}, 0, 1},
                      InPlaceFault{"Sync", {.failSync = true}},
                      InPlaceFault{"Close", {.failClose = true}},
                      InPlaceFault{"OpenForOverwriting", {.failOpenForOverwriting = true}},
                      InPlaceFault{"FileWrite", {}, 2}, InPlaceFault{"ShortFileWrite", {}, 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// The disk fills up while the file is rewritten and the old bytes cannot go back either: the
// spare copy stays, whole, and the buffer says where it is.
TEST_F(HardLinkStoreTest, WhenTheOldTextCannotGoBackItsCopyStaysAndIsNamed) {
    fileSystem.faults.failWritesFrom = fileSystem.writeCount + 2;
    EXPECT_FALSE(buffer.StoreFile(first.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(buffer.LastFileError(), ENOSPC);
    ASSERT_FALSE(buffer.KeptCopyPath().empty());
    EXPECT_EQ(ReadBytes(buffer.KeptCopyPath()), kOldText);
    EXPECT_EQ(StatusOf(buffer.KeptCopyPath()).st_mode & 0077, 0u);  // only its owner reads it
    EXPECT_TRUE(buffer.IsModified());

    // The next save that succeeds forgets it.
    fileSystem.faults = {};
    std::filesystem::remove(buffer.KeptCopyPath());
    ASSERT_TRUE(buffer.StoreFile(first.c_str(), LineEndingStyle::Detect, true));
    EXPECT_TRUE(buffer.KeptCopyPath().empty());
}

// --- Folders that refuse a new file

// Only root can be another user than the folder's owner; as the owner the folder lets the file be
// replaced and there is nothing to save in place.
const char kNeedsRoot[] = "needs root, to save as another user than the owner of the folder";

class RefusingFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Open to everyone, so that the other user can reach what lies below.
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::all);
    }

    // A folder at name with the mode, holding deck.cir writable by everyone.
    std::string FileInFolder(const char* name, mode_t mode) {
        std::filesystem::create_directory(folder.Path() / name);
        std::string path = folder.File(std::string(name) + "/deck.cir");
        WriteBytes(path, kOldText);
        EXPECT_EQ(::chmod(path.c_str(), 0666), 0);
        EXPECT_EQ(::chmod(folder.File(name).c_str(), mode), 0);
        return path;
    }

    // The other user loads the file, edits and saves it.
    static bool EditAndSave(const std::string& path) {
        CCorvelTextBuffer buffer;
        if (!buffer.LoadFile(path.c_str(), LineEndingStyle::Detect) || buffer.IsReadOnly())
            return false;
        int endLine = 0;
        int endCharacter = 0;
        if (!buffer.InsertAt(nullptr, 0, 0, "* edited\r\n", endLine, endCharacter,
                             EditAction::Typing)) {
            return false;
        }
        return buffer.StoreFile(path.c_str(), LineEndingStyle::Detect, true) &&
               !buffer.IsModified();
    }

    TempFolder folder;
};

TEST_F(RefusingFolderTest, AWritableFileInAFolderClosedToTheUserIsSavedInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    std::string path = FileInFolder("locked", 0755);
    const ino_t inode = StatusOf(path).st_ino;
    EXPECT_TRUE(AsAnotherUser([&] { return EditAndSave(path); }));
    EXPECT_EQ(ReadBytes(path), "* edited\r\n" + kOldText);
    EXPECT_EQ(StatusOf(path).st_ino, inode);
    EXPECT_EQ(TempFolder::EntriesOf(folder.Path() / "locked"),
              std::vector<std::string>{"deck.cir"});
}

TEST_F(RefusingFolderTest, AFileOfAnotherUserInAStickyFolderIsSavedInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    std::string path = FileInFolder("shared", 01777);
    const struct stat before = StatusOf(path);
    EXPECT_TRUE(AsAnotherUser([&] { return EditAndSave(path); }));
    EXPECT_EQ(ReadBytes(path), "* edited\r\n" + kOldText);
    const struct stat after = StatusOf(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(TempFolder::EntriesOf(folder.Path() / "shared"),
              std::vector<std::string>{"deck.cir"});
}

// A folder that cannot be searched hides its files: the reason given is the permission, not a
// missing file, for loading, saving over and saving as.
TEST_F(RefusingFolderTest, AFolderThatRefusesSearchGivesPermissionDenied) {
    std::string path = FileInFolder("closed", 0);
    std::string newPath = folder.File("closed/new.cir");
    EXPECT_TRUE(AsAnotherUser([&] {
        CCorvelTextBuffer buffer;
        bool loadRefused = !buffer.LoadFile(path.c_str(), LineEndingStyle::Detect) &&
                           buffer.LastFileError() == EACCES;
        buffer.CreateEmpty(LineEndingStyle::Win);
        bool storeRefused = !buffer.StoreFile(path.c_str(), LineEndingStyle::Detect, true) &&
                            buffer.LastFileError() == EACCES;
        bool storeAsRefused = !buffer.StoreFile(newPath.c_str(), LineEndingStyle::Detect, true) &&
                              buffer.LastFileError() == EACCES;
        return loadRefused && storeRefused && storeAsRefused;
    }));
    // Opened again for the check: the folder refuses its owner too when it is not root.
    ASSERT_EQ(::chmod(folder.File("closed").c_str(), 0755), 0);
    EXPECT_EQ(ReadBytes(path), kOldText);
}

// --- Targets that are not files

TEST(StoreOntoWhatIsNotAFileTest, AFolderSaysItIsAFolderAndAPipeIsLeftAlone) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "deck.cir");
    std::string pipe = folder.File("pipe.cir");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    CCorvelTextBuffer buffer;
    buffer.CreateEmpty(LineEndingStyle::Win);
    Edit(buffer, "text");

    EXPECT_FALSE(buffer.StoreFile(folder.File("deck.cir").c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(buffer.LastFileError(), EISDIR);
    EXPECT_FALSE(buffer.StoreFile(pipe.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(buffer.LastFileError(), ENOTSUP);
    EXPECT_TRUE(S_ISFIFO(StatusOf(pipe).st_mode));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"deck.cir", "pipe.cir"}));
    EXPECT_TRUE(buffer.IsModified());
}

// --- A file with NUL bytes

TEST(NulByteLoadTest, AFileCutAtNulBytesLoadsReadOnlyAndSaysSo) {
    TempFolder folder;
    std::string binary;
    for (int index = 0; index < 4096; ++index)
        binary += static_cast<char>(index * 37 % 256);
    std::string path = folder.File("data.bin");
    WriteBytes(path, binary);
    CCorvelTextBuffer buffer;
    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_TRUE(buffer.LoadCutAtNul());
    EXPECT_TRUE(buffer.IsReadOnly());

    // A plain netlist loaded next into the same buffer is editable again.
    std::string netlist = folder.File("deck.cir");
    WriteBytes(netlist, kOldText);
    ASSERT_TRUE(buffer.LoadFile(netlist.c_str(), LineEndingStyle::Detect));
    EXPECT_FALSE(buffer.LoadCutAtNul());
    EXPECT_FALSE(buffer.IsReadOnly());
}

}  // namespace
