// The split frame: splitting and unsplitting by dragging, pane numbering, shared scroll bars and
// the active pane. Offscreen, with real mouse events on the splitter.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QStyleHints>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "SplitterWnd.h"
#include "ViewTestSupport.h"

namespace {

// A view that finds the test's buffer as a document's view finds its document's.
class CBufferView : public CCorvelTextView {
public:
    CBufferView(CCorvelTextBuffer* source, QWidget* parent)
        : CCorvelTextView(parent), source(source) {}
    CCorvelTextBuffer* LocateBuffer() override { return source; }

private:
    CCorvelTextBuffer* source;
};

class SplitterTest : public ::testing::Test {
protected:
    SplitterTest() {
        // Long lines, so that there is something to scroll sideways too.
        std::string text;
        for (int line = 0; line < 200; ++line)
            text += "line " + std::to_string(line) + std::string(200, 'x') + "\r\n";
        buffer.CreateEmpty(LineEndingStyle::Win);
        int endLine = 0, endCharacter = 0;
        buffer.InsertAt(nullptr, 0, 0, text.c_str(), endLine, endCharacter, EditAction::Paste);
    }

    void SetUp() override { MakeSplitter(); }

    // A fresh splitter of one pane, shown at 640 × 400.
    void MakeSplitter() {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        kivra_test::QuietMouseGrabWarnings();
        splitter = std::make_unique<CSplitterWnd>(
            [this](QWidget* parent) { return new CBufferView(&buffer, parent); });
        splitter->resize(640, 400);
        splitter->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(splitter.get()));
        QApplication::setActiveWindow(splitter.get());
    }

    // Presses at from, moves by way of a point between to to, releases there.
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(splitter.get(), Qt::LeftButton, {}, from);
        QTest::mouseMove(splitter.get(), (from + to) / 2);
        QTest::mouseMove(splitter.get(), to);
        QTest::mouseRelease(splitter.get(), Qt::LeftButton, {}, to);
    }

    // The length of the pane area down (rows) or across: all but the scroll bars at the edge.
    int Extent(bool rows) const {
        return rows ? splitter->height() - splitter->HorizontalBarOfColumn(0)->height()
                    : splitter->width() - splitter->VerticalBarOfRow(0)->width();
    }

    // One line of the pane as drawn, below the caret's line.
    QImage LineImage(CCorvelTextView* pane, int line) {
        int height = pane->LineHeight();
        return pane->grab(QRect(0, line * height, pane->ClientRect().width(), height)).toImage();
    }

    CCorvelTextBuffer buffer;
    std::unique_ptr<CSplitterWnd> splitter;
};

TEST_F(SplitterTest, DraggingTheRowBoxAddsAViewOfTheSameText) {
    QRect box = splitter->RowSplitBox();
    ASSERT_FALSE(box.isEmpty());
    Drag(box.center(), box.center() + QPoint(0, 180));

    ASSERT_EQ(splitter->RowCount(), 2);
    CCorvelTextView* first = splitter->Pane(0, 0);
    CCorvelTextView* second = splitter->Pane(1, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->Buffer(), &buffer);
    EXPECT_TRUE(second->isVisible());
    // The new row starts where the tracking bar was let go, below the split bar.
    EXPECT_EQ(first->height(), 180);
    EXPECT_EQ(second->y(), 180 + CSplitterWnd::kSplitBarSize);
    EXPECT_TRUE(splitter->RowSplitBox().isEmpty());

    QImage before = LineImage(first, 2);
    EXPECT_EQ(LineImage(second, 2), before);
    int endLine = 0, endCharacter = 0;
    buffer.InsertAt(nullptr, 0, 0, "inserted\r\n", endLine, endCharacter, EditAction::Typing);
    EXPECT_NE(LineImage(first, 2), before);
    EXPECT_EQ(LineImage(second, 2), LineImage(first, 2));
}

TEST_F(SplitterTest, PanesAreNumberedByRowAndColumnWhicheverWayFirst) {
    for (bool rowsFirst : {true, false}) {
        SCOPED_TRACE(rowsFirst ? "rows first" : "columns first");
        MakeSplitter();
        ASSERT_TRUE(rowsFirst ? splitter->SplitRow(150) : splitter->SplitColumn(300));
        ASSERT_TRUE(rowsFirst ? splitter->SplitColumn(300) : splitter->SplitRow(150));
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column) {
                CCorvelTextView* pane = splitter->Pane(row, column);
                ASSERT_NE(pane, nullptr);
                EXPECT_EQ(pane->PaneRow(), row);
                EXPECT_EQ(pane->PaneColumn(), column);
                EXPECT_EQ(pane->Buffer(), &buffer);
                // In its quadrant, beside its row's bar and above its column's bar.
                EXPECT_EQ(pane->x() > 300, column == 1);
                EXPECT_EQ(pane->y() > 150, row == 1);
                EXPECT_EQ(splitter->VerticalBarOfRow(row)->geometry().bottom(),
                          pane->geometry().bottom());
                EXPECT_EQ(splitter->HorizontalBarOfColumn(column)->geometry().right(),
                          pane->geometry().right());
            }
        }
    }
}

TEST_F(SplitterTest, PanesOfARowShareTheFirstLineAndPanesOfAColumnTheOffset) {
    ASSERT_TRUE(splitter->SplitColumn(300));
    ASSERT_TRUE(splitter->SplitRow(200));
    splitter->VerticalBarOfRow(1)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    int top = splitter->Pane(1, 1)->TopLine();
    EXPECT_GT(top, 0);
    EXPECT_EQ(splitter->Pane(1, 0)->TopLine(), top);
    EXPECT_EQ(splitter->VerticalBarOfRow(1)->value(), top);
    EXPECT_EQ(splitter->Pane(0, 0)->TopLine(), 0);

    for (int step = 0; step < 5; ++step)
        splitter->HorizontalBarOfColumn(0)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(splitter->Pane(0, 0)->HorizontalOffset(), 5);
    EXPECT_EQ(splitter->Pane(1, 0)->HorizontalOffset(), 5);
    EXPECT_EQ(splitter->Pane(1, 1)->HorizontalOffset(), 0);
}

TEST_F(SplitterTest, ANewPaneTakesTheOffsetsOfItsRowAndColumn) {
    splitter->VerticalBarOfRow(0)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    for (int step = 0; step < 7; ++step)
        splitter->HorizontalBarOfColumn(0)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    int top = splitter->Pane(0, 0)->TopLine();
    ASSERT_GT(top, 0);

    ASSERT_TRUE(splitter->SplitColumn(300));
    EXPECT_EQ(splitter->Pane(0, 1)->TopLine(), top);
    EXPECT_EQ(splitter->VerticalBarOfRow(0)->value(), top);
    ASSERT_TRUE(splitter->SplitRow(200));
    EXPECT_EQ(splitter->Pane(1, 0)->HorizontalOffset(), 7);
    EXPECT_EQ(splitter->Pane(1, 0)->TopLine(), 0);
    EXPECT_EQ(splitter->HorizontalBarOfColumn(0)->value(), 7);
}

TEST_F(SplitterTest, DraggingASplitBarPastTheMinimumRemovesThatRowOrColumn) {
    struct Case {
        bool rows;
        bool towardStart;
    };
    for (Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        SCOPED_TRACE(std::string(c.rows ? "rows" : "columns") + (c.towardStart ? " up" : " down"));
        MakeSplitter();
        ASSERT_TRUE(splitter->SplitRow(150));
        ASSERT_TRUE(splitter->SplitColumn(300));
        // The row or column that stays is scrolled apart from the other, to tell its bar.
        int kept = c.towardStart ? 1 : 0;
        if (c.rows)
            splitter->VerticalBarOfRow(kept)->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else
            splitter->HorizontalBarOfColumn(kept)->triggerAction(
                QAbstractSlider::SliderPageStepAdd);
        QPointer<CCorvelTextView> panes[2][2];
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                panes[row][column] = splitter->Pane(row, column);

        QRect bar = c.rows ? splitter->RowSplitBar() : splitter->ColumnSplitBar();
        int extent = Extent(c.rows);
        // The pane at the far side of the move would be a pixel under the minimum.
        int target = c.towardStart
                         ? CSplitterWnd::kMinPaneSize - 1
                         : extent - CSplitterWnd::kSplitBarSize - CSplitterWnd::kMinPaneSize + 1;
        QPoint from = bar.topLeft() + QPoint(1, 1);
        QPoint to = c.rows ? QPoint(from.x(), target + 1) : QPoint(target + 1, from.y());
        Drag(from, to);

        EXPECT_EQ(c.rows ? splitter->RowCount() : splitter->ColumnCount(), 1);
        EXPECT_EQ(c.rows ? splitter->VerticalBarOfRow(1) : splitter->HorizontalBarOfColumn(1),
                  nullptr);
        for (int across = 0; across < 2; ++across) {
            QPointer<CCorvelTextView> gone =
                c.rows ? panes[1 - kept][across] : panes[across][1 - kept];
            CCorvelTextView* survivor = c.rows ? panes[kept][across] : panes[across][kept];
            EXPECT_TRUE(gone.isNull());
            ASSERT_EQ(c.rows ? splitter->Pane(0, across) : splitter->Pane(across, 0), survivor);
            EXPECT_EQ(c.rows ? survivor->PaneRow() : survivor->PaneColumn(), 0);
            EXPECT_EQ(c.rows ? survivor->height() : survivor->width(), extent);
            // The one bar left shows the survivors' position.
            EXPECT_EQ(c.rows ? splitter->VerticalBarOfRow(0)->value()
                             : splitter->HorizontalBarOfColumn(0)->value(),
                      c.rows ? survivor->TopLine() : survivor->HorizontalOffset());
        }
    }
}

TEST_F(SplitterTest, NoPaneIsMadeSmallerThanTheMinimum) {
    struct Case {
        bool rows;
        int position;  // of the tracking bar's leading edge
        bool splits;
    };
    int rowsEnd = Extent(true) - CSplitterWnd::kSplitBarSize - CSplitterWnd::kMinPaneSize;
    int columnsEnd = Extent(false) - CSplitterWnd::kSplitBarSize - CSplitterWnd::kMinPaneSize;
    for (Case c : {Case{true, 29, false}, Case{true, 30, true}, Case{true, rowsEnd, true},
                   Case{true, rowsEnd + 1, false}, Case{false, 29, false}, Case{false, 30, true},
                   Case{false, columnsEnd, true}, Case{false, columnsEnd + 1, false}}) {
        SCOPED_TRACE(std::string(c.rows ? "rows at " : "columns at ") + std::to_string(c.position));
        MakeSplitter();
        QRect box = c.rows ? splitter->RowSplitBox() : splitter->ColumnSplitBox();
        QPoint to = c.rows ? QPoint(box.left(), c.position) : QPoint(c.position, box.top());
        Drag(box.topLeft(), to);
        EXPECT_EQ(c.rows ? splitter->RowCount() : splitter->ColumnCount(), c.splits ? 2 : 1);
        for (int row = 0; row < splitter->RowCount(); ++row) {
            for (int column = 0; column < splitter->ColumnCount(); ++column) {
                QSize size = splitter->Pane(row, column)->size();
                EXPECT_GE(size.width(), CSplitterWnd::kMinPaneSize);
                EXPECT_GE(size.height(), CSplitterWnd::kMinPaneSize);
            }
        }
    }
    // A window too low for two rows refuses a split anywhere.
    splitter->resize(640, 60 + splitter->HorizontalBarOfColumn(0)->height());
    EXPECT_FALSE(splitter->SplitRow(30));
}

TEST_F(SplitterTest, DoubleClickingASplitBoxSplitsInTheMiddle) {
    int extent = Extent(true);
    QTest::mouseDClick(splitter.get(), Qt::LeftButton, {}, splitter->RowSplitBox().center());
    ASSERT_EQ(splitter->RowCount(), 2);
    EXPECT_EQ(splitter->Pane(0, 0)->height(), (extent - CSplitterWnd::kSplitBarSize) / 2);
}

TEST_F(SplitterTest, NextPaneCyclesRowByRowAndTheActivePaneFollowsTheFocus) {
    ASSERT_TRUE(splitter->SplitRow(150));
    ASSERT_TRUE(splitter->SplitColumn(300));
    std::vector<CCorvelTextView*> reported;
    QObject::connect(splitter.get(), &CSplitterWnd::ActivePaneChanged,
                     [&](CCorvelTextView* pane) { reported.push_back(pane); });
    CCorvelTextView* p00 = splitter->Pane(0, 0);
    CCorvelTextView* p01 = splitter->Pane(0, 1);
    CCorvelTextView* p10 = splitter->Pane(1, 0);
    CCorvelTextView* p11 = splitter->Pane(1, 1);
    EXPECT_EQ(splitter->ActivePane(), p00);

    for (int step = 0; step < 4; ++step)
        splitter->ActivateNext(false);
    for (int step = 0; step < 2; ++step)
        splitter->ActivateNext(true);
    std::vector<CCorvelTextView*> expected{p01, p10, p11, p00, p11, p10};
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(QApplication::focusWidget(), p10);

    QTest::mouseClick(p01, Qt::LeftButton, {}, p01->rect().center());
    EXPECT_EQ(splitter->ActivePane(), p01);
    // Removing the active pane's column hands the activity and the focus to its neighbour.
    splitter->DeleteColumn(1);
    EXPECT_EQ(splitter->ActivePane(), p00);
    EXPECT_EQ(QApplication::focusWidget(), p00);
}

}  // namespace
