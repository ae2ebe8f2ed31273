#include "FrameWnd.h"

#include <QWidget>

#include "View.h"

CDocument* CFrameWnd::GetActiveDocument() const {
    CView* view = GetActiveView();
    return view != nullptr ? view->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, bool makeVisible) {
    for (CView* view : FrameViews())
        view->OnInitialUpdate();
    if (makeVisible)
        ActivateFrame();
}

CFrameWnd* CFrameWnd::FrameOf(QWidget* widget) {
    for (QWidget* at = widget; at != nullptr; at = at->parentWidget()) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(at))
            return frame;
    }
    return nullptr;
}
