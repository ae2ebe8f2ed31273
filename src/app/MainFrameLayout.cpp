#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>

#include "ChildFrame.h"
#include "CmdUI.h"
#include "DocTemplate.h"
#include "Document.h"
#include "MainFrame.h"
#include "SettingsStore.h"

// Where the main window and the document windows go: the first start, the kept placement, the
// cascade, the tile and the row of icons.

namespace {

// The window's place, beside the other sections of the settings.
constexpr char kPlacementKey[] = "MainWindow/Placement";

}  // namespace

QRect CMainFrame::InitialPlacement(QSize screen) {
    int u = screen.width() / 10;
    int v = screen.height() / 10;
    return QRect(4 * u, v, 4 * u, 8 * v);
}

QRect CMainFrame::CascadePlacement(QSize area, int index, int step) {
    const QSize size(area.width() * 2 / 3, area.height() * 2 / 3);
    step = std::max(step, 1);
    const int room = std::min(area.width() - size.width(), area.height() - size.height());
    const int places = std::max(room, 0) / step + 1;
    const int offset = (std::max(index, 0) % places) * step;
    return QRect(QPoint(offset, offset), size);
}

std::vector<QRect> CMainFrame::TilePlacement(QSize area, int count) {
    std::vector<QRect> places;
    for (int index = 0; index < count; ++index) {
        const int top = area.height() * index / count;
        const int bottom = area.height() * (index + 1) / count;
        places.emplace_back(0, top, area.width(), bottom - top);
    }
    return places;
}

void CMainFrame::RestorePlacement() {
    const QByteArray kept = CSettingsStore().value(QLatin1String(kPlacementKey)).toByteArray();
    if (!kept.isEmpty())
        restoreGeometry(kept);
}

void CMainFrame::SavePlacement() {
    CSettingsStore().setValue(QLatin1String(kPlacementKey), saveGeometry());
}

CChildFrame* CMainFrame::CreateChildFrame(CDocument* document,
                                          const std::function<CView*(QWidget*)>& makeView) {
    auto* child = makeView ? new CChildFrame(document, makeView) : new CChildFrame(document);
    child->SetNextCommandTarget(this);
    const int index = static_cast<int>(mdiArea->subWindowList().size());
    mdiArea->addSubWindow(child);
    // The window opens maximized; its normal place, for when it is restored, is its place in
    // the cascade rather than the small size the area would give it.
    child->PlaceByFrame(CascadePlacement(mdiArea->viewport()->size(), index, CascadeStep()));
    connect(child, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                OnChildStateChanged(oldState, newState);
            });
    connect(child, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
    return child;
}

void CMainFrame::OnChildStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState) {
    const auto sized = Qt::WindowMaximized | Qt::WindowMinimized;
    if (!(oldState & Qt::WindowMaximized) || (newState & sized))
        return;
    // The area may have grown or shrunk since the windows were placed: the restored window and
    // those behind it come into view together.
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList(QMdiArea::CreationOrder);
    const QSize area = mdiArea->viewport()->size();
    const int step = CascadeStep();
    for (int index = 0; index < windows.size(); ++index) {
        auto* child = qobject_cast<CChildFrame*>(windows[index]);
        if (child != nullptr && !(child->windowState() & sized) && child->StillPlacedByFrame())
            child->PlaceByFrame(CascadePlacement(area, index, step));
    }
}

int CMainFrame::CascadeStep() const {
    QStyleOptionTitleBar option;
    option.initFrom(mdiArea);
    return mdiArea->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, mdiArea);
}

void CMainFrame::OnWindowNew() {
    CChildFrame* child = ActiveChild();
    CDocument* document = child != nullptr ? child->GetActiveDocument() : nullptr;
    if (document == nullptr || document->GetDocTemplate() == nullptr)
        return;
    CDocTemplate* docTemplate = document->GetDocTemplate();
    CFrameWnd* frame = docTemplate->CreateNewFrame(document);
    docTemplate->InitialUpdateFrame(frame, document);
}

std::vector<QMdiSubWindow*> CMainFrame::RestoreForLayout() {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isVisible() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows.push_back(window);
    }
    return windows;
}

void CMainFrame::OnWindowCascade() {
    std::vector<QMdiSubWindow*> windows = RestoreForLayout();
    // The active window goes last, in front of the others with its whole frame in view.
    std::stable_partition(windows.begin(), windows.end(), [this](QMdiSubWindow* window) {
        return window != mdiArea->activeSubWindow();
    });
    const QSize area = mdiArea->viewport()->size();
    const int step = CascadeStep();
    for (std::size_t index = 0; index < windows.size(); ++index) {
        windows[index]->setGeometry(CascadePlacement(area, static_cast<int>(index), step));
        windows[index]->raise();
    }
}

void CMainFrame::OnWindowTile() {
    // In the order of creation, the order of the tabs and of the window list: a window's place
    // in the stack does not depend on which one was clicked last.
    std::vector<QMdiSubWindow*> windows = RestoreForLayout();
    // With icons in the area the stack ends above their row along the bottom edge, where
    // "Распределить значки" lines them up, so that none is hidden.
    QSize area = mdiArea->viewport()->size();
    int iconRow = 0;
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (window->isVisible() && window->isMinimized())
            iconRow = std::max(iconRow, window->height());
    }
    area.rheight() = std::max(area.height() - iconRow, 0);
    const std::vector<QRect> places = TilePlacement(area, static_cast<int>(windows.size()));
    for (std::size_t index = 0; index < windows.size(); ++index)
        windows[index]->setGeometry(places[index]);
}

void CMainFrame::OnWindowArrange() {
    // Minimized windows line up along the bottom edge of the area, left to right.
    int x = 0;
    for (QMdiSubWindow* window : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        QSize size = window->size();
        window->move(x, mdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::OnUpdateWindowCommand(CCmdUI& ui) {
    ui.Enable(mdiArea->activeSubWindow() != nullptr);
}
