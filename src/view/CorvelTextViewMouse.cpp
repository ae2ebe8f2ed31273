// The mouse, the auto-scroll timer, the wheel, the cursor shapes and the focus of CCorvelTextView.

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "CorvelTextView.h"

namespace {

bool Before(TextPosition a, TextPosition b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

constexpr int kAutoScrollInterval = 100;  // milliseconds

}  // namespace

CCorvelTextView* CCorvelTextView::dragSourceView = nullptr;

TextPosition CCorvelTextView::EndOfLineWithBreak(int line) {
    int last = LineTotal() - 1;
    if (line < last)
        return {0, line + 1};
    return {LineLength(last), last};
}

void CCorvelTextView::StartMouseSelection(bool word, bool line) {
    grabMouse();
    scrollTimer.start(kAutoScrollInterval, this);
    mouseSelecting = true;
    wordSelecting = word;
    lineSelecting = line;
}

void CCorvelTextView::EndMouseSelection() {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    scrollTimer.stop();
    mouseSelecting = false;
}

void CCorvelTextView::SelectWordsTo(TextPosition q) {
    TextPosition start, end;
    if (!Before(q, anchor)) {
        start = WordStartBefore(anchor.x, anchor.y);
        end = WordEndFrom(q.x, q.y);
    } else {
        start = WordStartBefore(q.x, q.y);
        end = WordEndFrom(anchor.x, anchor.y);
    }
    caretPosition = end;
    pendingSelection = {start, end};
}

void CCorvelTextView::mousePressEvent(QMouseEvent* event) {
    CView::mousePressEvent(event);
    if (dragWaiting) {
        CancelDragWait();  // another button while a drag waits ends it, changing nothing
        return;
    }
    QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        TextPosition q = PointToText(NearestBoundaryPoint(point));
        NormalizeSelection();
        if (!InSelection(q)) {
            caretPosition = anchor = q;
            SelectRange(q, q);
            BringIntoView(q);
            PlaceCaret();
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    bool shift = event->modifiers() & Qt::ShiftModifier;
    bool ctrl = event->modifiers() & Qt::ControlModifier;

    if (point.x() < MarginWidth()) {
        point = NearestBoundaryPoint(point);
        if (ctrl) {
            SelectWholeText();
            return;
        }
        int line = PointToText(point).y;
        caretPosition = {0, line};
        if (!shift)
            anchor = {0, line};
        TextPosition farEnd = EndOfLineWithBreak(anchor.y);
        PlaceCaret();
        BringIntoView(caretPosition);
        SelectRange(farEnd, caretPosition);
        StartMouseSelection(false, true);
        return;
    }

    NormalizeSelection();
    if (InSelection(PointToText(point))) {
        dragPending = true;  // a drag may start at the next move; a release collapses
        return;
    }
    caretPosition = PointToText(NearestBoundaryPoint(point));
    if (!shift)
        anchor = caretPosition;
    TextPosition start = anchor, end = caretPosition;
    if (ctrl) {
        SelectWordsTo(caretPosition);
        start = pendingSelection.first;
        end = pendingSelection.second;
    }
    PlaceCaret();
    BringIntoView(caretPosition);
    SelectRange(start, end);
    StartMouseSelection(ctrl, false);
}

void CCorvelTextView::mouseMoveEvent(QMouseEvent* event) {
    CView::mouseMoveEvent(event);
    QPoint point = event->position().toPoint();
    if (!mouseSelecting) {
        UpdateCursorShape(point);
    } else {
        bool inMargin = point.x() < MarginWidth();
        TextPosition q = PointToText(NearestBoundaryPoint(point));
        TextPosition start = anchor, end = q;
        if (lineSelecting && inMargin) {
            if (!Before(q, anchor)) {
                start = {0, anchor.y};
                end = EndOfLineWithBreak(q.y);
            } else {
                start = EndOfLineWithBreak(anchor.y);
                end = {0, q.y};
            }
            caretPosition = {0, q.y};
            PlaceCaret();
            SelectRange(start, end);
            return;
        }
        if (lineSelecting) {
            // Out of the margin the rest of the drag selects characters.
            setCursor(Qt::IBeamCursor);
            wordSelecting = lineSelecting = false;
        }
        if (wordSelecting) {
            SelectWordsTo(q);
            start = pendingSelection.first;
            end = pendingSelection.second;
        } else {
            caretPosition = q;
        }
        PlaceCaret();
        SelectRange(start, end);
    }
    if (dragPending) {
        dragPending = false;
        BeginDrag(point);
    } else if (dragWaiting) {
        QPoint moved = point - dragWaitPoint;
        int distance = QApplication::startDragDistance();
        if (std::abs(moved.x()) > distance || std::abs(moved.y()) > distance)
            RunWaitingDrag();
    }
}

void CCorvelTextView::keyPressEvent(QKeyEvent* event) {
    if (dragWaiting && event->key() == Qt::Key_Escape) {
        CancelDragWait();
        event->accept();
        return;
    }
    CView::keyPressEvent(event);
}

void CCorvelTextView::mouseReleaseEvent(QMouseEvent* event) {
    CView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (dragWaiting) {
        CancelDragWait();  // released before the drag began: nothing changes
        return;
    }
    QPoint point = NearestBoundaryPoint(event->position().toPoint());
    if (mouseSelecting) {
        TextPosition q = PointToText(point);
        TextPosition start = anchor, end = caretPosition;
        if (lineSelecting) {
            if (!Before(q, anchor)) {
                start = {0, anchor.y};
                end = EndOfLineWithBreak(q.y);
                caretPosition = end;
            } else {
                start = EndOfLineWithBreak(anchor.y);
                end = {0, q.y};
                caretPosition = end;
            }
        } else if (wordSelecting) {
            SelectWordsTo(q);
            start = pendingSelection.first;
            end = pendingSelection.second;
        }
        BringIntoView(caretPosition);
        PlaceCaret();
        SelectRange(start, end);
        EndMouseSelection();
    }
    if (dragPending) {
        dragPending = false;
        caretPosition = PointToText(point);
        BringIntoView(caretPosition);
        PlaceCaret();
        SelectRange(caretPosition, caretPosition);
    }
}

void CCorvelTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (mouseSelecting)
        return;  // a double click while a selection is being made changes nothing
    if (event->button() != Qt::LeftButton) {
        CView::mouseDoubleClickEvent(event);
        return;
    }
    caretPosition = anchor = PointToText(NearestBoundaryPoint(event->position().toPoint()));
    TextPosition start = WordStartBefore(caretPosition.x, caretPosition.y);
    TextPosition end = WordEndFrom(caretPosition.x, caretPosition.y);
    caretPosition = end;
    PlaceCaret();
    BringIntoView(caretPosition);
    SelectRange(start, end);
    StartMouseSelection(true, false);
}

void CCorvelTextView::AutoScrollTick() {
    QPoint point = mapFromGlobal(QCursor::pos());
    if (autoScrollPointForTesting)
        point = *autoScrollPointForTesting;
    QRect client = ClientRect();
    int height = LineHeight();

    int newTop = topLine;
    if (point.y() < client.top() - height)
        newTop -= 3;
    else if (point.y() < client.top())
        newTop -= 1;
    else if (point.y() >= client.bottom() + 1 + height)
        newTop += 3;
    else if (point.y() >= client.bottom() + 1)
        newTop += 1;
    newTop = std::clamp(newTop, 0, LineTotal() - 1);
    bool changed = false;
    if (newTop != topLine) {
        ScrollToTopLine(newTop, true);
        SyncSiblings(true);
        changed = true;
    }

    int newOffset = horizontalOffset;
    if (point.x() < client.left())
        newOffset -= 1;
    else if (point.x() >= client.right() + 1)
        newOffset += 1;
    newOffset = std::clamp(newOffset, 0, std::max(0, WidestLineColumns() - 1));
    if (newOffset != horizontalOffset) {
        ScrollToColumn(newOffset, true);
        PlaceCaret();
        SyncSiblings(false);
        changed = true;
    }
    if (!changed)
        return;
    TextPosition q = PointToText(NearestBoundaryPoint(point));
    if (!(q == caretPosition)) {
        caretPosition = q;
        PlaceCaret();
    }
    SelectRange(anchor, caretPosition);
}

void CCorvelTextView::wheelEvent(QWheelEvent* event) {
    int lines = 0;
    // Parts of a line add up until they make one, in whichever unit the device counts; a turn
    // the other way starts afresh.
    auto accumulate = [&lines](int& remainder, int delta, int unit) {
        if ((remainder < 0 && delta > 0) || (remainder > 0 && delta < 0))
            remainder = 0;
        remainder += delta;
        lines = remainder / unit;
        remainder -= lines * unit;
    };
    if (int pixels = event->pixelDelta().y(); pixels != 0) {
        // A touchpad says how far the text should move, in pixels.
        accumulate(wheelPixelRemainder, pixels, LineHeight());
        wheelAngleRemainder = 0;
    } else {
        // One notch (120) is three lines; a smooth wheel sends parts of a notch.
        accumulate(wheelAngleRemainder, static_cast<std::int16_t>(event->angleDelta().y()), 40);
        wheelPixelRemainder = 0;
    }
    int newTop = std::clamp(topLine - lines, 0, LineTotal() - 1);
    if (newTop != topLine) {
        topLine = newTop;
        update(ClientRect());
        if (caretWanted)
            PlaceCaret();
        // The other panes of the row share the first line.
        SyncSiblings(true);
    }
    UpdateVerticalScrollBar(true);
    event->accept();
}

void CCorvelTextView::UpdateCursorShape(QPoint point) {
    if (point.x() < MarginWidth() && ClientRect().contains(point)) {
        setCursor(MarginCursor());
        return;
    }
    NormalizeSelection();
    setCursor(HasSelection() && InSelection(PointToText(point)) ? Qt::ArrowCursor
                                                                : Qt::IBeamCursor);
}

QCursor CCorvelTextView::MarginCursor() {
    // A mirrored arrow pointing up and to the right, its hot spot at the tip.
    static const QCursor cursor = [] {
        QPixmap arrow(32, 32);
        arrow.fill(Qt::transparent);
        QPainter painter(&arrow);
        QPolygon shape({QPoint(31, 0), QPoint(31, 20), QPoint(26, 15), QPoint(21, 24),
                        QPoint(18, 22), QPoint(23, 13), QPoint(16, 13)});
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawPolygon(shape);
        return QCursor(arrow, 31, 0);
    }();
    return cursor;
}

void CCorvelTextView::focusInEvent(QFocusEvent* event) {
    CView::focusInEvent(event);
    focused = true;
    if (HasSelection())
        RepaintLines(selectionStart.y, selectionEnd.y);
    PlaceCaret();
}

void CCorvelTextView::focusOutEvent(QFocusEvent* event) {
    CView::focusOutEvent(event);
    focused = false;
    PlaceCaret();
    if (HasSelection())
        RepaintLines(selectionStart.y, selectionEnd.y);
    if (mouseSelecting)
        EndMouseSelection();
    CancelDragWait();
}

void CCorvelTextView::BeginDrag(QPoint point) {
    QMimeData* data = MakeDragData();
    if (data == nullptr)
        return;
    StartDragFromHere();
    waitingDragData.reset(data);
    dragWaiting = true;
    dragWaitPoint = point;
    dragDelayTimer.start(QApplication::startDragTime(), this);
}

void CCorvelTextView::StartDragFromHere() {
    // The drop and the removal of the dragged text are one undo step.
    if (buffer != nullptr)
        buffer->OpenUndoGroup(false);
    draggingFromHere = true;
    dragSourceView = this;
}

bool CCorvelTextView::InDraggedText(const CCorvelTextBuffer* shown, TextPosition position) {
    // Drags are modal, so at most one view is dragging at a time.
    const CCorvelTextView* source = dragSourceView;
    if (source == nullptr || !source->draggingFromHere || source->buffer == nullptr ||
        source->buffer != shown) {
        return false;
    }
    return !Before(position, source->dragSourceStart) && Before(position, source->dragSourceEnd);
}

void CCorvelTextView::RunWaitingDrag() {
    dragWaiting = false;
    dragDelayTimer.stop();
    auto* drag = new QDrag(this);
    drag->setMimeData(waitingDragData.release());
    Qt::DropAction effect = drag->exec(AllowedDragEffects(), Qt::MoveAction);
    if (effect != Qt::IgnoreAction)
        DragFinished(effect);
    EndDrag();
}

void CCorvelTextView::CancelDragWait() {
    if (!dragWaiting)
        return;
    dragWaiting = false;
    dragDelayTimer.stop();
    waitingDragData.reset();
    EndDrag();
}

void CCorvelTextView::EndDrag() {
    draggingFromHere = false;
    if (dragSourceView == this)
        dragSourceView = nullptr;
    if (buffer != nullptr)
        buffer->CloseUndoGroup(this);
}
