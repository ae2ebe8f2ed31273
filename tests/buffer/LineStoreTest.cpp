#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "InvalidArgException.h"
#include "RecordingObserver.h"

using kivra_test::LinesOf;
using kivra_test::Notification;
using kivra_test::RecordingObserver;
using kivra_test::StartWithLines;
using kivra_test::TestBuffer;
using Lines = std::vector<std::string>;
using ::testing::ElementsAre;

namespace {

constexpr unsigned kOneLine = OneLineOnly | LengthsChanged;         // 0x0101
constexpr unsigned kLineCount = LengthsChanged | LineCountChanged;  // 0x0003
constexpr unsigned kMarks = OneLineOnly | MarksOnly;                // 0x0300

class LineStore : public ::testing::Test {
protected:
    // A fresh text with the view attached once and nothing recorded yet.
    void Start(const Lines& lines) {
        buffer.DetachView(&view);
        StartWithLines(buffer, lines);
        buffer.AttachView(&view);
        buffer.markModifiedCalls.clear();
        view.notifications.clear();
        view.tracked.clear();
    }

    TestBuffer buffer;
    RecordingObserver view;
};

}  // namespace

TEST_F(LineStore, CreateEmptyHoldsOneEmptyLineAndTellsViewsTheWholeTextChanged) {
    buffer.AttachView(&view);
    buffer.MakeReadOnly(true);
    EXPECT_TRUE(buffer.CreateEmpty(LineEndingStyle::Mac));
    EXPECT_FALSE(buffer.IsReadOnly());
    EXPECT_EQ(LinesOf(buffer), Lines{""});
    EXPECT_EQ(buffer.CurrentLineEnding(), LineEndingStyle::Mac);
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, false, WholeText, -1}));
}

TEST_F(LineStore, ClearEmptiesTheTableWithoutNotifying) {
    Start({"a", "b"});
    buffer.Clear();
    EXPECT_EQ(buffer.LineTotal(), 0);
    EXPECT_TRUE(view.notifications.empty());
}

TEST_F(LineStore, InsertionSplitsTheTextAtBreaks) {
    struct Case {
        const char* name;
        Lines before;
        TextPosition at;
        const char* text;
        Lines after;
        TextPosition end;
        unsigned hint;
    };
    const Case cases[] = {
        {"lone LF is a character", {""}, {0, 0}, "x\ny", {"x\ny"}, {3, 0}, kOneLine},
        {"CR is a break", {""}, {0, 0}, "x\ry", {"x", "y"}, {1, 1}, kLineCount},
        {"CR LF is one break", {""}, {0, 0}, "x\r\ny", {"x", "y"}, {1, 1}, kLineCount},
        {"CR CR LF is two breaks", {""}, {0, 0}, "a\r\r\nb", {"a", "", "b"}, {1, 2}, kLineCount},
        {"CR swallows only one LF", {""}, {0, 0}, "\r\n\n", {"", "\n"}, {1, 1}, kLineCount},
        {"LF before CR stays", {""}, {0, 0}, "\n\r", {"\n", ""}, {0, 1}, kLineCount},
        {"text ending in a break",
         {"hello"},
         {2, 0},
         "abc\r\n",
         {"heabc", "llo"},
         {0, 1},
         kLineCount},
        {"text stops at a NUL", {"12"}, {1, 0}, "ab\0cd", {"1ab2"}, {3, 0}, kOneLine},
        {"at the end of a line", {"ab", "cd"}, {2, 0}, "xy", {"abxy", "cd"}, {4, 0}, kOneLine},
        {"into a later line",
         {"ab", "cd", "ef"},
         {1, 1},
         "1\r2\r3",
         {"ab", "c1", "2", "3d", "ef"},
         {1, 3},
         kLineCount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.before);
        int endLine = -7, endCharacter = -7;
        ASSERT_TRUE(buffer.RawInsert(&view, c.at.y, c.at.x, c.text, endLine, endCharacter));
        EXPECT_EQ(LinesOf(buffer), c.after);
        EXPECT_EQ((TextPosition{endCharacter, endLine}), c.end);
        EXPECT_THAT(view.notifications, ElementsAre(Notification{&view, true, c.hint, c.at.y}));
        EXPECT_TRUE(buffer.IsModified());
        EXPECT_EQ(buffer.HistorySize(), 0) << "the raw primitive records nothing";
    }
}

TEST_F(LineStore, InsertionMovesPositionsAfterTheInsertionPointOnly) {
    Start({"hello", "world"});
    view.tracked = {{4, 0}, {2, 0}, {1, 0}, {3, 1}};
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 2, "abc\r\n", endLine, endCharacter);
    EXPECT_THAT(view.tracked, ElementsAre(TextPosition{2, 1}, TextPosition{2, 0},
                                          TextPosition{1, 0}, TextPosition{3, 2}));
    EXPECT_EQ(view.notifications.at(0).source, nullptr);
}

TEST(InsertContext, AdjustsPositions) {
    struct Case {
        TextPosition start, end, position, expected;
    };
    const Case cases[] = {
        // A break inserted at (2, 0): "abc CR LF" into "hello".
        {{2, 0}, {0, 1}, {4, 0}, {2, 1}},
        {{2, 0}, {0, 1}, {2, 0}, {2, 0}},  // exactly at the insertion point: stays before
        {{2, 0}, {0, 1}, {1, 0}, {1, 0}},
        {{2, 0}, {0, 1}, {3, 2}, {3, 3}},
        // Three characters inserted within line 1.
        {{1, 1}, {4, 1}, {2, 1}, {5, 1}},
        {{1, 1}, {4, 1}, {9, 0}, {9, 0}},
        {{1, 1}, {4, 1}, {0, 2}, {0, 2}},
        // Two breaks inserted: the rest of the line lands after the last piece.
        {{3, 1}, {2, 3}, {5, 1}, {4, 3}},
    };
    for (const Case& c : cases) {
        CCorvelTextBuffer::CInsertContext context;
        context.start = c.start;
        context.end = c.end;
        TextPosition position = c.position;
        context.AdjustPosition(position);
        EXPECT_EQ(position, c.expected) << "position (" << c.position.x << ", " << c.position.y
                                        << ") start (" << c.start.x << ", " << c.start.y << ")";
    }
}

TEST(DeleteContext, AdjustsPositions) {
    struct Case {
        TextPosition start, end, position, expected;
    };
    const Case cases[] = {
        // (2, 0) to (1, 2) in "abcd", "efg", "hij", "klm".
        {{2, 0}, {1, 2}, {0, 1}, {2, 0}},  // inside the range
        {{2, 0}, {1, 2}, {3, 2}, {4, 0}},  // after the end on the end line
        {{2, 0}, {1, 2}, {1, 3}, {1, 1}},  // a later line moves up
        {{2, 0}, {1, 2}, {1, 0}, {1, 0}},  // before the start
        {{2, 0}, {1, 2}, {2, 0}, {2, 0}},  // at the start
        {{2, 0}, {1, 2}, {3, 0}, {2, 0}},  // start line, inside
        {{2, 0}, {1, 2}, {0, 2}, {2, 0}},  // end line, inside
        {{2, 0}, {1, 2}, {1, 2}, {2, 0}},  // exactly at the end
        // (1, 3) to (3, 3) within one line.
        {{1, 3}, {3, 3}, {5, 3}, {3, 3}},
        {{1, 3}, {3, 3}, {2, 3}, {1, 3}},
        {{1, 3}, {3, 3}, {0, 3}, {0, 3}},
        {{1, 3}, {3, 3}, {2, 4}, {2, 4}},
        {{1, 3}, {3, 3}, {7, 2}, {7, 2}},
    };
    for (const Case& c : cases) {
        CCorvelTextBuffer::CDeleteContext context;
        context.start = c.start;
        context.end = c.end;
        TextPosition position = c.position;
        context.AdjustPosition(position);
        EXPECT_EQ(position, c.expected) << "position (" << c.position.x << ", " << c.position.y
                                        << ") start (" << c.start.x << ", " << c.start.y << ")";
    }
}

TEST_F(LineStore, DeletionAcrossLinesJoinsStartAndEndLine) {
    Start({"abcd", "efg", "hij", "klm"});
    view.tracked = {{0, 1}, {3, 2}, {1, 3}, {1, 0}};
    ASSERT_TRUE(buffer.RawDelete(&view, 0, 2, 2, 1));
    EXPECT_EQ(LinesOf(buffer), (Lines{"abij", "klm"}));
    EXPECT_THAT(view.notifications, ElementsAre(Notification{&view, true, kLineCount, 0}));
    EXPECT_THAT(view.tracked, ElementsAre(TextPosition{2, 0}, TextPosition{4, 0},
                                          TextPosition{1, 1}, TextPosition{1, 0}));
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(LineStore, DeletionRemovesTheRangeAndTellsWhetherLinesWent) {
    struct Case {
        const char* name;
        Lines before;
        TextPosition start, end;
        Lines after;
        unsigned hint;
    };
    const Case cases[] = {
        {"within a line", {"abcdef"}, {1, 0}, {3, 0}, {"adef"}, kOneLine},
        {"up to the end of a line", {"abcdef", "g"}, {2, 0}, {6, 0}, {"ab", "g"}, kOneLine},
        {"only the break", {"abc", "def"}, {3, 0}, {0, 1}, {"abcdef"}, kLineCount},
        {"whole lines", {"a", "b", "c", "d"}, {0, 1}, {0, 3}, {"a", "d"}, kLineCount},
        {"everything", {"ab", "cd"}, {0, 0}, {2, 1}, {""}, kLineCount},
        {"joined line outgrows its reserve",
         {"0123456789abcd", "0123456789ABCDEF"},
         {14, 0},
         {0, 1},
         {"0123456789abcd0123456789ABCDEF"},
         kLineCount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.before);
        ASSERT_TRUE(buffer.RawDelete(&view, c.start.y, c.start.x, c.end.y, c.end.x));
        EXPECT_EQ(LinesOf(buffer), c.after);
        EXPECT_THAT(view.notifications, ElementsAre(Notification{&view, true, c.hint, c.start.y}));
    }
}

TEST_F(LineStore, EmptyInsertionOrDeletionStillNotifiesAndMarksModified) {
    for (bool insert : {true, false}) {
        SCOPED_TRACE(insert ? "empty insertion" : "empty deletion");
        Start({"abc", "def"});
        if (insert) {
            int endLine = 0, endCharacter = 0;
            ASSERT_TRUE(buffer.RawInsert(&view, 1, 2, "", endLine, endCharacter));
            EXPECT_EQ((TextPosition{endCharacter, endLine}), (TextPosition{2, 1}));
        } else {
            ASSERT_TRUE(buffer.RawDelete(&view, 1, 2, 1, 2));
        }
        EXPECT_EQ(LinesOf(buffer), (Lines{"abc", "def"}));
        EXPECT_THAT(view.notifications, ElementsAre(Notification{&view, true, kOneLine, 1}));
        EXPECT_TRUE(buffer.IsModified());
    }
}

TEST_F(LineStore, OnlyTheFirstChangeOfAnUnmodifiedTextCallsMarkModified) {
    Start({"abc"});
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 1, "x", endLine, endCharacter);
    buffer.RawDelete(nullptr, 0, 0, 0, 1);
    buffer.InsertAt(nullptr, 0, 0, "y", endLine, endCharacter, EditAction::Typing);
    EXPECT_THAT(buffer.markModifiedCalls, ElementsAre(true));
}

TEST_F(LineStore, ReadOnlyBufferRefusesEveryEditAndTellsNobody) {
    struct Case {
        const char* name;
        bool (*edit)(TestBuffer&, RecordingObserver&);
    };
    const Case cases[] = {
        {"RawInsert",
         [](TestBuffer& b, RecordingObserver& v) {
             int l, c;
             return b.RawInsert(&v, 0, 1, "x\r\ny", l, c);
         }},
        {"RawInsert of nothing",
         [](TestBuffer& b, RecordingObserver& v) {
             int l, c;
             return b.RawInsert(&v, 0, 1, "", l, c);
         }},
        {"RawDelete",
         [](TestBuffer& b, RecordingObserver& v) { return b.RawDelete(&v, 0, 1, 1, 1); }},
        {"InsertAt",
         [](TestBuffer& b, RecordingObserver& v) {
             int l, c;
             return b.InsertAt(&v, 0, 1, "x", l, c, EditAction::Typing);
         }},
        {"DeleteRange",
         [](TestBuffer& b, RecordingObserver& v) {
             return b.DeleteRange(&v, 0, 0, 1, 0, EditAction::Delete);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start({"abc", "def"});
        buffer.MakeReadOnly(true);
        EXPECT_FALSE(c.edit(buffer, view));
        EXPECT_EQ(LinesOf(buffer), (Lines{"abc", "def"}));
        EXPECT_TRUE(view.notifications.empty());
        EXPECT_TRUE(view.afterEditCalls.empty());
        EXPECT_EQ(buffer.HistorySize(), 0);
        EXPECT_FALSE(buffer.IsModified());
    }
}

TEST_F(LineStore, BadLineIndexRaisesInvalidArgument) {
    Start({"abc", "def"});
    int endLine = 0, endCharacter = 0;
    EXPECT_THROW(buffer.LineLength(-1), CInvalidArgException);
    EXPECT_THROW(buffer.LineText(2), CInvalidArgException);
    EXPECT_THROW(buffer.FlagsOfLine(2), CInvalidArgException);
    EXPECT_THROW(buffer.RawInsert(&view, 2, 0, "x", endLine, endCharacter), CInvalidArgException);
    EXPECT_THROW(buffer.RawDelete(&view, 1, 0, 2, 0), CInvalidArgException);
    EXPECT_THROW(buffer.RawDelete(&view, 2, 0, 2, 0), CInvalidArgException);
    EXPECT_THROW(buffer.ChangeLineFlag(2, Bookmark, true, false), CInvalidArgException);
    EXPECT_THROW(buffer.NextBookmarkedLine(-1), CInvalidArgException);
    EXPECT_THROW(buffer.PreviousBookmarkedLine(2), CInvalidArgException);
    EXPECT_THROW(buffer.ExtendLine(2, "x"), CInvalidArgException);
    // A refused index is checked before anything changes.
    EXPECT_EQ(LinesOf(buffer), (Lines{"abc", "def"}));
    EXPECT_TRUE(view.notifications.empty());
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(LineStore, PositionOutsideALineOrReversedRangeRaisesBeforeAnyChange) {
    Start({"abc", "def"});
    int endLine = 0, endCharacter = 0;
    std::string text;
    EXPECT_THROW(buffer.RawInsert(&view, 0, 4, "x", endLine, endCharacter), CInvalidArgException);
    EXPECT_THROW(buffer.RawInsert(&view, 0, -1, "x", endLine, endCharacter), CInvalidArgException);
    EXPECT_THROW(buffer.RawDelete(&view, 0, 2, 0, 1), CInvalidArgException);
    EXPECT_THROW(buffer.RawDelete(&view, 1, 0, 0, 1), CInvalidArgException);
    EXPECT_THROW(buffer.DeleteRange(&view, 0, 0, 1, 9, EditAction::Delete), CInvalidArgException);
    EXPECT_THROW(buffer.CopyRange(0, 0, 1, 4, text), CInvalidArgException);
    EXPECT_EQ(LinesOf(buffer), (Lines{"abc", "def"}));
    EXPECT_TRUE(view.notifications.empty());
    EXPECT_EQ(buffer.HistorySize(), 0);
}

TEST_F(LineStore, FlagsStayWithTheStartLineWhenALineIsSplit) {
    Start({"hello", "next"});
    buffer.ChangeLineFlag(0, Bookmark, true, false);
    buffer.ChangeLineFlag(1, NumberedBookmark4, true, false);
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, "x\r\ny\r\n", endLine, endCharacter);
    EXPECT_EQ(LinesOf(buffer), (Lines{"x", "y", "hello", "next"}));
    EXPECT_EQ(buffer.FlagsOfLine(0), Bookmark) << "the flag stays on the line, not its text";
    EXPECT_EQ(buffer.FlagsOfLine(1), 0u);
    EXPECT_EQ(buffer.FlagsOfLine(2), 0u);
    EXPECT_EQ(buffer.FlagsOfLine(3), NumberedBookmark4);
}

TEST_F(LineStore, FlagsOfLinesRemovedByADeletionAreLost) {
    Start({"a", "b", "c", "d"});
    buffer.ChangeLineFlag(0, NumberedBookmark1, true, false);
    buffer.ChangeLineFlag(1, Bookmark, true, false);
    buffer.ChangeLineFlag(2, NumberedBookmark2, true, false);
    buffer.ChangeLineFlag(3, Bookmark, true, false);
    buffer.RawDelete(nullptr, 0, 1, 2, 1);
    EXPECT_EQ(LinesOf(buffer), (Lines{"a", "d"}));
    EXPECT_EQ(buffer.FlagsOfLine(0), NumberedBookmark1);
    EXPECT_EQ(buffer.FlagsOfLine(1), Bookmark);
    EXPECT_EQ(buffer.LineOfSingleFlag(NumberedBookmark2), -1);
}

TEST_F(LineStore, ChangeLineFlagNotifiesOnlyWhenTheFlagsChange) {
    struct Case {
        const char* name;
        std::uint32_t initial;
        std::uint32_t flag;
        bool set;
        std::uint32_t expected;
        bool notified;
    };
    const Case cases[] = {
        {"set", 0, Bookmark, true, Bookmark, true},
        {"set one more", NumberedBookmark0, Bookmark, true, NumberedBookmark0 | Bookmark, true},
        {"clear", Bookmark | NumberedBookmark9, Bookmark, false, NumberedBookmark9, true},
        {"set again", Bookmark, Bookmark, true, Bookmark, false},
        {"clear a missing flag", NumberedBookmark1, Bookmark, false, NumberedBookmark1, false},
        {"two bits", 0, NumberedBookmark1 | NumberedBookmark2, true, 0, false},
        {"no bit", Bookmark, 0, false, Bookmark, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start({"a", "b"});
        for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
            if (c.initial & bit)
                buffer.ChangeLineFlag(1, bit, true, false);
        }
        view.notifications.clear();
        buffer.ChangeLineFlag(1, c.flag, c.set, false);
        EXPECT_EQ(buffer.FlagsOfLine(1), c.expected);
        EXPECT_EQ(buffer.FlagsOfLine(0), 0u);
        if (c.notified) {
            EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, false, kMarks, 1}));
        } else {
            EXPECT_TRUE(view.notifications.empty());
        }
        EXPECT_FALSE(buffer.IsModified()) << "flags are not part of the text";
    }
}

TEST_F(LineStore, ExclusiveFlagMovesFromItsHolderWithTwoNotifications) {
    Start(Lines(10, "x"));
    buffer.ChangeLineFlag(2, NumberedBookmark3, true, false);
    view.notifications.clear();
    buffer.ChangeLineFlag(7, NumberedBookmark3, true, true);
    EXPECT_EQ(buffer.FlagsOfLine(2), 0u);
    EXPECT_EQ(buffer.FlagsOfLine(7), NumberedBookmark3);
    EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, false, kMarks, 2},
                                                Notification{nullptr, false, kMarks, 7}));
}

TEST_F(LineStore, ExclusiveClearLeavesOtherHoldersAlone) {
    Start(Lines(4, "x"));
    buffer.ChangeLineFlag(0, NumberedBookmark5, true, false);
    buffer.ChangeLineFlag(3, NumberedBookmark5, true, false);
    buffer.ChangeLineFlag(3, NumberedBookmark5, false, true);
    EXPECT_EQ(buffer.FlagsOfLine(0), NumberedBookmark5);
    EXPECT_EQ(buffer.FlagsOfLine(3), 0u);
}

TEST_F(LineStore, FlagChangeOnLineMinusOneActsOnTheFirstHolder) {
    Start(Lines(5, "x"));
    buffer.ChangeLineFlag(1, Bookmark, true, false);
    buffer.ChangeLineFlag(3, Bookmark, true, false);
    view.notifications.clear();
    buffer.ChangeLineFlag(-1, Bookmark, false, true);
    EXPECT_EQ(buffer.FlagsOfLine(1), 0u);
    EXPECT_EQ(buffer.FlagsOfLine(3), Bookmark);
    EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, false, kMarks, 1}));

    view.notifications.clear();
    buffer.ChangeLineFlag(-1, NumberedBookmark0, false, false);  // nobody holds it
    EXPECT_TRUE(view.notifications.empty());
}

TEST_F(LineStore, LineOfSingleFlagWantsExactlyOneBit) {
    Start(Lines(4, "x"));
    buffer.ChangeLineFlag(1, NumberedBookmark2, true, false);
    buffer.ChangeLineFlag(2, Bookmark, true, false);
    EXPECT_EQ(buffer.LineOfSingleFlag(Bookmark), 2);
    EXPECT_EQ(buffer.LineOfSingleFlag(NumberedBookmark2), 1);
    EXPECT_EQ(buffer.LineOfSingleFlag(NumberedBookmark2 | Bookmark), -1);
    EXPECT_EQ(buffer.LineOfSingleFlag(0), -1);
    EXPECT_EQ(buffer.LineOfSingleFlag(NumberedBookmark7), -1);
    EXPECT_EQ(buffer.FirstLineWithFlags(NumberedBookmark2 | Bookmark), 1);
}

TEST_F(LineStore, BookmarkSearchWrapsAround) {
    struct Case {
        std::vector<int> bookmarked;
        int from;
        int next;
        int previous;
    };
    const Case cases[] = {
        {{1, 4}, 0, 1, 4}, {{1, 4}, 1, 4, 4}, {{1, 4}, 2, 4, 1}, {{1, 4}, 4, 1, 1},
        {{1, 4}, 5, 1, 4}, {{2}, 2, 2, 2},    {{}, 3, -1, -1},   {{0, 5}, 0, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("from line " + std::to_string(c.from) + " with " +
                     std::to_string(c.bookmarked.size()) + " bookmarks");
        Start(Lines(6, "x"));
        for (int line : c.bookmarked)
            buffer.ChangeLineFlag(line, Bookmark, true, false);
        buffer.ChangeLineFlag(3, NumberedBookmark0, true, false);  // not a plain bookmark
        EXPECT_EQ(buffer.NextBookmarkedLine(c.from), c.next);
        EXPECT_EQ(buffer.PreviousBookmarkedLine(c.from), c.previous);
    }
}

TEST(LineReserve, AddLineReservesTheNextMultipleOf16AboveTheLength) {
    TestBuffer buffer;
    const std::string characters(40, 'c');
    const std::pair<int, int> cases[] = {{0, 16},  {1, 16},  {15, 16}, {16, 32},
                                         {17, 32}, {31, 32}, {32, 48}, {40, 48}};
    for (auto [count, capacity] : cases) {
        buffer.AddLine(characters.c_str(), count);
        const auto& info = buffer.LineInfo(buffer.LineTotal() - 1);
        EXPECT_EQ(info.length, count);
        EXPECT_EQ(info.capacity, capacity) << count << " characters";
        EXPECT_EQ(info.flags, 0u);
    }
    buffer.AddLine(nullptr);
    EXPECT_EQ(buffer.LineInfo(buffer.LineTotal() - 1).capacity, 16);
    buffer.AddLine("in front", -1, 0);
    EXPECT_EQ(std::string(buffer.LineText(0), buffer.LineLength(0)), "in front");
}

TEST_F(LineStore, ReserveGrowsOnlyWhenTooSmallAndNeverShrinks) {
    Start({""});
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, "123456789012345", endLine, endCharacter);
    EXPECT_EQ(buffer.LineInfo(0).capacity, 16);
    buffer.RawInsert(nullptr, 0, 0, "x", endLine, endCharacter);
    EXPECT_EQ(buffer.LineInfo(0).capacity, 16) << "16 characters still fit in 16 bytes";
    buffer.RawInsert(nullptr, 0, 0, "y", endLine, endCharacter);
    EXPECT_EQ(buffer.LineInfo(0).capacity, 32) << "grown for 17 characters";
    EXPECT_EQ(std::string(buffer.LineText(0), 17), "yx123456789012345");
    buffer.RawDelete(nullptr, 0, 0, 0, 17);
    EXPECT_EQ(buffer.LineInfo(0).length, 0);
    EXPECT_EQ(buffer.LineInfo(0).capacity, 32);
}

TEST_F(LineStore, CopyRangeJoinsLinesWithTheGivenBreak) {
    struct Case {
        TextPosition start, end;
        const char* lineBreak;
        std::string expected;
    };
    const Case cases[] = {
        {{1, 0}, {2, 3}, nullptr, "bc\r\nde\r\n\r\nfg"},
        {{1, 0}, {2, 3}, "\n", "bc\nde\n\nfg"},
        {{1, 0}, {2, 3}, "", "bcdefg"},
        {{3, 0}, {0, 1}, nullptr, "\r\n"},
        {{0, 1}, {2, 1}, nullptr, "de"},
        {{1, 1}, {1, 1}, "\n", ""},
        {{0, 0}, {3, 3}, "|", "abc|de||fgh"},
    };
    Start({"abc", "de", "", "fgh"});
    for (const Case& c : cases) {
        std::string text = "stale";
        buffer.CopyRange(c.start.y, c.start.x, c.end.y, c.end.x, text, c.lineBreak);
        EXPECT_EQ(text, c.expected);
    }
}

TEST_F(LineStore, ViewsAreToldInOrderOfAttachment) {
    Start({"abc"});
    RecordingObserver second;
    std::vector<int> order;
    view.onRefresh = [&] { order.push_back(1); };
    second.onRefresh = [&] { order.push_back(2); };
    buffer.AttachView(&second);
    buffer.AttachView(&view);  // attached twice: told twice
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, "x", endLine, endCharacter);
    EXPECT_THAT(order, ElementsAre(1, 2, 1));

    order.clear();
    buffer.DetachView(&view);  // only the first entry goes
    buffer.RawInsert(nullptr, 0, 0, "x", endLine, endCharacter);
    EXPECT_THAT(order, ElementsAre(2, 1));
}

TEST_F(LineStore, ViewDetachingItselfDuringNotificationDoesNotStopTheOthers) {
    Start({"abc"});
    RecordingObserver middle, last;
    buffer.AttachView(&middle);
    buffer.AttachView(&last);
    middle.onRefresh = [&] { buffer.DetachView(&middle); };
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, "x", endLine, endCharacter);
    EXPECT_EQ(view.notifications.size(), 1u);
    EXPECT_EQ(middle.notifications.size(), 1u);
    EXPECT_EQ(last.notifications.size(), 1u);

    buffer.RawDelete(nullptr, 0, 0, 0, 1);
    EXPECT_EQ(view.notifications.size(), 2u);
    EXPECT_EQ(middle.notifications.size(), 1u);
    EXPECT_EQ(last.notifications.size(), 2u);
}

TEST_F(LineStore, ViewDetachingTheNextViewDuringNotificationLeavesItUntold) {
    Start({"abc"});
    RecordingObserver first, second;
    buffer.AttachView(&first);
    buffer.AttachView(&second);
    first.onRefresh = [&] { buffer.DetachView(&second); };
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, "x", endLine, endCharacter);
    EXPECT_EQ(first.notifications.size(), 1u);
    EXPECT_TRUE(second.notifications.empty());
}

// Pasting many lines grows the line table, which may move it: the split line must be reached
// again after the growth, or its head is written into freed memory.
TEST_F(LineStore, InsertingManyLinesIntoAShortTextKeepsTheSplitLine) {
    Start({"head|tail"});
    std::string text;
    for (int index = 0; index < 300000; ++index)
        text += "x\r\n";
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(
        buffer.InsertAt(&view, 0, 5, text.c_str(), endLine, endCharacter, EditAction::Paste));
    ASSERT_EQ(buffer.LineTotal(), 300001);
    EXPECT_EQ(std::string(buffer.LineText(0), buffer.LineLength(0)), "head|x");
    EXPECT_EQ(std::string(buffer.LineText(300000), buffer.LineLength(300000)), "tail");
    EXPECT_EQ(endLine, 300000);
    EXPECT_EQ(endCharacter, 0);
}
