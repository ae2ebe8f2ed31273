#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "InvalidArgException.h"
#include "RecordingObserver.h"

using kivra_test::AfterEditCall;
using kivra_test::LinesOf;
using kivra_test::ReadBytes;
using kivra_test::RecordingObserver;
using kivra_test::StartWithLines;
using kivra_test::TempFolder;
using kivra_test::TestBuffer;
using kivra_test::WriteBytes;
using Lines = std::vector<std::string>;
using ::testing::ElementsAre;

namespace {

class UndoHistory : public ::testing::Test {
protected:
    void SetUp() override { Start({""}); }

    void Start(const Lines& lines) {
        buffer.DetachView(&view);
        StartWithLines(buffer, lines);
        buffer.AttachView(&view);
        view.notifications.clear();
        view.afterEditCalls.clear();
        buffer.markModifiedCalls.clear();
    }

    // An edit of its own group, as the commands that open no group make it.
    TextPosition Insert(TextPosition at, const char* text, EditAction action = EditAction::Paste,
                        CTextBufferObserver* source = nullptr) {
        TextPosition end;
        EXPECT_TRUE(buffer.InsertAt(source, at.y, at.x, text, end.y, end.x, action));
        return end;
    }

    // Appends text at the end of the last line.
    void Append(const char* text) {
        int last = buffer.LineTotal() - 1;
        Insert({buffer.LineLength(last), last}, text);
    }

    // One typed character: letters merge with the group before, a space starts a new one.
    void Type(char character) {
        const char text[] = {character, '\0'};
        int last = buffer.LineTotal() - 1;
        buffer.OpenUndoGroup(character != ' ');
        Insert({buffer.LineLength(last), last}, text, EditAction::Typing, &view);
        buffer.CloseUndoGroup(&view);
    }

    TextPosition Undo() {
        TextPosition position{-1, -1};
        EXPECT_TRUE(buffer.StepBack(position));
        return position;
    }

    TextPosition Redo() {
        TextPosition position{-1, -1};
        EXPECT_TRUE(buffer.StepForward(position));
        return position;
    }

    std::vector<int> GroupStarts() const {
        std::vector<int> starts;
        for (int index = 0; index < buffer.HistorySize(); ++index) {
            if (buffer.HistoryRecord(index).StartsGroup())
                starts.push_back(index);
        }
        return starts;
    }

    std::string UndoCaption() const {
        std::string text = "stale";
        buffer.UndoCaption(text);
        return text;
    }

    std::string RedoCaption() const {
        std::string text = "stale";
        buffer.RedoCaption(text);
        return text;
    }

    bool Store() {
        return buffer.StoreFile(folder.File("saved.cir").c_str(), LineEndingStyle::Win, true);
    }

    TestBuffer buffer;
    RecordingObserver view;
    TempFolder folder;
};

}  // namespace

// --- Grouping

TEST_F(UndoHistory, FreshTextHasNothingToUndoOrRedo) {
    EXPECT_FALSE(buffer.CanStepBack());
    EXPECT_FALSE(buffer.CanStepForward());
    TextPosition position;
    EXPECT_THROW(buffer.StepBack(position), CInvalidArgException);
    EXPECT_THROW(buffer.StepForward(position), CInvalidArgException);
}

TEST_F(UndoHistory, TypingGroupsWordsAndASpaceStartsTheNextGroup) {
    for (char c : std::string("ab cd"))
        Type(c);
    EXPECT_EQ(LinesOf(buffer), Lines{"ab cd"});
    EXPECT_THAT(GroupStarts(), ElementsAre(0, 2));

    EXPECT_EQ(Undo(), (TextPosition{2, 0})) << "the caret goes to where the space was typed";
    EXPECT_EQ(LinesOf(buffer), Lines{"ab"});
    EXPECT_EQ(Undo(), (TextPosition{0, 0}));
    EXPECT_EQ(LinesOf(buffer), Lines{""});
    EXPECT_FALSE(buffer.CanStepBack());
}

TEST_F(UndoHistory, EditsOutsideAnyGroupAreGroupsOfTheirOwn) {
    Append("a");
    Append("b");
    Append("c");
    EXPECT_THAT(GroupStarts(), ElementsAre(0, 1, 2));
}

TEST_F(UndoHistory, MergingGroupContinuesTheLastGroupWhateverItsAction) {
    buffer.OpenUndoGroup(false);
    Insert({0, 0}, "pasted", EditAction::Paste, &view);
    buffer.CloseUndoGroup(&view);
    Type('x');
    EXPECT_THAT(GroupStarts(), ElementsAre(0));
    EXPECT_EQ(UndoCaption(), "Paste");
    Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{""});
}

TEST_F(UndoHistory, MergingGroupAtTheStartOfTheHistoryStartsAGroup) {
    Type('a');  // merge requested, but nothing to merge with
    EXPECT_THAT(GroupStarts(), ElementsAre(0));
    Undo();
    Type('b');  // the history position is 0 again: the redo part goes, a new group starts
    EXPECT_EQ(buffer.HistorySize(), 1);
    EXPECT_THAT(GroupStarts(), ElementsAre(0));
}

TEST_F(UndoHistory, GroupIsRevertedNewestFirstAndReappliedOldestFirst) {
    Start({"abcde"});
    buffer.OpenUndoGroup(false);
    buffer.DeleteRange(&view, 0, 1, 0, 4, EditAction::DeleteSelection);
    Insert({1, 0}, "X\r\nY", EditAction::Paste, &view);
    buffer.CloseUndoGroup(&view);
    ASSERT_EQ(LinesOf(buffer), (Lines{"aX", "Ye"}));

    EXPECT_EQ(Undo(), (TextPosition{4, 0})) << "the end of the deletion that began the group";
    EXPECT_EQ(LinesOf(buffer), Lines{"abcde"});
    EXPECT_EQ(Redo(), (TextPosition{1, 1})) << "the end of the insertion that ended the group";
    EXPECT_EQ(LinesOf(buffer), (Lines{"aX", "Ye"}));
}

TEST_F(UndoHistory, InsertionWithBreaksComesBackWhole) {
    Start({"hello"});
    TextPosition end = Insert({1, 0}, "a\r\nb\rc\nd");
    EXPECT_EQ(end, (TextPosition{3, 2}));
    const Lines inserted{"ha", "b", "c\ndello"};
    ASSERT_EQ(LinesOf(buffer), inserted);
    EXPECT_EQ(Undo(), (TextPosition{1, 0}));
    EXPECT_EQ(LinesOf(buffer), Lines{"hello"});
    EXPECT_EQ(Redo(), end);
    EXPECT_EQ(LinesOf(buffer), inserted);
}

TEST_F(UndoHistory, NewEditAfterUndoDiscardsTheRedoPart) {
    Append("a");
    Append("b");
    Append("c");
    Undo();
    Undo();
    Append("x");
    EXPECT_EQ(buffer.HistorySize(), 2);
    EXPECT_FALSE(buffer.CanStepForward());
    EXPECT_EQ(LinesOf(buffer), Lines{"ax"});
    Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{"a"});
}

TEST_F(UndoHistory, RecordTextsOfEveryLengthSurviveUndoRedoAndDiscarding) {
    const std::string texts[] = {"", "x", "1234567", "12345678", std::string(100, 'L'), "y"};
    buffer.SetHistoryLimit(3);
    std::string expected;
    for (const std::string& text : texts) {
        Insert({0, 0}, text.c_str());
        expected.insert(0, text);
        EXPECT_EQ(buffer.HistoryRecord(buffer.HistorySize() - 1).Text(), text);
    }
    ASSERT_EQ(buffer.HistorySize(), 3);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(buffer.HistoryRecord(index).Text(), texts[3 + index]);
    }
    for (int step = 0; step < 3; ++step)
        Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{"1234567x"});
    for (int step = 0; step < 3; ++step)
        Redo();
    EXPECT_EQ(LinesOf(buffer), Lines{expected});
}

// --- Captions and action names

TEST_F(UndoHistory, CaptionsNameTheActionOfTheGroup) {
    const std::pair<EditAction, const char*> cases[] = {
        {EditAction::Unknown, "Unknown"},
        {EditAction::Paste, "Paste"},
        {EditAction::DeleteSelection, "Delete Selection"},
        {EditAction::Cut, "Cut"},
        {EditAction::Typing, "Typing"},
        {EditAction::Backspace, "Backspace"},
        {EditAction::Indent, "Indent"},
        {EditAction::DragAndDrop, "Drag And Drop"},
        {EditAction::Replace, "Replace"},
        {EditAction::Delete, "Delete"},
        {EditAction::AutoIndent, "Auto Indent"},
        {static_cast<EditAction>(11), ""},
        {static_cast<EditAction>(-1), ""},
    };
    for (auto [action, name] : cases) {
        SCOPED_TRACE(static_cast<int>(action));
        Start({""});
        Insert({0, 0}, "x", action);
        EXPECT_EQ(UndoCaption(), name);
        Undo();
        EXPECT_EQ(RedoCaption(), name);
    }
}

TEST_F(UndoHistory, ActionNameRefusesUnknownCodesAndLeavesTheTextAlone) {
    for (int code : {-1, 11, 1000}) {
        std::string text = "untouched";
        EXPECT_FALSE(buffer.ActionName(static_cast<EditAction>(code), text)) << code;
        EXPECT_EQ(text, "untouched");
    }
    std::string text;
    EXPECT_TRUE(buffer.ActionName(EditAction::Delete, text));
    EXPECT_EQ(text, "Delete");
}

TEST_F(UndoHistory, PasteThatReplacedASelectionIsCaptionedDeleteSelection) {
    Start({"abcde"});
    buffer.OpenUndoGroup(false);
    buffer.DeleteRange(&view, 0, 1, 0, 4, EditAction::DeleteSelection);
    Insert({1, 0}, "XY", EditAction::Paste, &view);
    buffer.CloseUndoGroup(&view);
    Append("z");  // a later group of another action
    Undo();
    EXPECT_EQ(UndoCaption(), "Delete Selection");
    EXPECT_EQ(RedoCaption(), "Paste");
    Undo();
    EXPECT_EQ(RedoCaption(), "Delete Selection");
}

// --- The view's hook after an edit

TEST_F(UndoHistory, EditOutsideAGroupCallsTheHookOfItsViewOnce) {
    Start({"ab", "cd"});
    Insert({0, 0}, "xy", EditAction::Paste, &view);
    buffer.DeleteRange(&view, 0, 3, 1, 1, EditAction::Cut);
    EXPECT_THAT(view.afterEditCalls, ElementsAre(AfterEditCall{EditAction::Paste, "xy"},
                                                 AfterEditCall{EditAction::Cut, "b\r\nc"}));
}

TEST_F(UndoHistory, ClosingAGroupCallsTheHookOnceWithTheLastRecord) {
    buffer.OpenUndoGroup(false);
    Insert({0, 0}, "one", EditAction::Indent, &view);
    Insert({0, 0}, "two", EditAction::Replace, &view);
    EXPECT_TRUE(view.afterEditCalls.empty()) << "not before the group closes";
    buffer.CloseUndoGroup(&view);
    EXPECT_THAT(view.afterEditCalls, ElementsAre(AfterEditCall{EditAction::Replace, "two"}));
}

TEST_F(UndoHistory, NoHookWithoutAViewOrWithoutHistory) {
    buffer.OpenUndoGroup(false);
    buffer.CloseUndoGroup(&view);  // empty history
    Insert({0, 0}, "x", EditAction::Typing, nullptr);
    buffer.OpenUndoGroup(false);
    Insert({0, 0}, "y", EditAction::Typing, &view);
    buffer.CloseUndoGroup(nullptr);
    EXPECT_TRUE(view.afterEditCalls.empty());
}

TEST_F(UndoHistory, ClosingAGroupWithNothingRecordedReportsTheLastRecordOfTheHistory) {
    Insert({0, 0}, "q", EditAction::Indent);
    buffer.OpenUndoGroup(false);
    buffer.CloseUndoGroup(&view);
    EXPECT_THAT(view.afterEditCalls, ElementsAre(AfterEditCall{EditAction::Indent, "q"}));
}

TEST_F(UndoHistory, EditMadeByTheHookIsUndoneAsAStepOfItsOwn) {
    Start({"ab"});
    view.onAfterEdit = [&](EditAction action, const char* text) {
        if (action == EditAction::Typing && std::string(text) == "\r\n") {
            Insert({0, 1}, "  ", EditAction::AutoIndent, nullptr);
        }
    };
    buffer.OpenUndoGroup(false);
    Insert({2, 0}, "\r\n", EditAction::Typing, &view);
    buffer.CloseUndoGroup(&view);

    EXPECT_EQ(LinesOf(buffer), (Lines{"ab", "  "}));
    EXPECT_EQ(view.afterEditCalls.size(), 1u);
    EXPECT_THAT(GroupStarts(), ElementsAre(0, 1));
    EXPECT_EQ(UndoCaption(), "Auto Indent");
    Undo();
    EXPECT_EQ(LinesOf(buffer), (Lines{"ab", ""}));
    EXPECT_EQ(UndoCaption(), "Typing");
    Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{"ab"});
}

// --- Saved position and modified state

TEST_F(UndoHistory, UndoBackToTheStartingTextClearsModified) {
    Append("a");
    EXPECT_TRUE(buffer.IsModified());
    Undo();
    EXPECT_FALSE(buffer.IsModified());
    Redo();
    EXPECT_TRUE(buffer.IsModified());
    // Through the overridable operation, so that a document's own flag follows.
    EXPECT_THAT(buffer.markModifiedCalls, ElementsAre(true, false, true));
}

TEST_F(UndoHistory, UndoToTheStoredTextClearsModifiedAndRedoSetsItAgain) {
    Append("a");
    ASSERT_TRUE(Store());
    EXPECT_EQ(buffer.SavedPosition(), 1);
    Append("b");
    EXPECT_TRUE(buffer.IsModified());
    Undo();
    EXPECT_FALSE(buffer.IsModified());
    Redo();
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(UndoHistory, RedoBackToTheStoredTextClearsModified) {
    Append("a");
    Append("b");
    ASSERT_TRUE(Store());
    Undo();
    Undo();
    EXPECT_TRUE(buffer.IsModified()) << "the starting text is not the stored one";
    Redo();
    EXPECT_TRUE(buffer.IsModified());
    Redo();
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(UndoHistory, NewEditAfterUndoingPastTheStoredTextMakesItUnreachable) {
    Append("a");
    Append("b");
    ASSERT_TRUE(Store());  // "ab" at position 2
    Undo();
    Undo();
    Append("c");
    Append("d");  // "cd", again at position 2
    EXPECT_EQ(buffer.SavedPosition(), -1);
    Undo();
    Redo();
    EXPECT_EQ(LinesOf(buffer), Lines{"cd"});
    EXPECT_TRUE(buffer.IsModified());
    Undo();
    Undo();
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(UndoHistory, NewEditAfterUndoingToTheStoredTextKeepsItReachable) {
    Append("a");
    ASSERT_TRUE(Store());
    Append("b");
    Undo();
    Append("c");
    EXPECT_EQ(buffer.SavedPosition(), 1);
    Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{"a"});
    EXPECT_FALSE(buffer.IsModified());
}

// --- Read-only text

TEST_F(UndoHistory, ReadOnlyTextNeitherUndoesNorRedoes) {
    Append("a");
    Append("b");
    Undo();
    bool wasModified = buffer.IsModified();
    buffer.MakeReadOnly(true);
    view.notifications.clear();
    TextPosition position{-5, -5};
    EXPECT_FALSE(buffer.StepBack(position));
    EXPECT_FALSE(buffer.StepForward(position));
    EXPECT_EQ(buffer.HistoryPosition(), 1);
    EXPECT_EQ(LinesOf(buffer), Lines{"a"});
    EXPECT_EQ(buffer.IsModified(), wasModified);
    EXPECT_TRUE(view.notifications.empty());

    buffer.MakeReadOnly(false);
    Redo();
    EXPECT_EQ(LinesOf(buffer), Lines{"ab"}) << "the history still matches the text";
}

// --- History limit

TEST_F(UndoHistory, FullHistoryDiscardsWholeOldestGroups) {
    struct Case {
        std::vector<int> groupSizes;  // records per group, oldest first, filling the history
        int remaining;                // records after one more is appended
    };
    const Case cases[] = {{{3, 1}, 2}, {{1, 3}, 4}, {{1, 1, 1, 1}, 4}, {{4}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("oldest group of " + std::to_string(c.groupSizes.front()));
        Start({""});
        buffer.SetHistoryLimit(4);
        std::string text;
        for (int size : c.groupSizes) {
            buffer.OpenUndoGroup(false);
            for (int record = 0; record < size; ++record) {
                char letter[] = {static_cast<char>('a' + text.size()), '\0'};
                Append(letter);
                text += letter;
            }
            buffer.CloseUndoGroup(nullptr);
        }
        const std::string beforeLast = text;
        Append("!");
        EXPECT_EQ(buffer.HistorySize(), c.remaining);
        EXPECT_EQ(buffer.HistoryPosition(), c.remaining);
        EXPECT_TRUE(buffer.HistoryRecord(0).StartsGroup());
        EXPECT_EQ(LinesOf(buffer), Lines{beforeLast + "!"});

        // Undoing everything left reaches the text after the discarded group, not the start.
        while (buffer.CanStepBack())
            Undo();
        EXPECT_EQ(LinesOf(buffer), Lines{beforeLast.substr(0, c.groupSizes.front())});
        EXPECT_TRUE(buffer.IsModified());
    }
}

TEST_F(UndoHistory, DiscardingTheOldestGroupMovesOrDropsTheSavedPosition) {
    struct Case {
        int storeAfterGroup;  // 0: never stored, the starting text counts as saved
        int savedPosition;    // after the oldest group of three records went
    };
    for (Case c : {Case{0, -1}, Case{1, 0}, Case{2, 1}}) {
        SCOPED_TRACE("stored after group " + std::to_string(c.storeAfterGroup));
        Start({""});
        buffer.SetHistoryLimit(4);
        buffer.OpenUndoGroup(false);
        Append("a");
        Append("b");
        Append("c");
        buffer.CloseUndoGroup(nullptr);
        if (c.storeAfterGroup == 1) {
            ASSERT_TRUE(Store());
        }
        Append("d");
        if (c.storeAfterGroup == 2) {
            ASSERT_TRUE(Store());
        }
        const Lines stored = c.storeAfterGroup == 0   ? Lines{""}
                             : c.storeAfterGroup == 1 ? Lines{"abc"}
                                                      : Lines{"abcd"};
        Append("e");
        ASSERT_EQ(buffer.HistorySize(), 2);
        EXPECT_EQ(buffer.SavedPosition(), c.savedPosition);

        for (int position = 2; position >= 0; --position) {
            if (position < 2)
                Undo();
            EXPECT_EQ(buffer.IsModified(), LinesOf(buffer) != stored) << "at " << position;
        }
    }
}

TEST_F(UndoHistory, OneGroupLargerThanTheHistoryStillUndoesToAStop) {
    buffer.SetHistoryLimit(4);
    buffer.OpenUndoGroup(false);
    for (const char* letter : {"1", "2", "3", "4", "5", "6"})
        Append(letter);
    buffer.CloseUndoGroup(nullptr);
    EXPECT_EQ(buffer.HistorySize(), 4);
    EXPECT_THAT(GroupStarts(), ElementsAre(0));

    Undo();
    EXPECT_EQ(LinesOf(buffer), Lines{"12"});
    EXPECT_FALSE(buffer.CanStepBack());
    Redo();
    EXPECT_EQ(LinesOf(buffer), Lines{"123456"});
}

// --- Lines holding CR bytes, as loading can leave them

TEST_F(UndoHistory, UndoingADeletionRestoresLinesHoldingCRExactly) {
    struct Case {
        const char* name;
        std::string file;
        LineEndingStyle style;
        Lines loaded;
        TextPosition start, end;
    };
    const Case cases[] = {
        {"lines ending in CR",
         "a\r\nb\r\nc",
         LineEndingStyle::Unix,
         {"a\r", "b\r", "c"},
         {0, 0},
         {1, 2}},
        {"only a trailing CR and its break",
         "a\r\nb\r\nc",
         LineEndingStyle::Unix,
         {"a\r", "b\r", "c"},
         {1, 0},
         {0, 1}},
        {"CR inside one line", "a\rb\nc", LineEndingStyle::Unix, {"a\rb", "c"}, {0, 0}, {3, 0}},
        {"CR inside a line across a break",
         "x\ry\nz",
         LineEndingStyle::Unix,
         {"x\ry", "z"},
         {0, 0},
         {1, 1}},
        {"CR LF inside a line",
         "a\r\r\nb\r\nc",
         LineEndingStyle::Win,
         {"a\r\r\nb", "c"},
         {0, 0},
         {1, 1}},
        {"range starting at the CR LF inside a line",
         "a\r\r\nb\r\nc",
         LineEndingStyle::Win,
         {"a\r\r\nb", "c"},
         {2, 0},
         {0, 1}},
        {"CR LF inside a middle line",
         "p\r\nq\r\r\nr\r\ns",
         LineEndingStyle::Win,
         {"p", "q\r\r\nr", "s"},
         {0, 0},
         {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        buffer.Clear();
        const std::string path = folder.File("loaded.cir");
        WriteBytes(path, c.file);
        ASSERT_TRUE(buffer.LoadFile(path.c_str(), c.style));
        ASSERT_EQ(LinesOf(buffer), c.loaded);
        ASSERT_TRUE(buffer.DeleteRange(nullptr, c.start.y, c.start.x, c.end.y, c.end.x,
                                       EditAction::Delete));
        const Lines deleted = LinesOf(buffer);

        EXPECT_EQ(Undo(), c.end);
        EXPECT_EQ(LinesOf(buffer), c.loaded);
        EXPECT_FALSE(buffer.IsModified());
        EXPECT_EQ(Redo(), c.start);
        EXPECT_EQ(LinesOf(buffer), deleted);
        Undo();
        EXPECT_EQ(LinesOf(buffer), c.loaded);
    }
}

namespace {

// Undo and redo tell the views of every record they revert or re-apply, with no source view.
TEST_F(UndoHistory, UndoAndRedoNotifyOncePerRecordWithoutASourceView) {
    Start({"abc", "def"});
    buffer.OpenUndoGroup(false);
    Insert({1, 0}, "x", EditAction::Paste, &view);
    buffer.DeleteRange(&view, 0, 2, 1, 1, EditAction::Delete);
    buffer.CloseUndoGroup(&view);
    using kivra_test::Notification;
    const unsigned oneLine = OneLineOnly | LengthsChanged;
    const unsigned lineCount = LengthsChanged | LineCountChanged;

    view.notifications.clear();
    Undo();
    EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, true, lineCount, 0},
                                                Notification{nullptr, true, oneLine, 0}));
    view.notifications.clear();
    Redo();
    EXPECT_THAT(view.notifications, ElementsAre(Notification{nullptr, true, oneLine, 0},
                                                Notification{nullptr, true, lineCount, 0}));
}

}  // namespace
