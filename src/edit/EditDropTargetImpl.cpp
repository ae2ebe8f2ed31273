#include "EditDropTargetImpl.h"

#include <QMimeData>

#include "CorvelEditView.h"
#include "DroppedFiles.h"

bool CEditDropTargetImpl::OffersText(const QMimeData* data) {
    return CCorvelTextView::HasTextData(data) && !HoldsLocalFiles(data);
}

Qt::DropAction CEditDropTargetImpl::DragEnter(const QMimeData* data, bool ctrl, QPoint point) {
    if (!OffersText(data)) {
        owner.HideDropCaret();
        return Qt::IgnoreAction;
    }
    owner.ShowDropCaret(point);
    return ctrl ? Qt::CopyAction : Qt::MoveAction;
}

Qt::DropAction CEditDropTargetImpl::DragOver(const QMimeData* data, bool ctrl, QPoint point) {
    if (!owner.IsEditable() || !OffersText(data)) {
        owner.HideDropCaret();
        return Qt::IgnoreAction;
    }
    owner.ShowDropCaret(point);
    return ctrl ? Qt::CopyAction : Qt::MoveAction;
}

bool CEditDropTargetImpl::Drop(const QMimeData* data, QPoint point) {
    owner.HideDropCaret();
    if (!owner.IsEditable() || !OffersText(data))
        return false;
    return owner.InsertDroppedText(data, point);
}

void CEditDropTargetImpl::DragLeave() {
    owner.HideDropCaret();
}

Qt::DropAction CEditDropTargetImpl::DragScroll(bool ctrl, QPoint point) {
    owner.ScrollForDrag(point);
    return ctrl ? Qt::CopyAction : Qt::MoveAction;
}
