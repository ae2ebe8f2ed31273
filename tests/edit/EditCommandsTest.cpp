// The edit view's commands from their keys: Delete, Backspace, Tab and Shift+Tab, overwrite, undo
// and redo with their menu labels, the status indicators, and refusal over a read-only text.

#include "EditCommandHarness.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

// --- Delete and Backspace

struct DeleteCase {
    const char* name;
    const char* text;
    TextPosition anchor;
    TextPosition caret;
    std::vector<std::string> lines;
    TextPosition caretAfter;
    // The action recorded, or Unknown when nothing may be recorded.
    EditAction action;
};

void PrintTo(const DeleteCase& c, std::ostream* out) {
    *out << c.name;
}

class DeleteKeyTest : public EditViewTest, public ::testing::WithParamInterface<DeleteCase> {
protected:
    void Check(Qt::Key key) {
        const DeleteCase& c = GetParam();
        Load(c.text);
        Place(c.anchor, c.caret);
        Key(key);
        EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
        EXPECT_EQ(view.CaretPosition(), c.caretAfter);
        EXPECT_FALSE(view.HasSelection());
        EXPECT_EQ(view.Anchor(), c.caretAfter);
        if (c.action == EditAction::Unknown) {
            EXPECT_EQ(buffer->HistorySize(), 0);
            EXPECT_FALSE(buffer->IsModified());
        } else {
            ASSERT_EQ(buffer->HistorySize(), 1);
            EXPECT_EQ(buffer->HistoryRecord(0).action, c.action);
        }
    }
};

class DeleteTest : public DeleteKeyTest {};
class BackspaceTest : public DeleteKeyTest {};

TEST_P(DeleteTest, DeletesRightOfTheCaretOrTheSelection) {
    Check(Qt::Key_Delete);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Delete, DeleteTest,
    ::testing::Values(
        DeleteCase{"one_character", "abc", {1, 0}, {1, 0}, {"ac"}, {1, 0}, EditAction::Delete},
        DeleteCase{"line_end_joins", "ab\r\ncd", {2, 0}, {2, 0}, {"abcd"}, {2, 0},
                   EditAction::Delete},
        DeleteCase{"empty_line_joins", "\r\ncd", {0, 0}, {0, 0}, {"cd"}, {0, 0},
                   EditAction::Delete},
        DeleteCase{"end_of_text_does_nothing", "ab\r\ncd", {2, 1}, {2, 1}, {"ab", "cd"}, {2, 1},
                   EditAction::Unknown},
        DeleteCase{"empty_text_does_nothing", "", {0, 0}, {0, 0}, {""}, {0, 0},
                   EditAction::Unknown},
        DeleteCase{"selection_across_lines", "abc\r\ndef\r\nghi", {1, 2}, {2, 0}, {"abhi"}, {2, 0},
                   EditAction::Delete}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_P(BackspaceTest, DeletesLeftOfTheCaretOrTheSelection) {
    Check(Qt::Key_Backspace);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Backspace, BackspaceTest,
    ::testing::Values(
        DeleteCase{"one_character", "abc", {2, 0}, {2, 0}, {"ac"}, {1, 0}, EditAction::Backspace},
        DeleteCase{"line_start_joins", "ab\r\ncd", {0, 1}, {0, 1}, {"abcd"}, {2, 0},
                   EditAction::Backspace},
        DeleteCase{"start_of_text_does_nothing", "ab\r\ncd", {0, 0}, {0, 0}, {"ab", "cd"},
                   {0, 0}, EditAction::Unknown},
        // With a selection Backspace is Delete, recorded as such.
        DeleteCase{"selection_is_deleted", "abc\r\ndef", {1, 0}, {2, 1}, {"af"}, {1, 0},
                   EditAction::Delete},
        DeleteCase{"selection_at_the_start_of_the_text", "abc", {2, 0}, {0, 0}, {"c"}, {0, 0},
                   EditAction::Delete}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, EachDeletionIsAnUndoStepOfItsOwn) {
    Load("abcd");
    Place({2, 0});
    Key(Qt::Key_Delete);
    Key(Qt::Key_Delete);
    ASSERT_THAT(Lines(), ElementsAre("ab"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("abd"));
}

// --- Tab: block indent, overwrite move, plain tab

TEST_F(EditViewTest, TabIndentsTheSelectedLinesAndKeepsThemSelected) {
    Load("l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6\r\nl7");
    Place({2, 3}, {0, 6});
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre("l0", "l1", "l2", "\tl3", "\tl4", "\tl5", "l6", "l7"));
    EXPECT_EQ(OrderedStart(), (TextPosition{0, 3}));
    EXPECT_EQ(OrderedEnd(), (TextPosition{0, 6}));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 6}));
    for (int i = 0; i < buffer->HistorySize(); ++i)
        EXPECT_EQ(buffer->HistoryRecord(i).action, EditAction::Indent);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("l0", "l1", "l2", "l3", "l4", "l5", "l6", "l7"));
    EXPECT_FALSE(buffer->CanStepBack());
}

struct BlockCase {
    const char* name;
    TextPosition anchor;
    TextPosition caret;
    std::vector<std::string> lines;
    TextPosition start;
    TextPosition end;
};

void PrintTo(const BlockCase& c, std::ostream* out) {
    *out << c.name;
}

class BlockIndentTest : public EditViewTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockIndentTest, SelectionGrowsToWholeLines) {
    const BlockCase& c = GetParam();
    Load("aa\r\nbb\r\ncc");
    Place(c.anchor, c.caret);
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
    EXPECT_EQ(OrderedStart(), c.start);
    EXPECT_EQ(OrderedEnd(), c.end);
    EXPECT_EQ(view.CaretPosition(), c.end);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tab, BlockIndentTest,
    ::testing::Values(
        // An end inside a line takes that line and moves to the start of the next.
        BlockCase{"end_inside_a_line", {1, 0}, {1, 1}, {"\taa", "\tbb", "cc"}, {0, 0}, {0, 2}},
        // Selected bottom to top: the same lines, the caret at the lower end.
        BlockCase{"selected_upwards", {1, 1}, {1, 0}, {"\taa", "\tbb", "cc"}, {0, 0}, {0, 2}},
        // On the last line the end goes to the end of the line, after its tab.
        BlockCase{"end_on_the_last_line", {1, 1}, {1, 2}, {"aa", "\tbb", "\tcc"}, {0, 1},
                  {3, 2}},
        BlockCase{"end_at_column_0_of_the_next_line", {0, 0}, {0, 1}, {"\taa", "bb", "cc"},
                  {0, 0}, {0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, TabReplacesASelectionInsideOneLineByATab) {
    Load("abcd");
    Place({1, 0}, {3, 0});
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre("a\td"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));
    EXPECT_FALSE(view.HasSelection());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("abcd"));
}

TEST_F(EditViewTest, TabInsertsATabCharacterNotSpaces) {
    Load("ab");
    Place({1, 0});
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre("a\tb"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));
    ASSERT_EQ(buffer->HistorySize(), 1);
    EXPECT_EQ(buffer->HistoryRecord(0).action, EditAction::Typing);
}

struct CaretMoveCase {
    const char* name;
    const char* text;
    int caret;
    int caretAfter;
};

void PrintTo(const CaretMoveCase& c, std::ostream* out) {
    *out << c.name;
}

class OverwriteTabTest : public EditViewTest,
                         public ::testing::WithParamInterface<CaretMoveCase> {};

TEST_P(OverwriteTabTest, MovesToTheNextTabStopWithoutChange) {
    const CaretMoveCase& c = GetParam();
    Load(c.text);
    Place({c.caret, 0});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre(c.text));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{c.caretAfter, 0}));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Overwrite, OverwriteTabTest,
    ::testing::Values(CaretMoveCase{"from_column_1", "abcdefghij", 1, 4},
                      CaretMoveCase{"from_a_stop", "abcdefghij", 4, 8},
                      CaretMoveCase{"stops_at_the_line_end", "abcdef", 5, 6},
                      // Just after the first tab passed over, which already reaches the stop.
                      CaretMoveCase{"stops_after_a_tab", "a\tbcdefgh", 0, 2},
                      CaretMoveCase{"from_a_tab", "ab\tcdefgh", 2, 3}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, OverwriteTabWithASelectionInsideOneLineMovesTheCaretAndKeepsTheText) {
    Load("abcdefghij");
    Place({1, 0}, {3, 0});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre("abcdefghij"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 0}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(buffer->HistorySize(), 0);
}

TEST_F(EditViewTest, OverwriteTabAtTheLineEndInsertsATab) {
    Load("ab");
    Place({2, 0});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Tab);
    EXPECT_THAT(Lines(), ElementsAre("ab\t"));
}

// --- Shift+Tab: block unindent, caret back-tab

TEST_F(EditViewTest, ShiftTabRemovesOneIndentFromEachSelectedLine) {
    Load("  \tx\r\n      y\r\nz\r\n\t\tw\r\n    \tv\r\n\r\n \t \tu\r\nend");
    Place({1, 0}, {0, 7});
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    // Two spaces and a tab; four spaces; nothing; one tab; four spaces but not the tab after
    // them; an empty line; a space and the tab that follows it.
    EXPECT_THAT(Lines(), ElementsAre("x", "  y", "z", "\tw", "\tv", "", " \tu", "end"));
    EXPECT_EQ(OrderedStart(), (TextPosition{0, 0}));
    EXPECT_EQ(OrderedEnd(), (TextPosition{0, 7}));
    for (int i = 0; i < buffer->HistorySize(); ++i)
        EXPECT_EQ(buffer->HistoryRecord(i).action, EditAction::Indent);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(),
                ElementsAre("  \tx", "      y", "z", "\t\tw", "    \tv", "", " \t \tu", "end"));
    EXPECT_FALSE(buffer->CanStepBack());
}

TEST_F(EditViewTest, ShiftTabWithTheBlockEndingOnTheLastLineUnindentsIt) {
    Load("\ta\r\n\tb");
    Place({0, 0}, {1, 1});
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_THAT(Lines(), ElementsAre("a", "b"));
    EXPECT_EQ(OrderedStart(), (TextPosition{0, 0}));
    EXPECT_EQ(OrderedEnd(), (TextPosition{1, 1}));
}

class BackTabTest : public EditViewTest, public ::testing::WithParamInterface<CaretMoveCase> {};

TEST_P(BackTabTest, MovesTheCaretBackToATabStopWithoutChange) {
    const CaretMoveCase& c = GetParam();
    Load(c.text);
    Place({c.caret, 0});
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_THAT(Lines(), ElementsAre(c.text));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{c.caretAfter, 0}));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ShiftTab, BackTabTest,
    ::testing::Values(CaretMoveCase{"from_column_8", "abcdefghij", 8, 4},
                      CaretMoveCase{"from_column_6", "abcdefghij", 6, 4},
                      CaretMoveCase{"from_column_4", "abcdefghij", 4, 0},
                      CaretMoveCase{"from_column_1", "abcdefghij", 1, 0},
                      CaretMoveCase{"at_column_0", "abcdefghij", 0, 0},
                      // Display columns, not characters: the tab spans columns 0 to 3.
                      CaretMoveCase{"after_a_leading_tab", "\tabcd", 3, 1},
                      CaretMoveCase{"onto_a_tab_end", "ab\tcdef", 4, 3},
                      CaretMoveCase{"over_a_tab_to_0", "ab\tcdef", 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, BackTabCollapsesASelectionWithinOneLine) {
    Load("abcdefghij");
    Place({2, 0}, {8, 0});
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 0}));
}

// --- Overwrite, undo and redo, labels, indicators

TEST_F(EditViewTest, InsertTogglesOverwriteAndItsCheckAndIndicator) {
    Load("abc");
    EXPECT_FALSE(Checked(ID_EDIT_SWITCH_OVERWRITE));
    EXPECT_FALSE(PaneEnabled(ID_INDICATOR_OVR));
    Key(Qt::Key_Insert);
    EXPECT_TRUE(view.OverwriteMode());
    EXPECT_TRUE(Checked(ID_EDIT_SWITCH_OVERWRITE));
    EXPECT_TRUE(PaneEnabled(ID_INDICATOR_OVR));
    Key(Qt::Key_Insert);
    EXPECT_FALSE(view.OverwriteMode());
    EXPECT_FALSE(Checked(ID_EDIT_SWITCH_OVERWRITE));
    EXPECT_FALSE(PaneEnabled(ID_INDICATOR_OVR));
}

TEST_F(EditViewTest, NewTextTurnsOverwriteOff) {
    Load("abc");
    Key(Qt::Key_Insert);
    Load("def");
    EXPECT_FALSE(view.OverwriteMode());
    EXPECT_TRUE(view.AutoIndent());
}

TEST_F(EditViewTest, ReadIndicatorFollowsTheBuffer) {
    EXPECT_FALSE(PaneEnabled(ID_INDICATOR_READ));  // no buffer
    Load("abc");
    EXPECT_FALSE(PaneEnabled(ID_INDICATOR_READ));
    buffer->MakeReadOnly(true);
    EXPECT_TRUE(PaneEnabled(ID_INDICATOR_READ));
    EXPECT_FALSE(PaneEnabled(ID_INDICATOR_BLANK));
}

TEST_F(EditViewTest, UndoAndRedoLabelsReadTheSameWhetherOrNotEnabled) {
    Load("");
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "Отменить ввод");
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    EXPECT_EQ(MenuText(ID_EDIT_REDO), "Повторить ввод");

    Type("a");
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_EQ(MenuText(ID_EDIT_UNDO), "Отменить ввод");
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_EDIT_REDO));
    EXPECT_EQ(MenuText(ID_EDIT_REDO), "Повторить ввод");
}

TEST_F(EditViewTest, UndoAndRedoAreDisabledWithoutABuffer) {
    view.UnbindBuffer();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    view.OnEditUndo();
    view.OnEditRedo();
}

TEST_F(EditViewTest, AltBackspaceUndoesAndRedoPutsTheCaretAfterTheChange) {
    Load("one\r\ntwo");
    Place({3, 1});
    Type("xy");
    Place({0, 0});
    Key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_THAT(Lines(), ElementsAre("one", "two"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 1}));
    Place({0, 0});
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("one", "twoxy"));
    EXPECT_EQ(view.CaretPosition().y, 1);
    EXPECT_FALSE(view.HasSelection());
}

TEST_F(EditViewTest, CtrlBackspaceDoesNothing) {
    Load("ab cd");
    Place({5, 0});
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("ab cd"));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

// --- A read-only text refuses every editing command

struct RefusedCase {
    const char* name;
    void (*press)(QWidget*);
    // False for the cases that move the caret on purpose before the refused key.
    bool selectionKept = true;
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadOnlyTest : public EditViewTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ReadOnlyTest, CommandChangesNothingAndRecordsNothing) {
    Load("  ab\r\ncd\r\nef");
    // A history to undo, ending in a typed line break, and text on the clipboard.
    Place({4, 0});
    Key(Qt::Key_Return);
    Type("x");
    Key(Qt::Key_Return);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    buffer->MakeReadOnly(true);
    Place({1, 1}, {1, 2});
    const std::vector<std::string> before = Lines();
    const int records = buffer->HistorySize();
    const int position = buffer->HistoryPosition();

    GetParam().press(&view);

    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(buffer->HistorySize(), records);
    EXPECT_EQ(buffer->HistoryPosition(), position);
    if (GetParam().selectionKept) {
        EXPECT_EQ(view.SelectionStart(), (TextPosition{1, 1}));
        EXPECT_EQ(view.SelectionEnd(), (TextPosition{1, 2}));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 2}));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Keys, ReadOnlyTest,
    ::testing::Values(
        RefusedCase{"letter", [](QWidget* w) { QTest::keyClicks(w, QStringLiteral("q")); }},
        RefusedCase{"space", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Space); }},
        RefusedCase{"cyrillic",
                    [](QWidget* w) {
                        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown,
                                            QStringLiteral("Ж"), Qt::NoModifier);
                    }},
        RefusedCase{"enter", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }},
        RefusedCase{"delete", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Delete); }},
        RefusedCase{"backspace", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Backspace); }},
        RefusedCase{"tab", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab); }},
        RefusedCase{"shift_tab",
                    [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab, Qt::ShiftModifier); }},
        RefusedCase{"cut", [](QWidget* w) { QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier); }},
        RefusedCase{"paste",
                    [](QWidget* w) { QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier); }},
        RefusedCase{"undo",
                    [](QWidget* w) { QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier); }},
        RefusedCase{"redo",
                    [](QWidget* w) { QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier); }},
        RefusedCase{"overwrite_then_letter",
                    [](QWidget* w) {
                        QTest::keyClick(w, Qt::Key_Insert);
                        QTest::keyClick(w, Qt::Key_Left);
                        QTest::keyClicks(w, QStringLiteral("q"));
                    },
                    false},
        RefusedCase{"enter_below_an_indented_line_after_an_undone_indent",
                    [](QWidget* w) {
                        QTest::keyClick(w, Qt::Key_Up);
                        QTest::keyClick(w, Qt::Key_Return);
                    },
                    false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, CutAndPasteStayEnabledOverAReadOnlyText) {
    Load("abc");
    buffer->MakeReadOnly(true);
    Place({0, 0}, {2, 0});
    QApplication::clipboard()->setText(QStringLiteral("x"));
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("x"));
}

}  // namespace
