#pragma once

#include <QPoint>
#include <Qt>

class CCorvelEditView;
class QMimeData;

// The drop side of an edit view: the five notifications a drag passing over the view sends, in
// the order drag enter, drag over, drop, drag leave, drag scroll. Each answers the drop effect it
// would give: a copy with Ctrl held, else a move, or none.
class CEditDropTargetImpl {
public:
    explicit CEditDropTargetImpl(CCorvelEditView& owner) : owner(owner) {}

    Qt::DropAction DragEnter(const QMimeData* data, bool ctrl, QPoint point);
    Qt::DropAction DragOver(const QMimeData* data, bool ctrl, QPoint point);
    bool Drop(const QMimeData* data, QPoint point);
    void DragLeave();
    Qt::DropAction DragScroll(bool ctrl, QPoint point);

    // Text to insert; files dragged from a file manager are not text here, they open as
    // documents (the main window takes them).
    static bool OffersText(const QMimeData* data);

private:
    CCorvelEditView& owner;
};
