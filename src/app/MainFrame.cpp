#include "MainFrame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStatusTipEvent>

#include "ChildFrame.h"
#include "CommandIds.h"
#include "CommandPrompts.h"
#include "CommandTable.h"
#include "Document.h"
#include "MDITabs.h"
#include "ModalHost.h"
#include "ShellIcons.h"
#include "StructurePanel.h"
#include "View.h"
#include "WinApp.h"

// The main window's construction, the routing of its commands and its events. The menus and bars
// are in MainFrameBars.cpp, the layout of the document windows in MainFrameLayout.cpp, dropped
// files in MainFrameDrops.cpp.

namespace {

CKeyTable MainFrameAccelerators() {
    const auto shift = Qt::ShiftModifier;
    const auto ctrl = Qt::ControlModifier;
    const auto alt = Qt::AltModifier;
    CKeyTable table;
    table.Bind(Qt::Key_F9, ID_ANALYSIS_START);
    table.Bind(Qt::Key_F4, ID_ANALYSIS_NEXT_ERROR);
    table.Bind(shift | Qt::Key_F4, ID_ANALYSIS_PREVIOUS_ERROR);
    table.Bind(ctrl | Qt::Key_C, ID_EDIT_COPY);
    table.Bind(ctrl | Qt::Key_Insert, ID_EDIT_COPY);
    table.Bind(shift | Qt::Key_Delete, ID_EDIT_CUT);
    table.Bind(ctrl | Qt::Key_X, ID_EDIT_CUT);
    table.Bind(ctrl | Qt::Key_V, ID_EDIT_PASTE);
    table.Bind(shift | Qt::Key_Insert, ID_EDIT_PASTE);
    table.Bind(alt | Qt::Key_Backspace, ID_EDIT_UNDO);
    table.Bind(ctrl | Qt::Key_Z, ID_EDIT_UNDO);
    table.Bind(ctrl | Qt::Key_N, ID_FILE_NEW);
    table.Bind(ctrl | Qt::Key_O, ID_FILE_OPEN);
    table.Bind(ctrl | Qt::Key_P, ID_FILE_PRINT);
    table.Bind(ctrl | Qt::Key_S, ID_FILE_SAVE);
    table.Bind(Qt::Key_F6, ID_NEXT_PANE);
    table.Bind(shift | Qt::Key_F6, ID_PREV_PANE);
    return table;
}

}  // namespace

CMainFrame::CMainFrame() : accelerators(MainFrameAccelerators()) {
    setWindowTitle(ApplicationTitle());
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(InitialPlacement(screen->geometry().size()));

    mdiArea = new QMdiArea(this);
    mdiArea->setViewMode(QMdiArea::SubWindowView);
    tabStrip = new CMDITabs(this);
    tabStrip->CreateStrip(this, mdiArea, CMDITabs::TabOptionTop | CMDITabs::TabOptionIcons);
    // A second window of a document shows the plain title of the document on its tab.
    tabStrip->SetTitleProvider([](QMdiSubWindow* window) -> QString {
        auto* child = qobject_cast<CChildFrame*>(window);
        CDocument* document = child != nullptr ? child->GetActiveDocument() : nullptr;
        if (document == nullptr)
            return QString();
        return document->GetTitle() + (document->IsModified() ? QStringLiteral("*") : QString());
    });

    CreateActions();
    CreateToolBar();
    CreateStatusBar();
    structurePanel = new CStructurePanel(*this);
    addDockWidget(Qt::LeftDockWidgetArea, structurePanel);
    structurePanel->setVisible(CStructurePanel::KeptVisible());
    ShowMenu(false);

    connect(mdiArea, &QMdiArea::subWindowActivated, this, [this] { OnSubWindowActivated(); });
    // The idle pass: toolbar and status bar follow the update handlers whenever the program
    // is about to wait for input.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { UpdateCommandUI(); });
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
}

const CCommandTable& CMainFrame::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CMainFrame>(CFrameWnd::ClassCommands())
            .On(ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar)
            .OnUpdate(ID_VIEW_TOOLBAR, &CMainFrame::OnUpdateViewToolBar)
            .On(ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar)
            .OnUpdate(ID_VIEW_STATUS_BAR, &CMainFrame::OnUpdateViewStatusBar)
            .On(ID_VIEW_STRUCTURE, &CMainFrame::OnViewStructure)
            .OnUpdate(ID_VIEW_STRUCTURE, &CMainFrame::OnUpdateViewStructure)
            .On(ID_VIEW_PROBLEMS, &CMainFrame::OnViewProblems)
            .OnUpdate(ID_VIEW_PROBLEMS, &CMainFrame::OnUpdateViewProblems)
            .On(ID_WINDOW_NEW, &CMainFrame::OnWindowNew)
            .OnUpdate(ID_WINDOW_NEW, &CMainFrame::OnUpdateWindowCommand)
            .On(ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade)
            .OnUpdate(ID_WINDOW_CASCADE, &CMainFrame::OnUpdateWindowCommand)
            .On(ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTile)
            .OnUpdate(ID_WINDOW_TILE_HORZ, &CMainFrame::OnUpdateWindowCommand)
            .On(ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrange)
            .OnUpdate(ID_WINDOW_ARRANGE, &CMainFrame::OnUpdateWindowCommand)
            .Build();
    return table;
}

const CCommandTable& CMainFrame::Commands() const {
    return ClassCommands();
}

// --- Frames and activation

CView* CMainFrame::GetActiveView() const {
    CChildFrame* child = ActiveChild();
    return child != nullptr ? child->GetActiveView() : nullptr;
}

CChildFrame* CMainFrame::ActiveChild() const {
    return qobject_cast<CChildFrame*>(mdiArea->activeSubWindow());
}

void CMainFrame::ActivateFrame() {
    show();
    raise();
    activateWindow();
}

void CMainFrame::OnSubWindowActivated() {
    CChildFrame* child = ActiveChild();
    CDocument* document = child != nullptr ? child->GetActiveDocument() : nullptr;
    // The document's commands that it does not handle go on to the window it is active in.
    if (document != nullptr)
        document->SetNextCommandTarget(child);
    // A message about one document says nothing about another.
    if (document != lastActiveDocument) {
        lastActiveDocument = document;
        SetIdleText();
    }
    bool anyWindow = !mdiArea->subWindowList().isEmpty();
    if (anyWindow != documentMenuShown)
        ShowMenu(anyWindow);
    // Every action follows the commands' new target, not only those in sight: an action left
    // enabled from the last document would still run a document command with none open.
    QList<QAction*> all;
    for (const auto& [id, action] : actions)
        all << action;
    UpdateActions(all);
    OnUpdateFrameTitle();
    structurePanel->FollowActiveWindow();
}

void CMainFrame::OnUpdateFrameTitle() {
    CChildFrame* child = ActiveChild();
    CDocument* document = child != nullptr ? child->GetActiveDocument() : nullptr;
    QString title = ApplicationTitle();
    if (document != nullptr)
        title += QStringLiteral(" - ") + document->GetTitle() + QStringLiteral("[*]");
    frameTitle = title;
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(document != nullptr && document->IsModified());
    if (tabStrip != nullptr)
        tabStrip->RefreshTabs();
}

// --- Commands and events

bool CMainFrame::OnCommand(int id) {
    CView* view = GetActiveView();
    if (view != nullptr) {
        if (CDocument* document = view->GetDocument())
            document->SetNextCommandTarget(ActiveChild());
        return view->ExecuteCommand(id);
    }
    return ExecuteCommand(id);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CWinApp* application = CWinApp::Instance();
    if (application != nullptr) {
        if (!application->SaveAllModified()) {
            event->ignore();
            return;
        }
        application->CloseAllDocuments();
        application->SaveStdProfileSettings();
        SavePlacement();
    }
    event->accept();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && !frameTitle.isEmpty() &&
        windowTitle() != frameTitle) {
        // A maximized sub-window appends " - [its title]" to the main window's title, which
        // already names the document.
        setWindowTitle(frameTitle);
        return true;
    }
    if (event->type() == QEvent::StatusTip) {
        ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// The accelerators of the main window work wherever the focus is in it, after the focused
// view's own keys.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int id = accelerators.CommandFor(*key);
    if (id == 0)
        return false;
    if (auto* view = dynamic_cast<CView*>(widget);
        view != nullptr && view->KeyTable().CommandFor(*key) != 0)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        OnCommand(id);
    return true;
}
