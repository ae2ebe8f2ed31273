// The text view's geometry: columns with tabs, points and positions, scrolling and the scroll
// bars, the caches and how they follow changes of the buffer.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EventLoop.h"
#include "ViewPaintSupport.h"

namespace viewtest {
namespace {

using LayoutTest = ViewTest;

// --- Columns

TEST_F(LayoutTest, ColumnOfCharExpandsTabsToTheNextStop) {
    Bind({"title", "a\tb", "\t\tx", "abcd\te", "abc\td", ""});
    struct Case {
        int line;
        int index;
        int column;
    };
    const Case cases[] = {
        {1, 0, 0}, {1, 1, 1}, {1, 2, 4}, {1, 3, 5},  // a, tab, b: b at 4, 5 columns in all
        {2, 1, 4}, {2, 2, 8}, {2, 3, 9},             // two tabs from the start
        {3, 4, 4}, {3, 5, 8}, {3, 6, 9},             // a tab at a stop is 4 wide
        {4, 3, 3}, {4, 4, 4},                        // a tab one before a stop is 1 wide
        {5, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view->ColumnOfChar(c.line, c.index), c.column)
            << "line " << c.line << " index " << c.index;
    }
    for (int line = 1; line <= 5; ++line)
        EXPECT_EQ(view->LineColumns(line), view->ColumnOfChar(line, view->LineLength(line)));
    EXPECT_EQ(view->LineColumns(1), 5);
}

TEST_F(LayoutTest, CharAtColumnRoundsATabCellToItsNearerSide) {
    Bind({"title", "a\tb", "\t\tx", "abc\td", ""});
    struct Case {
        int line;
        int column;
        int index;
    };
    const Case cases[] = {
        {1, 0, 0},
        {1, 1, 1},
        {1, 2, 1},
        {1, 3, 2},
        {1, 4, 2},
        {1, 5, 3},
        {1, 9, 3},
        {2, 1, 0},
        {2, 2, 0},
        {2, 3, 1},
        {2, 6, 1},
        {2, 7, 2},
        {2, 8, 2},
        {2, 9, 3},
        {3, 3, 3},
        {3, 4, 4},
        {3, 5, 5},  // a one-column tab is passed like a
                    // letter
        {4, 0, 0},
        {4, 5, 0},  // an empty line
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view->CharAtColumn(c.line, c.column), c.index)
            << "line " << c.line << " column " << c.column;
    }
}

// --- Points and positions

TEST_F(LayoutTest, PointToTextFindsTheCellUnderThePoint) {
    Bind({"title", "a\tb", "hello", "last"}, 6, 40);
    struct Case {
        const char* name;
        int topLine;
        int offset;
        int row;
        int cell;  // -1: the window's left edge, inside the margin
        TextPosition expected;
    };
    const Case cases[] = {
        {"LeftOfTheMargin", 0, 0, 2, -1, {0, 2}},
        {"InsideATab", 0, 0, 1, 2, {1, 1}},
        {"AfterATab", 0, 0, 1, 4, {2, 1}},
        {"JustPastTheEnd", 0, 0, 1, 5, {3, 1}},
        {"FarBeyondTheEnd", 0, 0, 2, 50, {5, 2}},
        {"BelowTheLastLine", 0, 0, 5, 1, {1, 3}},
        {"ScrolledDown", 1, 0, 0, 4, {2, 1}},
        {"ScrolledRight", 0, 2, 1, 2, {2, 1}},
        {"LeftOfTheMarginScrolledRight", 0, 2, 1, -1, {0, 1}},
    };
    for (const Case& c : cases) {
        view->ScrollToTopLine(c.topLine, true);
        view->ScrollToColumn(c.offset, true);
        int x = c.cell < 0 ? 0 : view->MarginWidth() + c.cell * view->CharWidth() + 1;
        QPoint point(x, c.row * view->LineHeight() + view->LineHeight() / 2);
        EXPECT_EQ(view->PointToText(point), c.expected) << c.name;
    }
}

TEST_F(LayoutTest, TextToPointAndPointToTextAreInverse) {
    Bind({"title", "a\tb\tcd", "\tx", "", "plain text"}, 6, 40);
    view->ScrollToTopLine(1, true);
    for (int line = 1; line < view->LineTotal(); ++line) {
        for (int index = 0; index <= view->LineLength(line); ++index) {
            QPoint point = view->TextToPoint({index, line});
            EXPECT_EQ(point.y(), (line - 1) * view->LineHeight());
            EXPECT_EQ(point.x(),
                      view->MarginWidth() + view->ColumnOfChar(line, index) * view->CharWidth());
            EXPECT_EQ(view->PointToText(point), (TextPosition{index, line}))
                << "line " << line << " index " << index;
        }
    }
}

TEST(LayoutWithoutBuffer, ShowsOneEmptyLine) {
    CCorvelTextView view;
    view.resize(300, 200);
    EXPECT_EQ(view.LineTotal(), 1);
    EXPECT_EQ(view.LineLength(0), 0);
    EXPECT_EQ(view.LineText(0), nullptr);
    EXPECT_EQ(view.WidestLineColumns(), 0);
    EXPECT_EQ(view.PointToText({250, 150}), (TextPosition{0, 0}));
}

// --- Scroll bars

TEST_F(LayoutTest, VerticalScrollBarActionsMoveTheTopLine) {
    Bind(NumberedLines(100), 10, 40);
    ASSERT_EQ(view->VisibleLineCount(), 10);
    QScrollBar* bar = OwnBar(*view, Qt::Vertical);
    ASSERT_NE(bar, nullptr);
    struct Case {
        const char* name;
        int start;
        QAbstractSlider::SliderAction action;
        int expected;
    };
    const Case cases[] = {
        {"LineDown", 20, QAbstractSlider::SliderSingleStepAdd, 21},
        {"LineUp", 20, QAbstractSlider::SliderSingleStepSub, 19},
        {"PageDownKeepsOneLine", 20, QAbstractSlider::SliderPageStepAdd, 29},
        {"PageUpKeepsOneLine", 20, QAbstractSlider::SliderPageStepSub, 11},
        {"PageUpStopsAtTheTop", 3, QAbstractSlider::SliderPageStepSub, 0},
        {"LineUpAtTheTop", 0, QAbstractSlider::SliderSingleStepSub, 0},
        {"LineDownAtTheLastLine", 99, QAbstractSlider::SliderSingleStepAdd, 99},
        {"Top", 50, QAbstractSlider::SliderToMinimum, 0},
        {"BottomLeavesOneEmptyLine", 0, QAbstractSlider::SliderToMaximum, 91},
    };
    for (const Case& c : cases) {
        view->ScrollToTopLine(c.start, true);
        bar->triggerAction(c.action);
        EXPECT_EQ(view->TopLine(), c.expected) << c.name;
    }
}

TEST_F(LayoutTest, ScrollToBottomIsLimitedToTheLastLine) {
    struct Case {
        int lines;
        int rows;
        int expected;
    };
    const Case cases[] = {
        {50, 10, 41},  // LineTotal - VisibleLineCount + 1
        {50, 1, 49},   // one row: the last line, not past it
        {5, 20, 0},    // everything fits
    };
    Bind(NumberedLines(50));
    for (const Case& c : cases) {
        FillBuffer(buffer, NumberedLines(c.lines));
        SizeForText(*view, c.rows, 40);
        ASSERT_EQ(view->VisibleLineCount(), c.rows);
        OwnBar(*view, Qt::Vertical)->triggerAction(QAbstractSlider::SliderToMaximum);
        EXPECT_EQ(view->TopLine(), c.expected) << c.lines << " lines in " << c.rows << " rows";
    }
}

TEST_F(LayoutTest, HorizontalScrollToTheRightEndLeavesOneEmptyColumn) {
    Bind({"title", std::string(100, 'x'), "short"}, 5, 30);
    ASSERT_EQ(view->VisibleColumnCount(), 30);
    OwnBar(*view, Qt::Horizontal)->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view->HorizontalOffset(), 100 - 30 + 1);
}

TEST_F(LayoutTest, GrowingTheWindowToShowAllLinesReturnsToTheTop) {
    Bind(NumberedLines(50), 10, 40);
    OwnBar(*view, Qt::Vertical)->triggerAction(QAbstractSlider::SliderToMaximum);
    ASSERT_EQ(view->TopLine(), 41);

    SizeForText(*view, 45, 40);  // taller, still not all of it
    EXPECT_EQ(view->TopLine(), 41);
    EXPECT_TRUE(OwnBar(*view, Qt::Vertical)->isEnabled());

    SizeForText(*view, 50, 40);
    EXPECT_EQ(view->TopLine(), 0);
    EXPECT_FALSE(OwnBar(*view, Qt::Vertical)->isEnabled());
}

// --- Bringing a position into view

TEST_F(LayoutTest, BringIntoViewScrollsVerticallyOnlyWhenTheLineIsOutside) {
    Bind(NumberedLines(100), 10, 40);
    struct Case {
        int line;
        int expectedTop;
    };
    const Case cases[] = {
        {35, 26},            // below: the line becomes the last visible one
        {30, 21},            // the first line below the window
        {29, 20},            // the last visible line: no scrolling
        {20, 20}, {19, 19},  // above: the line becomes the first
        {2, 2},
    };
    for (const Case& c : cases) {
        view->ScrollToTopLine(20, true);
        view->BringIntoView({0, c.line});
        EXPECT_EQ(view->TopLine(), c.expectedTop) << "line " << c.line;
        EXPECT_EQ(OwnBar(*view, Qt::Vertical)->value(),
                  std::min(view->TopLine(), OwnBar(*view, Qt::Vertical)->maximum()));
    }
}

TEST_F(LayoutTest, BringIntoViewScrollsHorizontallyOnlyWhenTheColumnIsOutside) {
    Bind({"title", std::string(200, 'x')}, 5, 20);
    ASSERT_EQ(view->VisibleColumnCount(), 20);
    struct Case {
        int index;
        int expectedOffset;
    };
    const Case cases[] = {
        {71, 51},              // right of the window
        {70, 50},              // the cell just right of the last whole column counts as visible
        {50, 50}, {49, 49},    // left of the window
        {0, 0},   {200, 180},  // the line's end
    };
    for (const Case& c : cases) {
        view->ScrollToColumn(50, true);
        view->BringIntoView({c.index, 1});
        EXPECT_EQ(view->HorizontalOffset(), c.expectedOffset) << "index " << c.index;
        EXPECT_EQ(view->TopLine(), 0);
    }
}

// --- Changes of the buffer

TEST_F(LayoutTest, ChangesMovePositionsAndTheTopLineWithTheText) {
    struct Case {
        const char* name;
        bool insert;
        TextPosition from;  // insertion point, or the deletion's start
        TextPosition to;    // the deletion's end
        const char* text;
        int topLine;
        TextPosition caret, selectionStart, selectionEnd, anchor;
    };
    // Before every change: top line 10, selection (2, 15) ... (4, 16) with the anchor at its start
    // and the caret at its end.
    const Case cases[] = {
        {"LinesInsertedAbove",
         true,
         {0, 5},
         {},
         "a\r\nb\r\n",
         12,
         {4, 18},
         {2, 17},
         {4, 18},
         {2, 17}},
        {"LinesDeletedAbove", false, {0, 0}, {0, 4}, "", 6, {4, 12}, {2, 11}, {4, 12}, {2, 11}},
        {"TextInsertedBeforeTheCaretOnItsLine",
         true,
         {1, 16},
         {},
         "xyz",
         10,
         {7, 16},
         {2, 15},
         {7, 16},
         {2, 15}},
        {"DeletionAroundTheCaret",
         false,
         {3, 16},
         {6, 16},
         "",
         10,
         {3, 16},
         {2, 15},
         {3, 16},
         {2, 15}},
        {"LinesInsertedBelow",
         true,
         {0, 20},
         {},
         "new\r\n",
         10,
         {4, 16},
         {2, 15},
         {4, 16},
         {2, 15}},
        {"TopLineDeleted", false, {2, 8}, {0, 12}, "", 8, {4, 12}, {2, 11}, {4, 12}, {2, 11}},
    };
    for (const Case& c : cases) {
        Bind(NumberedLines(30, "text "), 10, 40);
        view->ScrollToTopLine(10, true);
        view->SetAnchorPoint({2, 15});
        view->SelectRange({2, 15}, {4, 16});
        view->PlaceCursor({4, 16});
        int endLine = 0;
        int endCharacter = 0;
        if (c.insert) {
            ASSERT_TRUE(buffer.InsertAt(nullptr, c.from.y, c.from.x, c.text, endLine, endCharacter,
                                        EditAction::Typing));
        } else {
            ASSERT_TRUE(buffer.DeleteRange(nullptr, c.from.y, c.from.x, c.to.y, c.to.x,
                                           EditAction::Delete));
        }
        EXPECT_EQ(view->TopLine(), c.topLine) << c.name;
        EXPECT_EQ(view->CaretPosition(), c.caret) << c.name;
        EXPECT_EQ(view->SelectionStart(), c.selectionStart) << c.name;
        EXPECT_EQ(view->SelectionEnd(), c.selectionEnd) << c.name;
        EXPECT_EQ(view->Anchor(), c.anchor) << c.name;
    }
}

TEST_F(LayoutTest, ReplacingTheWholeTextResetsTheLayout) {
    Bind(NumberedLines(100, "a long line of text "), 10, 10);
    view->ScrollToTopLine(40, true);
    view->ScrollToColumn(5, true);
    view->SelectRange({2, 45}, {4, 46});
    view->PlaceCursor({4, 46});

    FillBuffer(buffer, {"one", "two"});

    EXPECT_EQ(view->TopLine(), 0);
    EXPECT_EQ(view->HorizontalOffset(), 0);
    EXPECT_EQ(view->CaretPosition(), (TextPosition{0, 0}));
    EXPECT_FALSE(view->HasSelection());
    EXPECT_EQ(view->WidestLineColumns(), 3);
    EXPECT_FALSE(OwnBar(*view, Qt::Vertical)->isEnabled());
}

// The widest line is kept up to date line by line; compare it with a measurement of every line
// after each of many random edits.
TEST_F(LayoutTest, WidestLineStaysRightThroughRandomEdits) {
    std::mt19937 random(20240611);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> pieces = {
        "x", "\t", "abc", "\r\n", "wide line\t\tof text", "\r\n\r\n", "a\tb\r\nc", ""};
    std::vector<std::string> lines;
    for (int index = 0; index < 30; ++index)
        lines.push_back(std::string(pick(0, 40), 'w') + (index % 3 == 0 ? "\tz" : ""));
    Bind(lines, 10, 40);
    ASSERT_GT(view->WidestLineColumns(), 0);

    for (int step = 0; step < 400; ++step) {
        int line = pick(0, buffer.LineTotal() - 1);
        int character = pick(0, buffer.LineLength(line));
        int choice = pick(0, 9);
        if (choice < 5) {
            std::string text = pieces[pick(0, static_cast<int>(pieces.size()) - 1)];
            int endLine = 0;
            int endCharacter = 0;
            ASSERT_TRUE(buffer.InsertAt(nullptr, line, character, text.c_str(), endLine,
                                        endCharacter, EditAction::Typing));
        } else if (choice < 9) {
            int endLine = std::min(buffer.LineTotal() - 1, line + pick(0, 3));
            int endCharacter = endLine == line ? pick(character, buffer.LineLength(endLine))
                                               : pick(0, buffer.LineLength(endLine));
            ASSERT_TRUE(buffer.DeleteRange(nullptr, line, character, endLine, endCharacter,
                                           EditAction::Delete));
        } else if (buffer.CanStepBack()) {
            TextPosition position;
            ASSERT_TRUE(buffer.StepBack(position));
        }

        int widest = 0;
        for (int index = 0; index < view->LineTotal(); ++index) {
            int columns = view->ColumnOfChar(index, view->LineLength(index));
            ASSERT_EQ(view->LineColumns(index), columns) << "step " << step << " line " << index;
            widest = std::max(widest, columns);
        }
        ASSERT_EQ(view->WidestLineColumns(), widest) << "step " << step;
    }
}

// --- The colouring state per line

TEST_F(LayoutTest, EndStateOfLineAsksTheHookOncePerLine) {
    view->colouring = Colouring::Counting;
    Bind(NumberedLines(20));
    EXPECT_EQ(view->EndStateOfLine(-1), 0u);
    EXPECT_EQ(view->EndStateOfLine(5), 6u);
    EXPECT_EQ(view->EndStateOfLine(3), 4u);
    EXPECT_EQ(view->EndStateOfLine(12), 13u);
    EXPECT_EQ(view->EndStateOfLine(12), 13u);

    std::map<int, int> expected;
    for (int line = 0; line <= 12; ++line)
        expected[line] = 1;
    EXPECT_EQ(view->StateOnlyCalls(), expected);
}

TEST_F(LayoutTest, AChangeOnLineTenLeavesTheStatesAboveIt) {
    struct Case {
        const char* name;
        bool insert;
        const char* text;
        int lastLine;  // the text's last line after the change
        // The last line coloured again: the counting hook ends a line in the state it ended in
        // before only when no line was added or removed above it.
        int lastRecoloured;
    };
    const Case cases[] = {
        {"WithinTheLine", true, "x", 29, 10},
        {"LineBreakInserted", true, "x\r\ny", 30, 30},
        {"LinesJoined", false, "", 28, 28},
    };
    for (const Case& c : cases) {
        view->colouring = Colouring::Counting;
        Bind(NumberedLines(30));
        ASSERT_EQ(view->EndStateOfLine(29), 30u);
        view->hookCalls.clear();

        int endLine = 0;
        int endCharacter = 0;
        if (c.insert) {
            ASSERT_TRUE(
                buffer.InsertAt(nullptr, 10, 2, c.text, endLine, endCharacter, EditAction::Typing));
        } else {
            ASSERT_TRUE(buffer.DeleteRange(nullptr, 10, 2, 11, 0, EditAction::Delete));
        }
        EXPECT_EQ(view->EndStateOfLine(9), 10u) << c.name;
        EXPECT_TRUE(view->hookCalls.empty()) << c.name;

        EXPECT_EQ(view->EndStateOfLine(c.lastLine), static_cast<LineScanState>(c.lastLine + 1))
            << c.name;
        std::map<int, int> expected;
        for (int line = 10; line <= c.lastRecoloured; ++line)
            expected[line] = 1;
        EXPECT_EQ(view->StateOnlyCalls(), expected) << c.name;
    }
}

// The cached states must always equal a colouring of the whole text from the top.
TEST_F(LayoutTest, CachedStatesMatchAFreshColouringAfterRandomEdits) {
    view->colouring = Colouring::Netlist;
    std::mt19937 random(7);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> pieces = {"/*",     "*/",   "\"",           "'",      "\\", "* ",
                                             "Error ", "\r\n", "/* a\r\nb */", "\\\r\n", "x"};
    Bind(NumberedLines(40, "R"), 12, 40);
    for (int step = 0; step < 300; ++step) {
        int line = pick(0, buffer.LineTotal() - 1);
        int character = pick(0, buffer.LineLength(line));
        if (pick(0, 3) > 0) {
            std::string text = pieces[pick(0, static_cast<int>(pieces.size()) - 1)];
            int endLine = 0;
            int endCharacter = 0;
            ASSERT_TRUE(buffer.InsertAt(nullptr, line, character, text.c_str(), endLine,
                                        endCharacter, EditAction::Typing));
        } else {
            int endLine = std::min(buffer.LineTotal() - 1, line + pick(0, 1));
            int endCharacter = endLine == line ? pick(character, buffer.LineLength(endLine))
                                               : pick(0, buffer.LineLength(endLine));
            ASSERT_TRUE(buffer.DeleteRange(nullptr, line, character, endLine, endCharacter,
                                           EditAction::Delete));
        }
        // Ask for some line, sometimes through a paint of the visible lines.
        if (step % 5 == 0) {
            view->ScrollToTopLine(pick(0, buffer.LineTotal() - 1), true);
            view->grab();
        }
        // Every line's cached state against a colouring from the top.
        ASSERT_TRUE(StatesMatch(*view, FreshStates(buffer), pick(0, buffer.LineTotal() - 1)))
            << "step " << step;
    }
}

// --- Fonts

TEST_F(LayoutTest, ApplyingALargerFontRemeasuresTheLayout) {
    Bind(NumberedLines(100), 20, 40);
    int lineHeight = view->LineHeight();
    int charWidth = view->CharWidth();
    ASSERT_EQ(view->VisibleLineCount(), 20);

    LogFont larger = view->ViewLogFont();
    larger.height = 2 * larger.height;
    view->ApplyFont(larger);

    EXPECT_GT(view->LineHeight(), lineHeight);
    EXPECT_GT(view->CharWidth(), charWidth);
    EXPECT_EQ(view->VisibleLineCount(), view->ClientRect().height() / view->LineHeight());
    EXPECT_LT(view->VisibleLineCount(), 20);
    EXPECT_EQ(OwnBar(*view, Qt::Vertical)->pageStep(), view->VisibleLineCount());
}

// Millions of lines are measured for the horizontal bar a slice at a time, so that binding a
// long text never holds the window: the bar's range grows to the widest line once idle time has
// measured them all, and never claims more meanwhile.
TEST_F(LayoutTest, TheWidestOfMillionsOfLinesIsFoundInIdleTime) {
    std::vector<std::string> lines(1'500'000, "x");
    lines[1'400'000] = std::string(300, 'w');
    Bind(lines, 10, 40);
    QScrollBar* bar = OwnBar(*view, Qt::Horizontal);
    ASSERT_NE(bar, nullptr);
    const int expected = 300 - view->VisibleColumnCount();
    EXPECT_LE(bar->maximum(), expected);
    EXPECT_TRUE(kivra_test::WaitFor([&] { return bar->maximum() == expected; }, 20000))
        << bar->maximum();
    EXPECT_EQ(view->WidestLineColumns(), 300);
}

}  // namespace
}  // namespace viewtest
