#include "ChildFrame.h"

#include "MainFrame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <algorithm>

#include "CommandIds.h"
#include "CommandTable.h"
#include "Document.h"
#include "MainFrame.h"
#include "SampleView.h"
#include "ShellIcons.h"
#include "SplitterWnd.h"

CChildFrame::CChildFrame(CDocument* document, QWidget* parent)
    : QMdiSubWindow(parent), frameDocument(document) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(DocumentIcon());
    splitter = new CSplitterWnd(
        [document](QWidget* paneParent) -> CCorvelTextView* {
            auto* view = new CSampleView(paneParent);
            if (document != nullptr)
                document->AddView(view);
            return view;
        },
        this);
    setWidget(splitter);
    setMinimumSize(2 * CSplitterWnd::kMinPaneSize, 2 * CSplitterWnd::kMinPaneSize);
}

CChildFrame::CChildFrame(CDocument* document, const std::function<CView*(QWidget*)>& makeView,
                         QWidget* parent)
    : QMdiSubWindow(parent), frameDocument(document) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(DocumentIcon());
    singleView = makeView(this);
    if (document != nullptr)
        document->AddView(singleView);
    setWidget(singleView);
    setMinimumSize(2 * CSplitterWnd::kMinPaneSize, 2 * CSplitterWnd::kMinPaneSize);
}

CChildFrame::~CChildFrame() {
    // Views that still show the document let go of it before they are destroyed.
    if (frameDocument != nullptr) {
        for (CView* view : FrameViews()) {
            if (view->GetDocument() == frameDocument)
                frameDocument->RemoveView(view);
        }
    }
}

const CCommandTable& CChildFrame::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CChildFrame>(CFrameWnd::ClassCommands())
            .On(ID_NEXT_PANE, &CChildFrame::OnNextPane)
            .On(ID_PREV_PANE, &CChildFrame::OnPrevPane)
            .Build();
    return table;
}

const CCommandTable& CChildFrame::Commands() const {
    return ClassCommands();
}

CView* CChildFrame::GetActiveView() const {
    if (singleView != nullptr)
        return singleView;
    return splitter != nullptr ? splitter->ActivePane() : nullptr;
}

std::vector<CView*> CChildFrame::FrameViews() const {
    std::vector<CView*> views;
    if (singleView != nullptr)
        views.push_back(singleView);
    if (splitter == nullptr)
        return views;
    for (int row = 0; row < splitter->RowCount(); ++row) {
        for (int column = 0; column < splitter->ColumnCount(); ++column) {
            if (CCorvelTextView* pane = splitter->Pane(row, column))
                views.push_back(pane);
        }
    }
    return views;
}

void CChildFrame::ActivateFrame() {
    // Every document window opens and activates maximized, whatever state was asked for.
    showMaximized();
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    if (CView* view = GetActiveView())
        view->setFocus();
}

void CChildFrame::PlaceByFrame(const QRect& rect) {
    setGeometry(rect);
    // The minimum size may have won over the rectangle asked for.
    framePlacement = geometry();
}

bool CChildFrame::StillPlacedByFrame() const {
    return framePlacement.isValid() && geometry() == framePlacement;
}

void CChildFrame::DestroyFrame() {
    if (destroying)
        return;
    destroying = true;
    QMdiArea* area = mdiArea();
    // The area hands the maximized state on only when the user switches windows, not when the
    // maximized window goes: the window activated in its place must not come up restored.
    const bool handOnMaximized =
        area != nullptr && area->activeSubWindow() == this && isMaximized();
    if (frameDocument != nullptr) {
        for (CView* view : FrameViews())
            frameDocument->RemoveView(view);
        CDocument* document = frameDocument;
        frameDocument = nullptr;
        // The document's commands must not go on to a window that is gone.
        if (document->NextCommandTarget() == this)
            document->SetNextCommandTarget(nullptr);
        // The other windows of the document renumber themselves.
        document->UpdateFrameCounts();
    }
    hide();
    if (area != nullptr) {
        area->removeSubWindow(this);
        QMdiSubWindow* next = area->activeSubWindow();
        if (handOnMaximized && next != nullptr && !next->isMaximized())
            next->showMaximized();
    }
    // The command that closes the window may still run in one of its views.
    deleteLater();
}

void CChildFrame::OnUpdateFrameTitle() {
    if (frameDocument == nullptr)
        return;
    QString title = frameDocument->GetTitle();
    std::vector<CFrameWnd*> frames = frameDocument->Frames();
    if (frames.size() > 1) {
        auto found = std::find(frames.begin(), frames.end(), this);
        title += QStringLiteral(":%1").arg(found - frames.begin() + 1);
    }
    // Qt puts "*" in place of "[*]" while the window is marked modified.
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(frameDocument->IsModified());
    if (auto* main = qobject_cast<CMainFrame*>(window()))
        main->OnUpdateFrameTitle();
}

void CChildFrame::OnNextPane() {
    if (splitter != nullptr)
        splitter->ActivateNext(false);
}

void CChildFrame::OnPrevPane() {
    if (splitter != nullptr)
        splitter->ActivateNext(true);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    // The window goes away through DestroyFrame, never by Qt's own close.
    event->ignore();
    if (destroying)
        return;
    CDocument* document = frameDocument;
    if (document == nullptr) {
        DestroyFrame();
        return;
    }
    if (!document->CanCloseFrame(this))
        return;
    if (document->Frames().size() <= 1)
        document->OnCloseDocument();
    else
        DestroyFrame();
}
