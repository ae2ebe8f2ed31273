// The caret keys of the text view, Select All, Copy and the two status panes it fills.

#include <QClipboard>

#include "TextViewHarness.h"

namespace {

using CaretKeys = TextViewTest;

// One key press from a given caret and selection.
struct KeyCase {
    const char* name;
    const char* text;
    TextPosition anchor;
    TextPosition caret;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    TextPosition expectedCaret;
    TextPosition expectedStart;  // selection as last set: the anchor end first
    TextPosition expectedEnd;
};

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier;
const Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

class CaretKeyTable : public CaretKeys {
protected:
    void Check(const std::vector<KeyCase>& cases) {
        for (const KeyCase& each : cases) {
            SCOPED_TRACE(each.name);
            Load(each.text);
            Place(each.anchor, each.caret);
            Key(each.key, each.modifiers);
            EXPECT_EQ(view.CaretPosition(), each.expectedCaret);
            EXPECT_EQ(view.SelectionStart(), each.expectedStart);
            EXPECT_EQ(view.SelectionEnd(), each.expectedEnd);
        }
    }
};

TEST_F(CaretKeyTable, CharacterSteps) {
    // clang-format off
    Check({
        {"Left at the text start stays", "ab\r\ncd", {0, 0}, {0, 0}, Qt::Key_Left, kNone, {0, 0},
         {0, 0}, {0, 0}},
        {"Right at the text end stays", "ab\r\ncd", {2, 1}, {2, 1}, Qt::Key_Right, kNone, {2, 1},
         {2, 1}, {2, 1}},
        {"Left at the text start collapses a selection", "ab\r\ncd", {2, 0}, {0, 0}, Qt::Key_Left,
         kNone, {0, 0}, {0, 0}, {0, 0}},
        {"Right at the text end collapses a selection", "ab\r\ncd", {0, 1}, {2, 1}, Qt::Key_Right,
         kNone, {2, 1}, {2, 1}, {2, 1}},
        {"Left with a selection goes to its start", "ab\r\ncd", {0, 0}, {2, 1}, Qt::Key_Left, kNone,
         {0, 0}, {0, 0}, {0, 0}},
        {"Right with a backward selection goes to its end", "ab\r\ncd", {2, 1}, {0, 0},
         Qt::Key_Right, kNone, {2, 1}, {2, 1}, {2, 1}},
        {"Left at a line start goes to the end of the line above", "ab\r\ncd", {0, 1}, {0, 1},
         Qt::Key_Left, kNone, {2, 0}, {2, 0}, {2, 0}},
        {"Right at a line end goes to the start of the line below", "ab\r\ncd", {2, 0}, {2, 0},
         Qt::Key_Right, kNone, {0, 1}, {0, 1}, {0, 1}},
        {"Shift+Left at the text start keeps the selection", "ab\r\ncd", {2, 0}, {0, 0},
         Qt::Key_Left, kShift, {0, 0}, {2, 0}, {0, 0}},
        {"Shift+Left extends from the anchor", "ab\r\ncd", {1, 1}, {1, 1}, Qt::Key_Left, kShift,
         {0, 1}, {1, 1}, {0, 1}},
        {"Shift+Right past the line end extends over the break", "ab\r\ncd", {1, 0}, {2, 0},
         Qt::Key_Right, kShift, {0, 1}, {1, 0}, {0, 1}},
        {"Shift+Left back to the anchor empties the selection", "abcd", {2, 0}, {3, 0},
         Qt::Key_Left, kShift, {2, 0}, {2, 0}, {2, 0}},
    });
    // clang-format on
}

TEST_F(CaretKeyTable, WordSteps) {
    // clang-format off
    Check({
        {"Ctrl+Left from the end to the last word", "abc def", {7, 0}, {7, 0}, Qt::Key_Left, kCtrl,
         {4, 0}, {4, 0}, {4, 0}},
        {"Ctrl+Left over a blank to the first word", "abc def", {4, 0}, {4, 0}, Qt::Key_Left, kCtrl,
         {0, 0}, {0, 0}, {0, 0}},
        {"Ctrl+Right over a word and a blank", "abc def", {0, 0}, {0, 0}, Qt::Key_Right, kCtrl,
         {4, 0}, {4, 0}, {4, 0}},
        {"Ctrl+Right over the last word to the end", "abc def", {4, 0}, {4, 0}, Qt::Key_Right,
         kCtrl, {7, 0}, {7, 0}, {7, 0}},
        {"Ctrl+Right over a comma and a blank", "a, b", {1, 0}, {1, 0}, Qt::Key_Right, kCtrl,
         {3, 0}, {3, 0}, {3, 0}},
        {"Ctrl+Left over a blank and a comma", "a, b", {3, 0}, {3, 0}, Qt::Key_Left, kCtrl, {1, 0},
         {1, 0}, {1, 0}},
        {"Ctrl+Right over a run of punctuation", "a+=b", {1, 0}, {1, 0}, Qt::Key_Right, kCtrl,
         {3, 0}, {3, 0}, {3, 0}},
        {"Cyrillic letters are punctuation to Ctrl+Right", "ab\xC0\xC1\xE0z", {0, 0}, {0, 0},
         Qt::Key_Right, kCtrl, {2, 0}, {2, 0}, {2, 0}},
        {"Ctrl+Right over Cyrillic stops at a Latin letter", "ab\xC0\xC1\xE0z", {2, 0}, {2, 0},
         Qt::Key_Right, kCtrl, {5, 0}, {5, 0}, {5, 0}},
        {"Ctrl+Left over Cyrillic", "ab\xC0\xC1\xE0z", {5, 0}, {5, 0}, Qt::Key_Left, kCtrl, {2, 0},
         {2, 0}, {2, 0}},
        {"a tab is white space", "\tabc", {0, 0}, {0, 0}, Qt::Key_Right, kCtrl, {1, 0}, {1, 0},
         {1, 0}},
        {"Ctrl+Right steps over one empty line", "line\r\n\r\nx", {4, 0}, {4, 0}, Qt::Key_Right,
         kCtrl, {0, 2}, {0, 2}, {0, 2}},
        {"Ctrl+Right at a line end goes on over the next line's first word", "ab\r\ncd ef", {2, 0},
         {2, 0}, Qt::Key_Right, kCtrl, {3, 1}, {3, 1}, {3, 1}},
        {"Ctrl+Left at a line start goes into the line above", "abc def\r\nx", {0, 1}, {0, 1},
         Qt::Key_Left, kCtrl, {4, 0}, {4, 0}, {4, 0}},
        {"Ctrl+Left at the text start does nothing", "abc", {0, 0}, {0, 0}, Qt::Key_Left, kCtrl,
         {0, 0}, {0, 0}, {0, 0}},
        {"Ctrl+Shift+Left at the text start keeps the selection", "abc", {3, 0}, {0, 0},
         Qt::Key_Left, kCtrlShift, {0, 0}, {3, 0}, {0, 0}},
        {"Ctrl+Shift+Right at the text end keeps the selection", "abc", {1, 0}, {3, 0},
         Qt::Key_Right, kCtrlShift, {3, 0}, {1, 0}, {3, 0}},
        {"Ctrl+Right with a selection only collapses it to its end", "abc def", {0, 0}, {2, 0},
         Qt::Key_Right, kCtrl, {2, 0}, {2, 0}, {2, 0}},
        {"Ctrl+Left with a selection only collapses it to its start", "abc def", {6, 0}, {5, 0},
         Qt::Key_Left, kCtrl, {5, 0}, {5, 0}, {5, 0}},
        {"Ctrl+Shift+Right extends by a word", "abc def", {0, 0}, {4, 0}, Qt::Key_Right, kCtrlShift,
         {7, 0}, {0, 0}, {7, 0}},
    });
    // clang-format on
}

TEST_F(CaretKeyTable, LineSteps) {
    // clang-format off
    Check({
        {"Up on the first line stays", "abc\r\ndef", {1, 0}, {1, 0}, Qt::Key_Up, kNone, {1, 0},
         {1, 0}, {1, 0}},
        {"Down on the last line stays", "abc\r\ndef", {1, 1}, {1, 1}, Qt::Key_Down, kNone, {1, 1},
         {1, 1}, {1, 1}},
        {"Down with a selection starts from its end", "abc\r\ndef\r\nghi", {2, 1}, {2, 0},
         Qt::Key_Down, kNone, {2, 2}, {2, 2}, {2, 2}},
        {"Up with a selection starts from its start", "abc\r\ndef\r\nghi", {2, 1}, {2, 2},
         Qt::Key_Up, kNone, {2, 0}, {2, 0}, {2, 0}},
        {"Shift+Down extends from the anchor", "abc\r\ndef\r\nghi", {1, 0}, {2, 0}, Qt::Key_Down,
         kShift, {2, 1}, {1, 0}, {2, 1}},
        {"Down into a shorter line stops at its end", "abcdef\r\nab", {5, 0}, {5, 0}, Qt::Key_Down,
         kNone, {2, 1}, {2, 1}, {2, 1}},
    });
    // clang-format on
}

TEST_F(CaretKeyTable, HomeAndEnd) {
    // clang-format off
    Check({
        {"Home at the first non-blank goes to the line start", "    x", {4, 0}, {4, 0},
         Qt::Key_Home, kNone, {0, 0}, {0, 0}, {0, 0}},
        {"Home at the line start goes to the first non-blank", "    x", {0, 0}, {0, 0},
         Qt::Key_Home, kNone, {4, 0}, {4, 0}, {4, 0}},
        {"Home after the first non-blank goes to it", "    x", {5, 0}, {5, 0}, Qt::Key_Home, kNone,
         {4, 0}, {4, 0}, {4, 0}},
        {"Home inside the indent goes to the first non-blank", "    x", {2, 0}, {2, 0},
         Qt::Key_Home, kNone, {4, 0}, {4, 0}, {4, 0}},
        {"a tab indents", "\tx", {2, 0}, {2, 0}, Qt::Key_Home, kNone, {1, 0}, {1, 0}, {1, 0}},
        {"Home on a blank line goes to its start", "   ", {3, 0}, {3, 0}, Qt::Key_Home, kNone,
         {0, 0}, {0, 0}, {0, 0}},
        {"Home on a blank line at its start stays", "   ", {0, 0}, {0, 0}, Qt::Key_Home, kNone,
         {0, 0}, {0, 0}, {0, 0}},
        {"Home on an empty line", "ab\r\n", {0, 1}, {0, 1}, Qt::Key_Home, kNone, {0, 1}, {0, 1},
         {0, 1}},
        {"Shift+Home extends from the anchor", "    x", {5, 0}, {5, 0}, Qt::Key_Home, kShift,
         {4, 0}, {5, 0}, {4, 0}},
        {"End goes to the line's length", "abc\r\nde", {1, 0}, {1, 0}, Qt::Key_End, kNone, {3, 0},
         {3, 0}, {3, 0}},
        {"Shift+End extends from the anchor", "abc\r\nde", {1, 0}, {1, 0}, Qt::Key_End, kShift,
         {3, 0}, {1, 0}, {3, 0}},
        {"Ctrl+Home", "ab\r\ncd", {1, 1}, {1, 1}, Qt::Key_Home, kCtrl, {0, 0}, {0, 0}, {0, 0}},
        {"Ctrl+End", "ab\r\ncd", {1, 0}, {1, 0}, Qt::Key_End, kCtrl, {2, 1}, {2, 1}, {2, 1}},
        {"Ctrl+Shift+Home extends to the text start", "ab\r\ncd", {1, 1}, {1, 1}, Qt::Key_Home,
         kCtrlShift, {0, 0}, {1, 1}, {0, 0}},
        {"Ctrl+Shift+End extends to the text end", "ab\r\ncd", {1, 0}, {1, 0}, Qt::Key_End,
         kCtrlShift, {2, 1}, {1, 0}, {2, 1}},
    });
    // clang-format on
}

TEST_F(CaretKeys, VerticalStepsKeepTheIdealColumnThroughShortLines) {
    // Line 3 reaches screen column 10 at index 4: two tabs of width 4, then two letters.
    Load("0123456789abcdef\r\nabc\r\n0123456789abcdef\r\n\t\tabcdefghij");
    Key(Qt::Key_Right, kNone, 10);
    const TextPosition path[] = {{3, 1}, {10, 2}, {4, 3}};
    for (TextPosition expected : path) {
        Key(Qt::Key_Down);
        EXPECT_EQ(view.CaretPosition(), expected);
    }
    const TextPosition back[] = {{10, 2}, {3, 1}, {10, 0}};
    for (TextPosition expected : back) {
        Key(Qt::Key_Up);
        EXPECT_EQ(view.CaretPosition(), expected);
    }
}

TEST_F(CaretKeys, HorizontalStepSetsANewIdealColumn) {
    Load("0123456789\r\nabc\r\n0123456789");
    Key(Qt::Key_Right, kNone, 8);
    Key(Qt::Key_Down);  // (3, 1)
    Key(Qt::Key_Left);  // (2, 1): column 2 from now on
    Key(Qt::Key_Down);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 2}));
}

class CaretPaging : public CaretKeys {
protected:
    void SetUp() override {
        CaretKeys::SetUp();
        Load(NumberedLines(100));
        page = view.VisibleLineCount();
        ASSERT_GT(page, 3);
    }
    int page = 0;
};

TEST_F(CaretPaging, PageDownMovesViewAndCaretByOneLessThanAPage) {
    Place({5, 2});
    Key(Qt::Key_PageDown);
    EXPECT_EQ(view.TopLine(), page - 1);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{5, 2 + page - 1}));
    EXPECT_FALSE(view.HasSelection());
}

TEST_F(CaretPaging, PageUpMovesViewAndCaretBack) {
    Place({5, 2});
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(view.TopLine(), 0);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{5, 2}));
}

TEST_F(CaretPaging, PageUpAtTheTopMovesTheCaretToTheFirstLine) {
    Place({6, 2});
    Key(Qt::Key_PageUp);
    EXPECT_EQ(view.TopLine(), 0);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{6, 0}));
}

TEST_F(CaretPaging, PageDownStopsAtTheLastLine) {
    Place({6, 97});
    Key(Qt::Key_PageDown);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{6, 99}));
}

TEST_F(CaretPaging, PageDownKeepsTheIndexNotBeyondTheLineLength) {
    Load("a long first line\r\n" + NumberedLines(99));
    Place({15, 0});
    Key(Qt::Key_PageDown);
    // Line page - 1 is "line NN" (6 or 7 characters).
    int line = page - 1;
    EXPECT_EQ(view.CaretPosition(), (TextPosition{view.LineLength(line), line}));
}

TEST_F(CaretPaging, ShiftPageDownExtendsFromTheAnchor) {
    Place({1, 0});
    Key(Qt::Key_PageDown, kShift);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{1, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{1, page - 1}));
}

TEST_F(CaretPaging, CtrlDownAndUpScrollWithoutMovingTheCaret) {
    Place({2, 3}, {4, 3});
    Key(Qt::Key_Down, kCtrl, 2);
    EXPECT_EQ(view.TopLine(), 2);
    Key(Qt::Key_Up, kCtrl);
    EXPECT_EQ(view.TopLine(), 1);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 3}));
    EXPECT_EQ(view.SelectionStart(), (TextPosition{2, 3}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{4, 3}));
}

TEST_F(CaretPaging, CtrlEndScrollsTheLastLineIntoView) {
    Key(Qt::Key_End, kCtrl);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{7, 99}));
    EXPECT_EQ(view.TopLine(), 100 - page);
    Key(Qt::Key_Home, kCtrl);
    EXPECT_EQ(view.TopLine(), 0);
}

TEST_F(CaretPaging, SelectAllNeitherScrollsNorMovesTheAnchor) {
    Place({3, 5});
    Key(Qt::Key_A, kCtrl);
    EXPECT_EQ(view.TopLine(), 0);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{0, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{7, 99}));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{7, 99}));
    EXPECT_EQ(view.Anchor(), (TextPosition{3, 5}));
}

TEST_F(CaretKeys, SelectAllThenCopyPutsUtf8TextWithLineFeedsOnTheClipboard) {
    Load("R1 in out 1k\r\n\xC0\xC1\xC2 \xFF\r\n.end");
    QApplication::clipboard()->setText(QStringLiteral("before"));
    Key(Qt::Key_A, kCtrl);
    EXPECT_TRUE(Enabled(ID_EDIT_COPY));
    Key(Qt::Key_C, kCtrl);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("R1 in out 1k\nАБВ я\n.end"));
}

TEST_F(CaretKeys, CtrlInsertCopiesThePartSelected) {
    Load("abc def\r\nghi");
    Place({4, 0}, {2, 1});
    Key(Qt::Key_Insert, kCtrl);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("def\ngh"));
}

TEST_F(CaretKeys, CopyIsDisabledAndLeavesTheClipboardWithoutASelection) {
    Load("abc");
    Place({1, 0});
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    Key(Qt::Key_C, kCtrl);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(CaretKeys, SelectAllOfAnEmptyTextLeavesCopyDisabled) {
    Load("");
    EXPECT_TRUE(Enabled(ID_EDIT_SELECT_ALL));
    Key(Qt::Key_A, kCtrl);
    EXPECT_FALSE(view.HasSelection());
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
}

TEST_F(CaretKeys, PositionPaneCountsCharactersFromOne) {
    Load("\tx\r\nsecond");
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 1, Col 1");
    Key(Qt::Key_Right, kNone, 2);  // past the tab (4 columns wide) and one letter
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 1, Col 3");
    Key(Qt::Key_End, kCtrl);
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 2, Col 7");
}

TEST_F(CaretKeys, LineEndingPaneNamesTheBuffersStyle) {
    const std::pair<LineEndingStyle, std::string> cases[] = {
        {LineEndingStyle::Win, "Win"},
        {LineEndingStyle::Unix, "UNIX"},
        {LineEndingStyle::Mac, "MAC"},
    };
    for (const auto& [style, text] : cases) {
        SCOPED_TRACE(text);
        Load("x", style);
        CCmdUI ui(ID_INDICATOR_LINE_ENDING);
        EXPECT_TRUE(view.RouteUpdateCommandUI(ui, false));
        EXPECT_EQ(ui.Text(), text);
        EXPECT_TRUE(ui.IsEnabled());
    }
}

TEST_F(CaretKeys, LineEndingPaneIsEmptyAndDisabledWithoutABuffer) {
    view.UnbindBuffer();
    CCmdUI ui(ID_INDICATOR_LINE_ENDING);
    EXPECT_TRUE(view.RouteUpdateCommandUI(ui, false));
    EXPECT_EQ(ui.Text(), "");
    EXPECT_FALSE(ui.IsEnabled());
}

TEST_F(CaretKeys, EveryCaretKeyIsHarmlessWithoutABuffer) {
    view.UnbindBuffer();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Left, kNone},     {Qt::Key_Right, kNone},    {Qt::Key_Left, kCtrl},
        {Qt::Key_Right, kCtrl},    {Qt::Key_Up, kNone},       {Qt::Key_Down, kNone},
        {Qt::Key_Up, kCtrl},       {Qt::Key_Down, kCtrl},     {Qt::Key_PageUp, kNone},
        {Qt::Key_PageDown, kNone}, {Qt::Key_Home, kNone},     {Qt::Key_End, kNone},
        {Qt::Key_Home, kCtrl},     {Qt::Key_End, kCtrlShift}, {Qt::Key_A, kCtrl},
        {Qt::Key_C, kCtrl},
    };
    for (const auto& [key, modifiers] : keys)
        Key(key, modifiers);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 0}));
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 1, Col 1");
}

}  // namespace
