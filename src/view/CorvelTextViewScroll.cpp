// Scrolling of CCorvelTextView: repainting lines, the top line and the first column, the scroll
// bars, and the panes of a split frame that scroll together.

#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "CorvelTextView.h"
#include "PaneHost.h"

// --- Repainting and scrolling

void CCorvelTextView::RepaintLines(int first, int last) {
    QRect client = ClientRect();
    int height = LineHeight();
    if (last == -1) {
        int top = height * (first - topLine);
        update(QRect(0, top, client.width(), client.height() - top).intersected(client));
        return;
    }
    int upper = std::min(first, last);
    int lower = std::max(first, last);
    int top = height * (upper - topLine);
    int bottom = height * (lower - topLine + 1);
    update(QRect(0, top, client.width(), bottom - top).intersected(client));
}

void CCorvelTextView::ScrollToTopLine(int line, bool updateScrollBar) {
    if (line == topLine)
        return;
    topLine = line;
    update(ClientRect());
    PlaceCaret();
    if (updateScrollBar)
        UpdateVerticalScrollBar(true);
}

void CCorvelTextView::ScrollToColumn(int column, bool updateScrollBar) {
    if (column == horizontalOffset)
        return;
    horizontalOffset = column;
    update(ClientRect());
    if (updateScrollBar)
        UpdateHorizontalScrollBar(true);
}

void CCorvelTextView::BringIntoView(TextPosition position) {
    int visibleLines = VisibleLineCount();
    int newTop = topLine;
    if (position.y >= topLine + visibleLines)
        newTop = position.y - visibleLines + 1;
    else if (position.y < topLine)
        newTop = position.y;
    newTop = std::clamp(newTop, 0, LineTotal() - 1);
    if (newTop != topLine) {
        ScrollToTopLine(newTop, true);
        SyncSiblings(true);
    }

    int column = ColumnOfChar(position.y, position.x);
    int visibleColumns = VisibleColumnCount();
    int newOffset = horizontalOffset;
    if (column > horizontalOffset + visibleColumns)
        newOffset = column - visibleColumns;
    else if (column < horizontalOffset)
        newOffset = column;
    newOffset = std::max(std::min(newOffset, WidestLineColumns() - 1), 0);
    if (newOffset != horizontalOffset) {
        ScrollToColumn(newOffset, true);
        PlaceCaret();
        SyncSiblings(false);
    }
}

// --- Scroll bars

QScrollBar* CCorvelTextView::VerticalBar() const {
    return paneHost ? paneHost->VerticalBarOfRow(PaneRow()) : ownVerticalBar;
}

QScrollBar* CCorvelTextView::HorizontalBar() const {
    return paneHost ? paneHost->HorizontalBarOfColumn(PaneColumn()) : ownHorizontalBar;
}

void CCorvelTextView::LayoutOwnScrollBars() {
    bool own = paneHost == nullptr;
    ownVerticalBar->setVisible(own);
    ownHorizontalBar->setVisible(own);
    if (!own)
        return;
    ownBarsExtent =
        QSize(ownVerticalBar->sizeHint().width(), ownHorizontalBar->sizeHint().height());
    int barWidth = ownBarsExtent.width();
    int barHeight = ownBarsExtent.height();
    ownVerticalBar->setGeometry(width() - barWidth, 0, barWidth, height() - barHeight);
    ownHorizontalBar->setGeometry(0, height() - barHeight, width() - barWidth, barHeight);
}

void CCorvelTextView::UpdateVerticalScrollBar(bool positionOnly) {
    QScrollBar* bar = VerticalBar();
    if (bar == nullptr)
        return;
    QSignalBlocker blocker(bar);
    if (!positionOnly) {
        int visible = VisibleLineCount();
        int total = LineTotal();
        if (visible >= total && topLine > 0) {
            topLine = 0;
            update();
            PlaceCaret();
        }
        // As the desktop's bars do: the thumb reaches total - page at most, and a bar with
        // nothing to scroll is disabled rather than hidden.
        bar->setRange(0, std::max(0, total - visible));
        bar->setPageStep(std::max(1, visible));
        bar->setSingleStep(1);
        bar->setEnabled(visible < total);
    }
    bar->setValue(topLine);
}

void CCorvelTextView::UpdateHorizontalScrollBar(bool positionOnly) {
    QScrollBar* bar = HorizontalBar();
    if (bar == nullptr)
        return;
    // The range needs the widest line, measured over the whole text: a window being opened
    // loads, binds and sets the encoding of its view before it is shown, so the range waits
    // until then and the lines are measured once.
    if (!positionOnly && !isVisible()) {
        horizontalRangeWaiting = true;
        positionOnly = true;
    } else if (!positionOnly) {
        horizontalRangeWaiting = false;
    }
    QSignalBlocker blocker(bar);
    if (!positionOnly) {
        int visible = VisibleColumnCount();
        int widest = WidestLineColumns();
        if (visible >= widest && horizontalOffset > 0) {
            horizontalOffset = 0;
            update();
            PlaceCaret();
        }
        bar->setRange(0, std::max(0, widest - visible));
        bar->setPageStep(std::max(1, visible));
        bar->setSingleStep(1);
        bar->setEnabled(visible < widest);
    }
    bar->setValue(horizontalOffset);
}

void CCorvelTextView::ApplyScrollAction(bool vertical, int action) {
    QScrollBar* bar = vertical ? VerticalBar() : HorizontalBar();
    int current = vertical ? topLine : horizontalOffset;
    int page = bar->pageStep();
    int limit = vertical ? LineTotal() - 1 : WidestLineColumns() - 1;
    int value = current;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            value = current - 1;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            value = current + 1;
            break;
        case QAbstractSlider::SliderPageStepSub:
            value = current - page + 1;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            value = current + page - 1;
            break;
        case QAbstractSlider::SliderToMinimum:
            value = 0;
            break;
        case QAbstractSlider::SliderToMaximum:
            value = vertical ? LineTotal() - VisibleLineCount() + 1
                             : WidestLineColumns() - VisibleColumnCount() + 1;
            break;
        case QAbstractSlider::SliderMove:
            value = bar->sliderPosition();
            break;
        default:
            return;
    }
    value = std::clamp(value, 0, std::max(limit, 0));
    // The bar shows the position set here, not the one it would have moved to itself.
    bar->setSliderPosition(std::min(value, bar->maximum()));
    if (vertical) {
        ScrollToTopLine(value, true);
        SyncSiblings(true);
    } else {
        ScrollToColumn(value, true);
        PlaceCaret();
        SyncSiblings(false);
    }
}

// --- Panes of a split frame

void CCorvelTextView::SetPane(CPaneHost* host, int identifier) {
    paneHost = host;
    paneIdentifier = identifier;
    LayoutOwnScrollBars();
    visibleLinesCache = visibleColumnsCache = -1;
}

int CCorvelTextView::PaneRow() const {
    return (paneIdentifier - CPaneHost::kFirstPaneId) / 16;
}

int CCorvelTextView::PaneColumn() const {
    return (paneIdentifier - CPaneHost::kFirstPaneId) % 16;
}

void CCorvelTextView::SyncSiblings(bool vertical) {
    if (paneHost == nullptr)
        return;
    if (vertical) {
        for (int column = 0; column < paneHost->ColumnCount(); ++column) {
            CCorvelTextView* pane = paneHost->Pane(PaneRow(), column);
            if (pane != nullptr && pane != this)
                pane->FollowSibling(this, true);
        }
    } else {
        for (int row = 0; row < paneHost->RowCount(); ++row) {
            CCorvelTextView* pane = paneHost->Pane(row, PaneColumn());
            if (pane != nullptr && pane != this)
                pane->FollowSibling(this, false);
        }
    }
}

void CCorvelTextView::FollowSibling(CCorvelTextView* source, bool vertical) {
    if (source == this)
        return;
    if (vertical && source->topLine != topLine)
        ScrollToTopLine(source->topLine, false);
    else if (!vertical && source->horizontalOffset != horizontalOffset)
        ScrollToColumn(source->horizontalOffset, false);
    PlaceCaret();
}

