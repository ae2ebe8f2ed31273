// The mouse in the text view: clicks, drags, the selection margin, the auto-scroll timer, the
// wheel, and the caret following the keyboard focus.

#include <QElapsedTimer>
#include <QScrollBar>
#include <QWheelEvent>

#include "TextViewHarness.h"

namespace {

class MouseSelection : public TextViewTest {
protected:
    void Click(QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&view, button, modifiers, point);
    }
    void Press(QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(&view, Qt::LeftButton, modifiers, point);
    }
    void MoveTo(QPoint point) { QTest::mouseMove(&view, point); }
    void Release(QPoint point) {
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, point);
    }
    void DoubleClick(QPoint point) {
        // As the window system delivers it: press, release, double click, release.
        Click(point);
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, point);
        Release(point);
    }
    void ExpectSelection(TextPosition start, TextPosition end) {
        EXPECT_EQ(OrderedStart(), start);
        EXPECT_EQ(OrderedEnd(), end);
    }
};

TEST_F(MouseSelection, ClickPlacesTheCaretAtTheNearestCharacterBoundary) {
    Load("abcdef\r\nR1 in out 1k\r\nxy");
    const int cell = view.CharWidth();
    struct Case {
        const char* name;
        QPoint point;
        TextPosition expected;
    };
    const Case cases[] = {
        {"on a boundary", At({3, 1}), {3, 1}},
        {"in the right half of the cell before", At({3, 1}) - QPoint(2, 0), {3, 1}},
        {"in the left half of the cell", At({3, 1}) + QPoint(cell / 2 - 2, 0), {3, 1}},
        {"right of the line's end", At({2, 2}) + QPoint(20 * cell, 0), {2, 2}},
        {"below the last line", At({1, 2}) + QPoint(0, 5 * view.LineHeight()), {1, 2}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        Place({0, 0}, {4, 0});
        Click(each.point);
        EXPECT_EQ(view.CaretPosition(), each.expected);
        EXPECT_EQ(view.Anchor(), each.expected);
        EXPECT_FALSE(view.HasSelection());
    }
}

TEST_F(MouseSelection, ClickDoesNotChangeTheIdealColumn) {
    Load("0123456789\r\n0123456789\r\n0123456789");
    Place({6, 0});
    Click(At({2, 2}));
    Key(Qt::Key_Up);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{6, 1}));
}

TEST_F(MouseSelection, DragSelectsFromThePressToTheMouse) {
    Load("abcdef\r\nghijkl\r\nmnopqr");
    Press(At({1, 0}));
    EXPECT_TRUE(view.MouseSelecting());
    EXPECT_TRUE(view.AutoScrollRunning());
    MoveTo(At({3, 2}));
    EXPECT_EQ(view.SelectionStart(), (TextPosition{1, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{3, 2}));
    MoveTo(At({4, 1}));
    Release(At({4, 1}));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 1}));
    ExpectSelection({1, 0}, {4, 1});
    EXPECT_FALSE(view.MouseSelecting());
    EXPECT_FALSE(view.AutoScrollRunning());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(MouseSelection, ShiftClickExtendsFromTheAnchor) {
    Load("abcdef\r\nghijkl");
    Click(At({2, 0}));
    Click(At({4, 1}), Qt::ShiftModifier);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{2, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{4, 1}));
    Click(At({1, 0}), Qt::ShiftModifier);  // before the anchor: the selection turns round
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
    ExpectSelection({1, 0}, {2, 0});
}

TEST_F(MouseSelection, ShiftClickExtendsAKeyboardSelection) {
    Load("abcdef\r\nghijkl");
    Place({1, 0}, {3, 0});
    Click(At({2, 1}), Qt::ShiftModifier);
    ExpectSelection({1, 0}, {2, 1});
}

TEST_F(MouseSelection, CtrlClickSelectsTheWord) {
    Load("alpha beta_2 gamma");
    Click(At({8, 0}), Qt::ControlModifier);
    ExpectSelection({6, 0}, {12, 0});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{12, 0}));
}

TEST_F(MouseSelection, CtrlDragGrowsByWholeWordsBothWays) {
    Load("alpha beta gamma");
    Press(At({7, 0}), Qt::ControlModifier);
    EXPECT_TRUE(view.WordSelecting());
    MoveTo(At({13, 0}));
    ExpectSelection({6, 0}, {16, 0});
    MoveTo(At({2, 0}));
    ExpectSelection({0, 0}, {10, 0});
    // Either way the caret stands at the selection's second end.
    EXPECT_EQ(view.CaretPosition(), (TextPosition{10, 0}));
    Release(At({2, 0}));
    ExpectSelection({0, 0}, {10, 0});
}

TEST_F(MouseSelection, DoubleClickSelectsTheWordUnderTheMouse) {
    Load("R1 alpha_2 beta");
    DoubleClick(At({5, 0}));
    ExpectSelection({3, 0}, {10, 0});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{10, 0}));
}

TEST_F(MouseSelection, DoubleClickOnPunctuationSelectsNothing) {
    Load("a , b");
    DoubleClick(At({2, 0}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));
}

TEST_F(MouseSelection, DragAfterADoubleClickGrowsByWords) {
    Load("R1 alpha_2 beta");
    Click(At({5, 0}));
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, At({5, 0}));
    EXPECT_TRUE(view.MouseSelecting());
    MoveTo(At({12, 0}));
    ExpectSelection({3, 0}, {15, 0});
    Release(At({12, 0}));
    ExpectSelection({3, 0}, {15, 0});
}

TEST_F(MouseSelection, MarginClickSelectsTheLineWithItsBreak) {
    Load("first\r\nsecond\r\nlast");
    struct Case {
        int line;
        TextPosition start;
        TextPosition end;
    };
    const Case cases[] = {{0, {0, 0}, {0, 1}}, {1, {0, 1}, {0, 2}}, {2, {0, 2}, {4, 2}}};
    for (const Case& each : cases) {
        SCOPED_TRACE(each.line);
        Press(InMargin(each.line));
        EXPECT_TRUE(view.LineSelecting());
        ExpectSelection(each.start, each.end);
        Release(InMargin(each.line));
        ExpectSelection(each.start, each.end);
        EXPECT_EQ(view.CaretPosition(), each.end);
    }
}

TEST_F(MouseSelection, MarginDragSelectsWholeLinesDownwards) {
    Load("l0\r\nl1\r\nl2\r\nl3\r\nl4");
    Press(InMargin(1));
    MoveTo(InMargin(3));
    ExpectSelection({0, 1}, {0, 4});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 3}));
    Release(InMargin(3));
    ExpectSelection({0, 1}, {0, 4});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 4}));
}

TEST_F(MouseSelection, MarginDragSelectsWholeLinesUpwards) {
    Load("l0\r\nl1\r\nl2\r\nl3\r\nl4");
    Press(InMargin(3));
    MoveTo(InMargin(1));
    ExpectSelection({0, 1}, {0, 4});
    Release(InMargin(1));
    ExpectSelection({0, 1}, {0, 4});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 1}));
}

TEST_F(MouseSelection, MarginDragIntoTheTextGoesOnByCharacters) {
    Load("l0\r\nline 1\r\nline 2");
    Press(InMargin(1));
    MoveTo(At({3, 2}));
    EXPECT_FALSE(view.LineSelecting());
    EXPECT_EQ(view.SelectionStart(), (TextPosition{0, 1}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{3, 2}));
    MoveTo(InMargin(2));  // back in the margin: still characters
    Release(InMargin(2));
    ExpectSelection({0, 1}, {0, 2});
}

TEST_F(MouseSelection, CtrlClickInTheMarginSelectsTheWholeText) {
    Load("l0\r\nl1\r\nlast");
    Click(InMargin(1), Qt::ControlModifier);
    ExpectSelection({0, 0}, {4, 2});
    EXPECT_FALSE(view.MouseSelecting());
}

TEST_F(MouseSelection, ShiftClickInTheMarginSelectsLinesFromTheAnchorsLine) {
    Load("l0\r\nl1\r\nl2\r\nl3");
    Click(At({1, 0}));
    Click(InMargin(2), Qt::ShiftModifier);
    ExpectSelection({0, 0}, {0, 3});
}

TEST_F(MouseSelection, PressInsideTheSelectionThenReleaseCollapsesItThere) {
    Load("abcdef ghi");
    Place({0, 0}, {6, 0});
    Press(At({2, 0}));
    EXPECT_TRUE(view.DragPending());
    EXPECT_FALSE(view.MouseSelecting());
    ExpectSelection({0, 0}, {6, 0});
    Release(At({2, 0}));
    EXPECT_FALSE(view.DragPending());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.dragsBegun, 0);
}

TEST_F(MouseSelection, PressInsideTheSelectionThenMoveBeginsADrag) {
    Load("abcdef ghi");
    Place({0, 0}, {6, 0});
    Press(At({2, 0}));
    MoveTo(At({8, 0}));
    EXPECT_EQ(view.dragsBegun, 1);
    EXPECT_FALSE(view.DragPending());
    Release(At({8, 0}));
    EXPECT_EQ(view.dragsBegun, 1);
}

TEST_F(MouseSelection, PressInTheLastCellOfTheSelectionCountsAsInside) {
    // The test against the selection takes the cell under the mouse, not the nearest boundary.
    Load("abcdef ghi");
    Place({0, 0}, {3, 0});
    const QPoint lastCell = At({3, 0}) - QPoint(2, 0);
    Press(lastCell);
    EXPECT_TRUE(view.DragPending());
    Release(lastCell);
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
}

TEST_F(MouseSelection, RightClickOutsideTheSelectionMovesTheCaret) {
    Load("abcdef ghi");
    Place({0, 0}, {3, 0});
    Click(At({8, 0}), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{8, 0}));
    EXPECT_EQ(view.Anchor(), (TextPosition{8, 0}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_FALSE(view.MouseSelecting());
}

TEST_F(MouseSelection, RightClickInsideTheSelectionKeepsIt) {
    Load("abcdef ghi");
    Place({0, 0}, {6, 0});
    Click(At({2, 0}), Qt::NoModifier, Qt::RightButton);
    ExpectSelection({0, 0}, {6, 0});
    EXPECT_EQ(view.CaretPosition(), (TextPosition{6, 0}));
}

class AutoScroll : public MouseSelection {
protected:
    void SetUp() override {
        MouseSelection::SetUp();
        std::string text;
        for (int line = 0; line < 100; ++line)
            text += std::string(200, static_cast<char>('a' + line % 26)) + "\r\n";
        Load(text + "end");
    }
    // A mouse selection under way at line 55, with the view at line 50 and column 20.
    void StartAt(int top = 50) {
        Place({0, 0});  // no selection left from before to press into
        view.ScrollToTopLine(top, true);
        view.ScrollToColumn(20, true);
        view.autoScrollPointForTesting = view.ClientRect().center();
        Press(At({25, top + 5}));
        ASSERT_TRUE(view.MouseSelecting());
    }
    void Finish() {
        view.autoScrollPointForTesting = view.ClientRect().center();
        Release(view.ClientRect().center());
    }
};

TEST_F(AutoScroll, VerticalRateDependsOnTheDistanceFromTheWindow) {
    const int height = view.LineHeight();
    const QRect client = view.ClientRect();
    const int x = client.center().x();
    struct Case {
        const char* name;
        int y;
        int lines;
    };
    const Case cases[] = {
        {"two lines above", client.top() - 2 * height, -3},
        {"just over one line above", client.top() - height - 1, -3},
        {"one line above", client.top() - height, -1},
        {"just above", client.top() - 1, -1},
        {"inside, at the bottom", client.bottom(), 0},
        {"at the bottom edge", client.bottom() + 1, 1},
        {"less than a line below", client.bottom() + height, 1},
        {"a line below", client.bottom() + 1 + height, 3},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        StartAt();
        view.autoScrollPointForTesting = QPoint(x, each.y);
        view.TickAutoScrollForTesting();
        EXPECT_EQ(view.TopLine(), 50 + each.lines);
        view.TickAutoScrollForTesting();
        EXPECT_EQ(view.TopLine(), 50 + 2 * each.lines);
        Finish();
    }
}

TEST_F(AutoScroll, TickExtendsTheSelectionToTheMouse) {
    StartAt();
    const QPoint above(view.ClientRect().center().x(), -2 * view.LineHeight());
    view.autoScrollPointForTesting = above;
    view.TickAutoScrollForTesting();
    TextPosition expected = view.PointToText(view.NearestBoundaryPoint(above));
    EXPECT_EQ(view.CaretPosition(), expected);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{25, 55}));
    EXPECT_EQ(view.SelectionEnd(), expected);
    Finish();
}

TEST_F(AutoScroll, TickAtTheTopMovesNothing) {
    StartAt(0);
    view.autoScrollPointForTesting = QPoint(view.ClientRect().center().x(), -50);
    view.TickAutoScrollForTesting();
    EXPECT_EQ(view.TopLine(), 0);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{25, 5}));
    EXPECT_FALSE(view.HasSelection());
    Finish();
}

TEST_F(AutoScroll, TickNearTheTopStopsAtLineZero) {
    StartAt(2);
    view.autoScrollPointForTesting = QPoint(view.ClientRect().center().x(), -50);
    view.TickAutoScrollForTesting();
    EXPECT_EQ(view.TopLine(), 0);
    Finish();
}

TEST_F(AutoScroll, HorizontalStepsOneColumnBeyondEitherEdge) {
    const QRect client = view.ClientRect();
    const int y = client.center().y();
    struct Case {
        const char* name;
        int x;
        int columns;
    };
    const Case cases[] = {
        {"left of the window", -1, -1},
        {"in the margin", 0, 0},
        {"at the right edge", client.right() + 1, 1},
        {"inside at the right", client.right(), 0},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        StartAt();
        view.autoScrollPointForTesting = QPoint(each.x, y);
        view.TickAutoScrollForTesting();
        EXPECT_EQ(view.HorizontalOffset(), 20 + each.columns);
        EXPECT_EQ(view.TopLine(), 50);
        Finish();
    }
}

TEST_F(AutoScroll, TimerTicksOnItsOwnWhileTheButtonIsDown) {
    StartAt();
    view.autoScrollPointForTesting = QPoint(view.ClientRect().center().x(), -1);
    QElapsedTimer clock;
    clock.start();
    while (view.TopLine() == 50 && clock.elapsed() < 3000)
        QTest::qWait(20);
    EXPECT_LT(view.TopLine(), 50);
    Finish();
    EXPECT_FALSE(view.AutoScrollRunning());
}

TEST_F(MouseSelection, WheelScrollsThreeLinesANotch) {
    Load(NumberedLines(100));
    QScrollBar* bar = nullptr;
    for (QScrollBar* each : view.findChildren<QScrollBar*>()) {
        if (each->orientation() == Qt::Vertical)
            bar = each;
    }
    ASSERT_NE(bar, nullptr);
    struct Case {
        int top;
        int delta;
        int expected;
    };
    const Case cases[] = {
        {10, 120, 7}, {10, -120, 13}, {10, 240, 4},
        {10, 60, 9},  {10, -60, 11},  // the division truncates towards zero
        {10, 39, 10}, {1, 120, 0},    {98, -240, 99},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.delta);
        view.ScrollToTopLine(each.top, true);
        Place({2, 12});
        QPoint at = view.ClientRect().center();
        QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, each.delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        EXPECT_EQ(view.TopLine(), each.expected);
        EXPECT_EQ(bar->value(), std::min(each.expected, bar->maximum()));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 12}));
    }
}

TEST_F(MouseSelection, SmallWheelStepsAddUpToLines) {
    Load(NumberedLines(100));
    QPoint at = view.ClientRect().center();
    auto turn = [&](QPoint pixels, int angle) {
        QWheelEvent wheel(at, view.mapToGlobal(at), pixels, QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(&view, &wheel);
    };
    // A smooth wheel: twelve steps of a tenth of a notch make three lines and a bit.
    view.ScrollToTopLine(50, true);
    for (int step = 0; step < 12; ++step)
        turn(QPoint(), -12);
    EXPECT_EQ(view.TopLine(), 53);
    // What was left over counts towards the next line; a turn back starts afresh.
    turn(QPoint(), -26);
    EXPECT_EQ(view.TopLine(), 54);
    turn(QPoint(), 30);
    EXPECT_EQ(view.TopLine(), 54);
    turn(QPoint(), 10);
    EXPECT_EQ(view.TopLine(), 53);

    // A touchpad gives pixels: a line's height of them is one line, whatever the angle says.
    int height = view.LineHeight();
    view.ScrollToTopLine(50, true);
    turn(QPoint(0, -height / 2), -120);
    EXPECT_EQ(view.TopLine(), 50);
    turn(QPoint(0, -(height - height / 2)), -120);
    EXPECT_EQ(view.TopLine(), 51);
    turn(QPoint(0, -5 * height), -120);
    EXPECT_EQ(view.TopLine(), 56);
    turn(QPoint(0, 2 * height), 0);
    EXPECT_EQ(view.TopLine(), 54);
}

TEST_F(MouseSelection, CursorShowsWhatAPressWouldDo) {
    Load("abcdef ghi");
    Place({0, 0}, {6, 0});
    auto hover = [this](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, QPointF(point), view.mapToGlobal(QPointF(point)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        return view.cursor();
    };
    QCursor margin = hover(InMargin(0));
    ASSERT_EQ(margin.shape(), Qt::BitmapCursor);
    // An arrow pointing up and to the right: its tip is the top right corner.
    EXPECT_EQ(margin.hotSpot(), QPoint(margin.pixmap().width() - 1, 0));
    EXPECT_EQ(hover(At({2, 0})).shape(), Qt::ArrowCursor);
    EXPECT_EQ(hover(At({8, 0})).shape(), Qt::IBeamCursor);
    EXPECT_EQ(hover(At({6, 0})).shape(), Qt::IBeamCursor);
}

// Disabled until ResetLayout ends a mouse selection under way: it clears the flag but leaves the
// timer running and the mouse grabbed.
TEST_F(MouseSelection, NewTextEndsAMouseSelection) {
    Load("abcdef\r\nghijkl");
    Press(At({1, 0}));
    ASSERT_TRUE(view.AutoScrollRunning());
    Load("other text");
    EXPECT_FALSE(view.MouseSelecting());
    EXPECT_FALSE(view.AutoScrollRunning());
    EXPECT_NE(QWidget::mouseGrabber(), &view);
    Release(At({1, 0}));
}

TEST_F(MouseSelection, CaretShowsOnlyWhileFocused) {
    Load("abc\r\ndef");
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(view.CaretRect(), QRect(view.TextToPoint({1, 1}), QSize(2, view.LineHeight())));
    view.clearFocus();
    EXPECT_FALSE(view.IsFocused());
    EXPECT_TRUE(view.CaretRect().isEmpty());
    view.setFocus();
    EXPECT_TRUE(view.IsFocused());
    EXPECT_EQ(view.CaretRect(), QRect(view.TextToPoint({1, 1}), QSize(2, view.LineHeight())));
}

TEST_F(MouseSelection, CaretHidesLeftOfTheHorizontalOffset) {
    Load(std::string(300, 'x'));
    view.NudgeViewRight();
    EXPECT_EQ(view.HorizontalOffset(), 1);
    EXPECT_TRUE(view.CaretRect().isEmpty());
    view.NudgeViewLeft();
    EXPECT_FALSE(view.CaretRect().isEmpty());
}

TEST_F(MouseSelection, LosingTheFocusEndsAMouseSelection) {
    Load("abcdef\r\nghijkl");
    Press(At({1, 0}));
    ASSERT_TRUE(view.AutoScrollRunning());
    ASSERT_EQ(QWidget::mouseGrabber(), &view);
    view.clearFocus();
    EXPECT_FALSE(view.MouseSelecting());
    EXPECT_FALSE(view.AutoScrollRunning());
    EXPECT_NE(QWidget::mouseGrabber(), &view);
    Release(At({1, 0}));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
}

}  // namespace
