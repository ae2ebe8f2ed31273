// Loading and storing text files: line-ending detection and splitting, chunk boundaries, the
// read-only attribute, and what a store writes and where.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "ProcessIdentity.h"
#include "TempFolder.h"

using kivra_test::LinesOf;
using kivra_test::ReadBytes;
using kivra_test::RecordingView;
using kivra_test::TempFolder;
using kivra_test::WriteBytes;

namespace {

constexpr int kChunk = CCorvelTextBuffer::kReadChunkSize;

// count bytes of varied letters, so that a byte in the wrong place shows.
std::string Letters(int count, char first = 'a') {
    std::string text;
    text.reserve(count);
    for (int index = 0; index < count; ++index)
        text += static_cast<char>(first + index % 26);
    return text;
}

std::string Shown(const std::string& line) {
    std::string shown;
    for (unsigned char c : line.substr(0, 40)) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c < 32 || c > 126)
            shown += "\\x" + std::to_string(c);
        else
            shown += static_cast<char>(c);
    }
    return shown + (line.size() > 40 ? "..." : "");
}

// Compares line tables without printing lines of many kilobytes.
::testing::AssertionResult SameLines(const std::vector<std::string>& actual,
                                     const std::vector<std::string>& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << actual.size() << " lines, expected " << expected.size();
    }
    for (std::size_t line = 0; line < actual.size(); ++line) {
        if (actual[line] != expected[line]) {
            return ::testing::AssertionFailure()
                   << "line " << line << " is \"" << Shown(actual[line]) << "\" ("
                   << actual[line].size() << " bytes), expected \"" << Shown(expected[line])
                   << "\" (" << expected[line].size() << " bytes)";
        }
    }
    return ::testing::AssertionSuccess();
}

class TextFileTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes) {
        std::string path = folder.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    TempFolder folder;
    CCorvelTextBuffer buffer;
};

// --- How a file is split into lines

struct SplitCase {
    std::string name;
    std::string bytes;
    LineEndingStyle given;
    LineEndingStyle expected;
    std::vector<std::string> lines;
};

void PrintTo(const SplitCase& splitCase, std::ostream* out) {
    *out << splitCase.name;
}

std::vector<SplitCase> SplitCases() {
    using S = LineEndingStyle;
    const std::string x = Letters(kChunk - 1);  // a CR after it lands on the chunk's last byte
    return {
        {"WinDetected", "a\r\nb\r\n", S::Detect, S::Win, {"a", "b", ""}},
        {"UnixDetectedKeepsCrBeforeLf", "a\nb\r\nc", S::Detect, S::Unix, {"a", "b\r", "c"}},
        {"MacDetectedKeepsLf", "a\rb\nc", S::Detect, S::Mac, {"a", "b\nc"}},
        {"CrCrLfDetectsMac", "a\r\r\nb", S::Detect, S::Mac, {"a", "", "\nb"}},
        {"LfCrDetectsUnix", "a\n\rb", S::Detect, S::Unix, {"a", "\rb"}},
        {"NoBreakIsWin", "abc", S::Detect, S::Win, {"abc"}},
        {"EmptyFileIsOneEmptyLine", "", S::Detect, S::Win, {""}},
        {"FinalBreakGivesEmptyLastLine", "a\n", S::Detect, S::Unix, {"a", ""}},
        {"OnlyBreaks", "\r\r", S::Detect, S::Mac, {"", "", ""}},
        {"WinCrCrLfIsOneLine", "a\r\r\nb", S::Win, S::Win, {"a\r\r\nb"}},
        {"WinCrCrCrLfBreaksAtLastPair", "a\r\r\r\nb", S::Win, S::Win, {"a\r\r", "b"}},
        {"WinKeepsLoneCrAndLf", "a\rb\nc\r\nd", S::Win, S::Win, {"a\rb\nc", "d"}},
        {"WinKeepsFinalLoneCr", "a\r\nb\r", S::Win, S::Win, {"a", "b\r"}},
        {"FixedUnixOverridesWinFile", "a\r\nb", S::Unix, S::Unix, {"a\r", "b"}},
        {"FixedMacOverridesUnixFile", "a\nb\rc", S::Mac, S::Mac, {"a\nb", "c"}},
        {"FixedWinOverridesUnixFile", "a\nb", S::Win, S::Win, {"a\nb"}},
        {"HighBytesAndTabsKept",
         "\t\x80\xff\r\n\xc3\xa9",
         S::Detect,
         S::Win,
         {"\t\x80\xff", "\xc3\xa9"}},
        {"NulCutsLine", std::string("ab\0cd\nef\n", 9), S::Detect, S::Unix, {"ab", "ef", ""}},
        {"NulAtLineStart", std::string("\0x\r\ny", 5), S::Detect, S::Win, {"", "y"}},
        // Chunk boundaries.
        {"CrEndingFirstChunkDetectsMacBeforeLf", x + "\r\ny", S::Detect, S::Mac, {x, "\ny"}},
        {"WinCrLfAcrossChunks", x + "\r\ny", S::Win, S::Win, {x, "y"}},
        {"DetectedWinCrLfAcrossChunks",
         "a\r\n" + Letters(kChunk - 4) + "\r\ny",
         S::Detect,
         S::Win,
         {"a", Letters(kChunk - 4), "y"}},
        {"WinCrEndingChunkThenOtherByteStays", x + "\rz\r\ny", S::Win, S::Win, {x + "\rz", "y"}},
        {"WinCrEndingChunkThenCrLfIsOneLine", x + "\r\r\ny", S::Win, S::Win, {x + "\r\r\ny"}},
        {"WinCrAsLastByteOfFullChunkStays", x + "\r", S::Win, S::Win, {x + "\r"}},
        {"NoBreakInFirstChunkIsWin",
         Letters(kChunk) + "\ny",
         S::Detect,
         S::Win,
         {Letters(kChunk) + "\ny"}},
        {"BreakEndingFullChunk",
         Letters(kChunk - 2) + "\r\n",
         S::Detect,
         S::Win,
         {Letters(kChunk - 2), ""}},
        {"LineAcrossThreeChunks",
         "a\n" + Letters(3 * kChunk) + "\nb",
         S::Detect,
         S::Unix,
         {"a", Letters(3 * kChunk), "b"}},
        {"NulInFirstChunkCutsSpanningLine",
         "a\n" + Letters(1000) + '\0' + Letters(kChunk) + "\nb",
         S::Detect,
         S::Unix,
         {"a", Letters(1000), "b"}},
        {"NulInSecondChunkCutsSpanningLine",
         "a\n" + Letters(kChunk) + '\0' + "zz\nb",
         S::Detect,
         S::Unix,
         {"a", Letters(kChunk), "b"}},
    };
}

class LoadSplitTest : public TextFileTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(LoadSplitTest, LinesAndStyle) {
    const SplitCase& splitCase = GetParam();
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", splitCase.bytes).c_str(), splitCase.given));
    EXPECT_EQ(buffer.CurrentLineEnding(), splitCase.expected);
    EXPECT_TRUE(SameLines(LinesOf(buffer), splitCase.lines));
}

INSTANTIATE_TEST_SUITE_P(Files, LoadSplitTest, ::testing::ValuesIn(SplitCases()),
                         [](const auto& info) { return info.param.name; });

// --- Files whose size is at or just past a chunk boundary, in each style

struct SizeCase {
    int size;
    LineEndingStyle style;
};

void PrintTo(const SizeCase& sizeCase, std::ostream* out) {
    *out << sizeCase.size << " bytes, style " << static_cast<int>(sizeCase.style);
}

class LoadSizeTest : public TextFileTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(LoadSizeTest, WholeFileIsRead) {
    const auto [size, style] = GetParam();
    const std::string lineBreak = LineBreakOf(style);
    // Lines of 0 to 96 letters, the last one cut or padded to reach the exact size.
    std::vector<std::string> lines;
    std::string bytes;
    for (int index = 0;; ++index) {
        std::string line = Letters(index * 37 % 97, static_cast<char>('A' + index % 20));
        if (static_cast<int>(bytes.size() + line.size() + lineBreak.size()) >= size) {
            line = Letters(size - static_cast<int>(bytes.size()), 'a');
            bytes += line;
            lines.push_back(line);
            break;
        }
        bytes += line + lineBreak;
        lines.push_back(line);
    }
    ASSERT_EQ(static_cast<int>(bytes.size()), size);

    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", bytes).c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.CurrentLineEnding(), style);
    EXPECT_TRUE(SameLines(LinesOf(buffer), lines));
}

INSTANTIATE_TEST_SUITE_P(ChunkSizes, LoadSizeTest,
                         ::testing::Values(SizeCase{kChunk, LineEndingStyle::Win},
                                           SizeCase{kChunk, LineEndingStyle::Unix},
                                           SizeCase{kChunk, LineEndingStyle::Mac},
                                           SizeCase{kChunk + 1, LineEndingStyle::Win},
                                           SizeCase{kChunk + 1, LineEndingStyle::Unix},
                                           SizeCase{kChunk + 1, LineEndingStyle::Mac},
                                           SizeCase{2 * kChunk, LineEndingStyle::Win},
                                           SizeCase{2 * kChunk, LineEndingStyle::Unix},
                                           SizeCase{2 * kChunk, LineEndingStyle::Mac}));

// --- Short reads

// Passes every operation to the real file system; a test's file system changes only what it
// watches or disturbs.
class ForwardingFileSystem : public CFileSystem {
public:
    bool GetAttributes(const std::string& path, FileAttributes& attributes) override {
        return real_.GetAttributes(path, attributes);
    }
    std::unique_ptr<CReadableFile> OpenForReading(const std::string& path) override {
        return real_.OpenForReading(path);
    }
    std::unique_ptr<CWritableFile> CreateTemporaryFile(const std::string& folder, std::string& path,
                                                       bool makePrivate) override {
        return real_.CreateTemporaryFile(folder, path, makePrivate);
    }
    std::unique_ptr<CWritableFile> OpenForOverwriting(const std::string& path) override {
        return real_.OpenForOverwriting(path);
    }
    std::unique_ptr<CWritableFile> CreateSpareCopy(const std::string& nearPath,
                                                   std::string& path) override {
        return real_.CreateSpareCopy(nearPath, path);
    }
    bool CopyPermissions(const std::string& from, const std::string& to) override {
        return real_.CopyPermissions(from, to);
    }
    bool Rename(const std::string& source, const std::string& target) override {
        return real_.Rename(source, target);
    }
    bool Remove(const std::string& path) override { return real_.Remove(path); }
    std::string ResolveLinks(const std::string& path) override { return real_.ResolveLinks(path); }
    void RemoveAbandonedTemporaries(const std::string& folder) override {
        real_.RemoveAbandonedTemporaries(folder);
    }

protected:
    CFileSystem& real_ = DefaultFileSystem();
};

// Every read returns only a few bytes.
class TricklingFileSystem : public ForwardingFileSystem {
public:
    std::unique_ptr<CReadableFile> OpenForReading(const std::string& path) override {
        auto file = real_.OpenForReading(path);
        return file ? std::make_unique<TricklingFile>(std::move(file)) : nullptr;
    }

private:
    class TricklingFile : public CReadableFile {
    public:
        explicit TricklingFile(std::unique_ptr<CReadableFile> file) : file_(std::move(file)) {}
        long Read(char* destination, std::size_t size) override {
            static constexpr std::size_t kSizes[] = {1, 1000, 4093, 3, 777};
            std::size_t limit = kSizes[count_++ % std::size(kSizes)];
            return file_->Read(destination, std::min(size, limit));
        }

    private:
        std::unique_ptr<CReadableFile> file_;
        std::size_t count_ = 0;
    };
};

TEST_F(TextFileTest, ShortReadsLoadTheSameTextAsFullReads) {
    // The first break lies far beyond the first short read, and lines cross chunk boundaries.
    std::string bytes = Letters(20000) + "\n";
    while (bytes.size() < 3u * kChunk) {
        bytes += Letters(static_cast<int>(bytes.size() % 301)) + "\r\n\r\r\n\n";
    }
    std::string path = Make("in.cir", bytes);

    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    TricklingFileSystem trickling;
    CCorvelTextBuffer slowBuffer(trickling);
    ASSERT_TRUE(slowBuffer.LoadFile(path.c_str(), LineEndingStyle::Detect));

    EXPECT_EQ(slowBuffer.CurrentLineEnding(), LineEndingStyle::Unix);
    EXPECT_TRUE(SameLines(LinesOf(slowBuffer), LinesOf(buffer)));
}

// Lines read from a file have reserves of exactly their length, unlike typed ones: edits that
// grow, join and drop them, and new lines made from recycled reserves, must keep every other
// line's text whole.
TEST_F(TextFileTest, LinesReadExactlyAsLongAsTheyAreEditLikeTypedOnes) {
    std::vector<std::string> model;
    std::string bytes;
    for (int index = 0; index < 700; ++index) {
        model.push_back(Letters(index % 41 + (index % 97 == 50 ? 600 : 0),
                                static_cast<char>('a' + index % 26)));
        bytes += model.back() + (index + 1 < 700 ? "\r\n" : "");
    }
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", bytes).c_str(), LineEndingStyle::Detect));
    ASSERT_TRUE(SameLines(LinesOf(buffer), model));
    int endLine = 0;
    int endCharacter = 0;
    // The first line, empty, was the first reserve taken: it is broken in two.
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "\r\n", endLine, endCharacter, EditAction::Typing));
    model.insert(model.begin(), "");
    for (int line = 0; line + 1 < static_cast<int>(model.size()); line += 3) {
        // Grow one line by a character, join the next onto it, and split a third in two.
        ASSERT_TRUE(
            buffer.InsertAt(nullptr, line, 0, "#", endLine, endCharacter, EditAction::Typing));
        model[line].insert(0, "#");
        int joined = static_cast<int>(model[line].size());
        ASSERT_TRUE(buffer.DeleteRange(nullptr, line, joined, line + 1, 0, EditAction::Delete));
        model[line] += model[line + 1];
        model.erase(model.begin() + line + 1);
        if (line + 1 < static_cast<int>(model.size())) {
            int half = static_cast<int>(model[line + 1].size()) / 2;
            ASSERT_TRUE(buffer.InsertAt(nullptr, line + 1, half, "\r\nnew line", endLine,
                                        endCharacter, EditAction::Typing));
            std::string tail = model[line + 1].substr(half);
            model[line + 1].resize(half);
            model.insert(model.begin() + line + 2, "new line" + tail);
        }
    }
    EXPECT_TRUE(SameLines(LinesOf(buffer), model));
}

// A buffer whose loaded block can be made small, so that lines also land past it.
class LimitedBlockBuffer : public CCorvelTextBuffer {
public:
    using CCorvelTextBuffer::LimitLoadedBlock;
};

// Lines of every length class the loaded block stores (one-byte and five-byte lengths, either
// side of 255 and of 65536), whether in the block or past its limit, read back whole, take
// bookmarks, change in place and give their text back on save and reload.
TEST_F(TextFileTest, LoadedLinesOfEveryLengthReadMarkEditAndReloadWhole) {
    const std::vector<std::string> original = {
        "", "R1 a b 1k", Letters(254), Letters(255, 'b'), Letters(256, 'c'), Letters(70000, 'd'),
        "", ".end"};
    std::string bytes;
    for (std::size_t index = 0; index < original.size(); ++index)
        bytes += original[index] + (index + 1 < original.size() ? "\r\n" : "");
    const std::string path = Make("lengths.cir", bytes);
    for (std::size_t limit : {CLoadedLineBlock::kDefaultLimit, std::size_t{0}, std::size_t{270}}) {
        SCOPED_TRACE("block limit " + std::to_string(limit));
        LimitedBlockBuffer loaded;
        loaded.LimitLoadedBlock(limit);
        ASSERT_TRUE(loaded.LoadFile(path.c_str(), LineEndingStyle::Detect));
        ASSERT_TRUE(SameLines(LinesOf(loaded), original));
        for (int line = 0; line < loaded.LineTotal(); ++line) {
            EXPECT_EQ(loaded.LineInfo(line).capacity, loaded.LineLength(line)) << line;
            EXPECT_EQ(loaded.FlagsOfLine(line), 0u) << line;
        }

        std::vector<std::string> model = original;
        loaded.ChangeLineFlag(5, Bookmark, true, false);
        loaded.ChangeLineFlag(2, NumberedBookmark(3), true, true);
        loaded.ChangeLineFlag(4, NumberedBookmark(3), true, true);  // moves from line 2
        EXPECT_EQ(loaded.NextBookmarkedLine(0), 5);
        EXPECT_EQ(loaded.LineOfSingleFlag(NumberedBookmark(3)), 4);
        EXPECT_EQ(loaded.FlagsOfLine(2), 0u);
        ASSERT_TRUE(SameLines(LinesOf(loaded), model)) << "a mark changes no text";

        int endLine = 0, endCharacter = 0;
        // Shortened in place, grown, split and joined.
        ASSERT_TRUE(loaded.DeleteRange(nullptr, 5, 10, 5, 69990, EditAction::Delete));
        model[5].erase(10, 69980);
        ASSERT_TRUE(
            loaded.InsertAt(nullptr, 3, 255, "+", endLine, endCharacter, EditAction::Typing));
        model[3] += "+";
        ASSERT_TRUE(
            loaded.InsertAt(nullptr, 1, 3, "\r\n", endLine, endCharacter, EditAction::Typing));
        model.insert(model.begin() + 2, model[1].substr(3));
        model[1].resize(3);
        ASSERT_TRUE(loaded.DeleteRange(nullptr, 3, 254, 4, 0, EditAction::Delete));
        model[3] += model[4];
        model.erase(model.begin() + 4);
        ASSERT_TRUE(SameLines(LinesOf(loaded), model));
        EXPECT_EQ(loaded.FlagsOfLine(4), NumberedBookmark(3)) << "marks move with their lines";
        EXPECT_EQ(loaded.FlagsOfLine(5), static_cast<std::uint32_t>(Bookmark));

        TextPosition position;
        while (loaded.CanStepBack())
            ASSERT_TRUE(loaded.StepBack(position));
        ASSERT_TRUE(SameLines(LinesOf(loaded), original));

        const std::string saved = folder.File("saved.cir");
        ASSERT_TRUE(loaded.StoreFile(saved.c_str(), LineEndingStyle::Detect, true));
        EXPECT_EQ(ReadBytes(saved), bytes);
        ASSERT_TRUE(loaded.LoadFile(path.c_str(), LineEndingStyle::Detect));
        ASSERT_TRUE(SameLines(LinesOf(loaded), original));
        EXPECT_EQ(loaded.FirstLineWithFlags(~0u), -1) << "a reload forgets the marks";
    }
}

// --- The state a load leaves

TEST_F(TextFileTest, LoadNotifiesViewsOnceWithWholeText) {
    RecordingView view;
    buffer.AttachView(&view);
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", "a\nb").c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(view.hints, std::vector<unsigned>{WholeText});
    EXPECT_EQ(view.lines, std::vector<int>{-1});
    buffer.DetachView(&view);
}

TEST_F(TextFileTest, LoadResetsEditingState) {
    buffer.CreateEmpty(LineEndingStyle::Win);
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "typed", endLine, endCharacter, EditAction::Typing));
    ASSERT_TRUE(buffer.IsModified());
    buffer.Clear();
    buffer.SetHistoryLimit(5);

    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", "a\n").c_str(), LineEndingStyle::Detect));
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_EQ(buffer.HistorySize(), 0);
    EXPECT_EQ(buffer.HistoryPosition(), 0);
    EXPECT_EQ(buffer.SavedPosition(), 0);
    EXPECT_EQ(buffer.HistoryLimit(), CCorvelTextBuffer::kDefaultHistoryLimit);
}

struct ModeCase {
    unsigned mode;
    bool readOnly;
};

class LoadReadOnlyTest : public TextFileTest, public ::testing::WithParamInterface<ModeCase> {};

// Without write bits a file counts as read-only even for root, who could write it anyway.
TEST_P(LoadReadOnlyTest, ReadOnlyFollowsWriteBits) {
    std::string path = Make("in.cir", "a\r\n");
    ASSERT_EQ(::chmod(path.c_str(), GetParam().mode), 0);
    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.IsReadOnly(), GetParam().readOnly);
}

INSTANTIATE_TEST_SUITE_P(Modes, LoadReadOnlyTest,
                         ::testing::Values(ModeCase{0444, true}, ModeCase{0400, true},
                                           ModeCase{0555, true}, ModeCase{0644, false},
                                           ModeCase{0600, false}));

// Passes everything to the real file system and notes the mode of each temporary file as its
// first byte is written: what another user could read of the text during a save.
class ModeWatchingFileSystem : public ForwardingFileSystem {
public:
    std::unique_ptr<CWritableFile> CreateTemporaryFile(const std::string& folder, std::string& path,
                                                       bool makePrivate) override {
        auto file = real_.CreateTemporaryFile(folder, path, makePrivate);
        return file ? std::make_unique<WatchedFile>(std::move(file), path, modes) : nullptr;
    }

    std::vector<unsigned> modes;

private:
    class WatchedFile : public CWritableFile {
    public:
        WatchedFile(std::unique_ptr<CWritableFile> file, std::string path,
                    std::vector<unsigned>& modes)
            : file_(std::move(file)), path_(std::move(path)), modes_(modes) {}
        long Write(const char* source, std::size_t size) override {
            if (!written_) {
                struct stat status {};
                ::stat(path_.c_str(), &status);
                modes_.push_back(status.st_mode & 07777);
                written_ = true;
            }
            return file_->Write(source, size);
        }
        bool Sync() override { return file_->Sync(); }
        bool Close() override { return file_->Close(); }

    private:
        std::unique_ptr<CWritableFile> file_;
        std::string path_;
        std::vector<unsigned>& modes_;
        bool written_ = false;
    };
};

// The saved file keeps its mode, and its temporary copy has that mode before the first byte;
// a new file gets the mode of any new file.
TEST_F(TextFileTest, SavingNeverShowsTheTextToOthersInTheTemporaryFile) {
    const mode_t mask = ::umask(022);
    for (unsigned mode : {0600u, 0640u, 0644u}) {
        std::string path = Make("private.cir", "old\r\n");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ModeWatchingFileSystem watching;
        CCorvelTextBuffer saving(watching);
        ASSERT_TRUE(saving.LoadFile(path.c_str(), LineEndingStyle::Detect));
        ASSERT_TRUE(saving.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
        ASSERT_EQ(watching.modes.size(), 1u);
        EXPECT_EQ(watching.modes[0], mode);
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    ModeWatchingFileSystem watching;
    CCorvelTextBuffer fresh(watching);
    fresh.CreateEmpty(LineEndingStyle::Unix);
    std::string path = folder.File("new.cir");
    ASSERT_TRUE(fresh.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
    ::umask(mask);
}

// A save killed half way leaves its temporary beside the file; the next open or save of a file
// in that folder removes it once its process is gone. Nothing else goes: not the temporaries of
// running saves, not the old text a save in place keeps, not files that only look alike.
TEST_F(TextFileTest, TemporariesOfEndedSavesGoWhenTheFolderIsNextUsed) {
    // This process's id with a start time it never had: a process that has ended.
    const std::string ended = ".kivra-" + std::to_string(::getpid()) + "-1-";
    for (bool byStore : {false, true}) {
        TempFolder used;
        const std::string path = (used.Path() / "deck.cir").string();
        WriteBytes(path, "* deck\r\n");
        struct Case {
            std::string name;
            bool stays;
        };
        const Case cases[] = {
            {ended + "AbCdEf12", false},
            {ended + "short", true},
            {".kivra-" + OwnProcessTag() + "-AbCdEf12", true},  // a save that runs
            {".kivra-old-AbCdEf12", true},
            {".kivra-notes-AbCdEf12", true},
            {"kivra-" + std::to_string(::getpid()) + "-1-AbCdEf12", true},
        };
        for (const Case& file : cases)
            WriteBytes((used.Path() / file.name).string(), "half");
        // A link of that name is never followed nor removed.
        std::filesystem::create_symlink(path, used.Path() / (ended + "LinkLink"));

        CCorvelTextBuffer opened;
        ASSERT_TRUE(opened.LoadFile(path.c_str(), LineEndingStyle::Detect));
        if (byStore) {
            ASSERT_TRUE(opened.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
        }
        std::vector<std::string> left = used.Entries();
        for (const Case& file : cases) {
            EXPECT_EQ(std::count(left.begin(), left.end(), file.name), file.stays ? 1 : 0)
                << file.name << (byStore ? " (save)" : " (open)");
        }
        EXPECT_EQ(std::count(left.begin(), left.end(), ended + "LinkLink"), 1);
        EXPECT_EQ(ReadBytes(path), "* deck\r\n");
    }
}

// A load that fails leaves the buffer as the caller emptied it and tells no view.
class LoadFailureTest : public TextFileTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LoadFailureTest, BufferUntouchedAndNoNotification) {
    std::filesystem::create_directory(folder.Path() / "folder");
    std::string path = folder.File(GetParam());
    buffer.CreateEmpty(LineEndingStyle::Mac);
    buffer.Clear();
    RecordingView view;
    buffer.AttachView(&view);

    EXPECT_FALSE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.LineTotal(), 0);
    EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Mac);
    EXPECT_TRUE(view.hints.empty());
    buffer.DetachView(&view);
}

INSTANTIATE_TEST_SUITE_P(Paths, LoadFailureTest, ::testing::Values("missing.cir", "folder"),
                         [](const auto& info) {
                             return std::string(info.param == std::string("folder") ? "Directory"
                                                                                    : "Missing");
                         });

// Only regular files load: a pipe would block the program in its open until some writer came,
// and a device such as /dev/zero never ends. Both are refused at once, the buffer untouched.
TEST_F(TextFileTest, PipesAndDevicesAreRefusedAtOnce) {
    std::string pipe = folder.File("pipe.cir");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero")}) {
        CCorvelTextBuffer special;
        auto loading = std::async(std::launch::async, [&] {
            return special.LoadFile(path.c_str(), LineEndingStyle::Detect);
        });
        if (loading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // A writer lets a load that waits on the pipe go on, so that the test can end.
            int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            loading.wait();
            ADD_FAILURE() << path << " was not refused at once";
            continue;
        }
        EXPECT_FALSE(loading.get()) << path;
        EXPECT_EQ(special.LastFileError(), ENOTSUP) << path;
        EXPECT_EQ(special.LineTotal(), 0) << path;
    }
}

TEST_F(TextFileTest, AFolderIsRefusedAsAFolder) {
    EXPECT_FALSE(buffer.LoadFile(folder.Path().c_str(), LineEndingStyle::Detect));
    EXPECT_EQ(buffer.LastFileError(), EISDIR);
}

TEST_F(TextFileTest, LoadWithInvalidStyleFails) {
    std::string path = Make("in.cir", "a\r\nb");
    RecordingView view;
    buffer.AttachView(&view);
    for (int style : {7, -2, 3}) {
        SCOPED_TRACE(style);
        EXPECT_FALSE(buffer.LoadFile(path.c_str(), static_cast<LineEndingStyle>(style)));
        EXPECT_EQ(buffer.LineTotal(), 0);
        EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Win);
    }
    EXPECT_TRUE(view.hints.empty());
    buffer.DetachView(&view);
}

// --- Storing

struct StyleCase {
    const char* name;
    std::string bytes;
};

class StoreDetectTest : public TextFileTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StoreDetectTest, WritesLoadedStyle) {
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", GetParam().bytes).c_str(), LineEndingStyle::Detect));
    std::string out = folder.File("out.cir");
    ASSERT_TRUE(buffer.StoreFile(out.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(ReadBytes(out), GetParam().bytes);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"in.cir", "out.cir"}));
}

INSTANTIATE_TEST_SUITE_P(Styles, StoreDetectTest,
                         ::testing::Values(StyleCase{"Win", "a\r\nb\r\n"},
                                           StyleCase{"Unix", "a\nb\r\n\n"},
                                           StyleCase{"Mac", "a\rb\nc\r"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GivenStyleCase {
    LineEndingStyle style;
    std::string expected;
};

class StoreGivenStyleTest : public TextFileTest,
                            public ::testing::WithParamInterface<GivenStyleCase> {};

TEST_P(StoreGivenStyleTest, WritesGivenBreakButKeepsBufferStyle) {
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", "a\nb\n\nc\r").c_str(), LineEndingStyle::Detect));
    std::string out = folder.File("out.cir");
    ASSERT_TRUE(buffer.StoreFile(out.c_str(), GetParam().style, true));
    EXPECT_EQ(ReadBytes(out), GetParam().expected);
    EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Unix);
}

INSTANTIATE_TEST_SUITE_P(Styles, StoreGivenStyleTest,
                         ::testing::Values(GivenStyleCase{LineEndingStyle::Win,
                                                          "a\r\nb\r\n\r\nc\r"},
                                           GivenStyleCase{LineEndingStyle::Unix, "a\nb\n\nc\r"},
                                           GivenStyleCase{LineEndingStyle::Mac, "a\rb\r\rc\r"}));

TEST_F(TextFileTest, OneEmptyLineStoresAsEmptyFile) {
    std::string out = Make("out.cir", "old text\r\n");
    buffer.CreateEmpty(LineEndingStyle::Win);
    ASSERT_TRUE(buffer.StoreFile(out.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(std::filesystem::file_size(out), 0u);
}

TEST_F(TextFileTest, StoreToPathWithoutFolderUsesCurrentFolder) {
    ASSERT_TRUE(buffer.LoadFile(Make("in.cir", "a\nb").c_str(), LineEndingStyle::Detect));
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    bool stored = buffer.StoreFile("out.cir", LineEndingStyle::Detect, true);
    std::filesystem::current_path(previous);

    ASSERT_TRUE(stored);
    EXPECT_EQ(ReadBytes(folder.File("out.cir")), "a\nb");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"in.cir", "out.cir"}));
}

class StoreSavedStateTest : public TextFileTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(buffer.LoadFile(Make("in.cir", "a\r\n").c_str(), LineEndingStyle::Detect));
        int endLine = 0;
        int endCharacter = 0;
        ASSERT_TRUE(
            buffer.InsertAt(nullptr, 0, 1, "bc", endLine, endCharacter, EditAction::Typing));
        ASSERT_TRUE(buffer.IsModified());
        ASSERT_NE(buffer.HistoryPosition(), buffer.SavedPosition());
    }
};

TEST_P(StoreSavedStateTest, MarkAsSavedDecidesSavedState) {
    const bool markAsSaved = GetParam();
    const int savedBefore = buffer.SavedPosition();
    std::string out = folder.File("out.cir");
    ASSERT_TRUE(buffer.StoreFile(out.c_str(), LineEndingStyle::Detect, markAsSaved));

    EXPECT_EQ(ReadBytes(out), "abc\r\n");
    EXPECT_EQ(buffer.IsModified(), !markAsSaved);
    EXPECT_EQ(buffer.SavedPosition(), markAsSaved ? buffer.HistoryPosition() : savedBefore);
}

INSTANTIATE_TEST_SUITE_P(MarkAsSaved, StoreSavedStateTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Marked" : "NotMarked"; });

// A stored file gets the permissions of any new file: 0666 less the umask.
class StorePermissionTest : public TextFileTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override { previousMask_ = ::umask(GetParam()); }
    void TearDown() override { ::umask(previousMask_); }

private:
    mode_t previousMask_ = 0;
};

TEST_P(StorePermissionTest, NewFileGetsModeLessUmask) {
    buffer.CreateEmpty(LineEndingStyle::Unix);
    std::string out = folder.File("out.cir");
    ASSERT_TRUE(buffer.StoreFile(out.c_str(), LineEndingStyle::Detect, true));
    struct stat status {};
    ASSERT_EQ(::stat(out.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u & ~GetParam());
}

INSTANTIATE_TEST_SUITE_P(Umasks, StorePermissionTest, ::testing::Values(0022u, 0077u, 0002u, 0u));

// Saving over an existing file keeps its permissions, whatever the umask gives new files: a
// private netlist stays private, a script keeps its run bits, a shared one its group write.
class StoreKeepsModeTest : public TextFileTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(StoreKeepsModeTest, ExistingFileKeepsItsMode) {
    std::string path = Make("deck.cir", "old\n");
    ASSERT_EQ(::chmod(path.c_str(), GetParam()), 0);
    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    ASSERT_TRUE(buffer.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, GetParam());
    EXPECT_EQ(ReadBytes(path), "old\n");
}

INSTANTIATE_TEST_SUITE_P(Modes, StoreKeepsModeTest,
                         ::testing::Values(0600u, 0755u, 0664u, 0640u, 0644u));

// Root saving another user's file leaves it theirs.
TEST_F(TextFileTest, StoreAsRootKeepsTheFilesOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    std::string path = Make("theirs.cir", "old\n");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(buffer.LoadFile(path.c_str(), LineEndingStyle::Detect));
    ASSERT_TRUE(buffer.StoreFile(path.c_str(), LineEndingStyle::Detect, true));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
}

TEST_F(TextFileTest, StoreThroughSymlinkReplacesLinkedFile) {
    std::filesystem::create_directory(folder.Path() / "real");
    std::filesystem::create_directory(folder.Path() / "links");
    std::string real = Make("real/deck.cir", "old\n");
    std::filesystem::path link = folder.Path() / "links" / "deck.cir";
    std::filesystem::create_symlink("../real/deck.cir", link);

    ASSERT_TRUE(buffer.LoadFile(link.c_str(), LineEndingStyle::Detect));
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "new ", endLine, endCharacter, EditAction::Typing));
    ASSERT_TRUE(buffer.StoreFile(link.c_str(), LineEndingStyle::Detect, true));

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "../real/deck.cir");
    EXPECT_EQ(ReadBytes(real), "new old\n");
    EXPECT_EQ(TempFolder::EntriesOf(folder.Path() / "real"), std::vector<std::string>{"deck.cir"});
    EXPECT_EQ(TempFolder::EntriesOf(folder.Path() / "links"), std::vector<std::string>{"deck.cir"});
}

// A loop of links has no file to save into: the save fails with the system's reason and the
// links stay as they are.
TEST_F(TextFileTest, StoreOntoALoopOfLinksFailsAndKeepsTheLinks) {
    std::filesystem::path first = folder.Path() / "first.cir";
    std::filesystem::path second = folder.Path() / "second.cir";
    std::filesystem::create_symlink("second.cir", first);
    std::filesystem::create_symlink("first.cir", second);
    buffer.CreateEmpty(LineEndingStyle::Unix);

    EXPECT_FALSE(buffer.StoreFile(first.c_str(), LineEndingStyle::Detect, true));
    EXPECT_EQ(buffer.LastFileError(), ELOOP);
    EXPECT_TRUE(std::filesystem::is_symlink(first));
    EXPECT_TRUE(std::filesystem::is_symlink(second));
    EXPECT_EQ(TempFolder::EntriesOf(folder.Path()),
              (std::vector<std::string>{"first.cir", "second.cir"}));
}

// A link whose file does not exist yet (Save As onto it) must not be replaced by a plain file.
TEST_F(TextFileTest, StoreThroughDanglingSymlinkCreatesLinkedFile) {
    std::filesystem::create_directory(folder.Path() / "real");
    std::filesystem::path link = folder.Path() / "deck.cir";
    std::filesystem::create_symlink("real/deck.cir", link);
    buffer.CreateEmpty(LineEndingStyle::Unix);
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(buffer.InsertAt(nullptr, 0, 0, "text", endLine, endCharacter, EditAction::Typing));

    ASSERT_TRUE(buffer.StoreFile(link.c_str(), LineEndingStyle::Detect, true));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ASSERT_TRUE(std::filesystem::exists(folder.Path() / "real" / "deck.cir"));
    EXPECT_EQ(ReadBytes(folder.File("real/deck.cir")), "text");
}

TEST_F(TextFileTest, StoreOverFolderFailsAndLeavesNoTemporaryFile) {
    std::filesystem::create_directory(folder.Path() / "deck.cir");
    buffer.CreateEmpty(LineEndingStyle::Win);
    EXPECT_FALSE(buffer.StoreFile(folder.File("deck.cir").c_str(), LineEndingStyle::Detect, true));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "deck.cir"));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"deck.cir"});
}

TEST_F(TextFileTest, StoreWithInvalidStyleFailsAndLeavesTarget) {
    std::string out = Make("out.cir", "old\r\n");
    buffer.CreateEmpty(LineEndingStyle::Win);
    EXPECT_FALSE(buffer.StoreFile(out.c_str(), static_cast<LineEndingStyle>(7), true));
    EXPECT_EQ(ReadBytes(out), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.cir"});
}

TEST_F(TextFileTest, StoreWithDetectFailsWhenBufferStyleIsInvalid) {
    buffer.CreateEmpty(static_cast<LineEndingStyle>(7));
    EXPECT_FALSE(buffer.StoreFile(folder.File("out.cir").c_str(), LineEndingStyle::Detect, true));
    EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
