// The drop side of drag and drop in CCorvelEditView, and the end of a drag that started here.

#include <QDragEnterEvent>
#include <QMimeData>

#include "CorvelEditView.h"
#include "EditDropTargetImpl.h"

namespace {

// What the source permits: a move it does not allow becomes a copy.
Qt::DropAction Permitted(Qt::DropAction answer, Qt::DropActions possible) {
    if (answer == Qt::MoveAction && !(possible & Qt::MoveAction))
        return possible & Qt::CopyAction ? Qt::CopyAction : Qt::IgnoreAction;
    if (answer == Qt::CopyAction && !(possible & Qt::CopyAction))
        return Qt::IgnoreAction;
    return answer;
}

bool CtrlHeld(const QDropEvent* event) {
    return event->modifiers() & Qt::ControlModifier;
}

}  // namespace

Qt::DropActions CCorvelEditView::AllowedDragEffects() const {
    // Text dragged out of a read-only text can only be copied.
    return IsEditable() ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
}

void CCorvelEditView::DragFinished(Qt::DropAction effect) {
    if (draggingFromHere && effect == Qt::MoveAction && buffer != nullptr) {
        buffer->DeleteRange(this, dragSourceStart.y, dragSourceStart.x, dragSourceEnd.y,
                            dragSourceEnd.x, EditAction::DragAndDrop);
    }
}

void CCorvelEditView::ShowDropCaret(QPoint point) {
    if (!dropCaretShown) {
        caretHidden = true;
        PlaceCaret();
        savedCaret = caretPosition;
        dropCaretShown = true;
    }
    dropPosition = PointToText(point);
    update(dropCaretRect);
    if (ColumnOfChar(dropPosition.y, dropPosition.x) < horizontalOffset) {
        dropCaretRect = QRect();
        return;
    }
    QPoint at = TextToPoint(dropPosition);
    dropCaretRect = QRect(at.x(), at.y(), 2, LineHeight());
    update(dropCaretRect);
}

void CCorvelEditView::HideDropCaret() {
    if (!dropCaretShown)
        return;
    update(dropCaretRect);
    dropCaretRect = QRect();
    PlaceCursor(savedCaret);
    caretHidden = false;
    PlaceCaret();
    dropCaretShown = false;
}

void CCorvelEditView::ScrollForDrag(QPoint point) {
    constexpr int kEdge = 5;
    QRect client = ClientRect();
    int top = client.top(), bottom = client.top() + client.height();
    int left = client.left(), right = client.left() + client.width();
    if (point.y() < top + kEdge) {
        HideDropCaret();
        NudgeViewUp();
    } else if (point.y() >= bottom - kEdge) {
        HideDropCaret();
        NudgeViewDown();
    } else if (point.x() < left + MarginWidth() + kEdge) {
        HideDropCaret();
        NudgeViewLeft();
    } else if (point.x() >= right - kEdge) {
        HideDropCaret();
        NudgeViewRight();
    } else {
        return;
    }
    repaint();
    ShowDropCaret(point);
}

bool CCorvelEditView::InsertDroppedText(const QMimeData* data, QPoint point) {
    std::string text;
    dropLeftOut.clear();
    if (!TextOfData(data, encoding, text, &dropLeftOut))
        return false;
    if (!dropLeftOut.isEmpty()) {
        // Told once the drop is over: a message box inside the drop would hold up the source.
        QMetaObject::invokeMethod(
            this, [missing = dropLeftOut] { ReportCharactersNotInserted(missing); },
            Qt::QueuedConnection);
    }
    TextPosition position = PointToText(point);
    // The dragged text may come from another view of this buffer, another pane of the window.
    if (InDraggedText(buffer, position)) {
        // Dropped onto the dragged text itself: nothing moves.
        SetAnchorPoint(position);
        SelectRange(position, position);
        PlaceCursor(position);
        BringIntoView(position);
        return false;
    }
    if (text.empty())
        return false;
    int endLine, endCharacter;
    if (!buffer->InsertAt(this, position.y, position.x, text.c_str(), endLine, endCharacter,
                          EditAction::DragAndDrop)) {
        return false;
    }
    TextPosition end{endCharacter, endLine};
    SetAnchorPoint(position);
    SelectRange(position, end);
    PlaceCursor(end);
    BringIntoView(end);
    return true;
}

// Qt's drag events are turned into the five notifications of the drop target. Every enter and
// move is preceded by a scroll step; the release asks once more, and a refused answer leaves.

void CCorvelEditView::dragEnterEvent(QDragEnterEvent* event) {
    QPoint point = event->position().toPoint();
    dropTarget->DragScroll(CtrlHeld(event), point);
    Qt::DropAction answer = Permitted(
        dropTarget->DragEnter(event->mimeData(), CtrlHeld(event), point), event->possibleActions());
    if (!CEditDropTargetImpl::OffersText(event->mimeData())) {
        // Left to the main window, which opens dropped files.
        event->ignore();
        return;
    }
    // Accepted even when refused here, so that the moves keep coming and can answer anew.
    event->setDropAction(answer == Qt::IgnoreAction ? Qt::CopyAction : answer);
    event->accept();
    if (answer == Qt::IgnoreAction)
        event->setDropAction(Qt::IgnoreAction);
}

void CCorvelEditView::dragMoveEvent(QDragMoveEvent* event) {
    QPoint point = event->position().toPoint();
    dropTarget->DragScroll(CtrlHeld(event), point);
    Qt::DropAction answer = Permitted(
        dropTarget->DragOver(event->mimeData(), CtrlHeld(event), point), event->possibleActions());
    if (answer == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(answer);
    event->accept();
}

void CCorvelEditView::dragLeaveEvent(QDragLeaveEvent* event) {
    dropTarget->DragLeave();
    event->accept();
}

void CCorvelEditView::dropEvent(QDropEvent* event) {
    QPoint point = event->position().toPoint();
    Qt::DropAction answer = Permitted(
        dropTarget->DragOver(event->mimeData(), CtrlHeld(event), point), event->possibleActions());
    if (answer == Qt::IgnoreAction) {
        dropTarget->DragLeave();
        event->ignore();
        return;
    }
    if (dropTarget->Drop(event->mimeData(), point)) {
        // The source deletes what it moved: never when part of it did not arrive here.
        if (answer == Qt::MoveAction && !dropLeftOut.isEmpty())
            answer = Permitted(Qt::CopyAction, event->possibleActions());
        event->setDropAction(answer);
        event->accept();
    } else {
        // The source deletes nothing.
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}
