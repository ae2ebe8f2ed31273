#include "MainFrame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "ActionCmdUI.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "CommandPrompts.h"
#include "CommandTable.h"
#include "DocTemplate.h"
#include "Document.h"
#include "DroppedFiles.h"
#include "KeyboardLocks.h"
#include "MDITabs.h"
#include "ModalHost.h"
#include "SettingsStore.h"
#include "ShellIcons.h"
#include "View.h"
#include "WinApp.h"

namespace {

// The text shown in the prompt area while nothing is being pointed at.
const QString kIdleText = QStringLiteral("-");

struct Indicator {
    int id;
    const char* widthString;  // the pane is as wide as this text
    const char* text;         // what it shows while enabled, unless its handler says otherwise
};

const Indicator kIndicators[] = {
    {ID_INDICATOR_POSITION, "============", ""},
    {ID_INDICATOR_BLANK, "=========", ""},
    {ID_INDICATOR_LINE_ENDING, "========", ""},
    {ID_INDICATOR_ENCODING, "=====", ""},
    {ID_INDICATOR_OVR, "OVR", "OVR"},
    {ID_INDICATOR_READ, "Read", "Read"},
    {ID_INDICATOR_CAPS, "CAP", "CAP"},
    {ID_INDICATOR_NUM, "NUM", "NUM"},
    {ID_INDICATOR_SCRL, "SCRL", "SCRL"},
};

// A status pane as a command: what the update handlers say shows in its label.
class CPaneCmdUI : public CCmdUI {
public:
    CPaneCmdUI(int id, QLabel& label, QString defaultText)
        : CCmdUI(id), label(label), defaultText(std::move(defaultText)) {}

    // Shows the text only while the pane is enabled; a pane nobody answered for is empty.
    void Apply(bool answered) {
        QString text;
        if (answered && IsEnabled())
            text = TextState() ? QString::fromStdString(*TextState()) : defaultText;
        if (label.text() != text)
            label.setText(text);
    }

private:
    QLabel& label;
    QString defaultText;
};

// A status pane as wide as its width string while there is room. A window narrower than all the
// panes together clips them rather than grows: the main window's placement on a small screen is
// narrower than the panes' sum.
class CStatusPane : public QLabel {
public:
    CStatusPane(const QString& widthString, QWidget* parent) : QLabel(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setAlignment(Qt::AlignCenter);
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        width = fontMetrics().horizontalAdvance(widthString) + 2 * frameWidth() + 8;
    }
    QSize sizeHint() const override { return {width, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

private:
    int width = 0;
};

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

const std::vector<int>& CMainFrame::Indicators() {
    static const std::vector<int> ids = [] {
        std::vector<int> list;
        for (const Indicator& indicator : kIndicators)
            list.push_back(indicator.id);
        return list;
    }();
    return ids;
}

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

// --- Bars and menus

QAction* CMainFrame::MakeAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(StatusPrompt(id));
    action->setToolTip(ToolTipText(id));
    action->setIconVisibleInMenu(false);
    if (id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR)
        action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    return action;
}

void CMainFrame::CreateActions() {
    // One action per command: the menus of both kinds and the toolbar share it.
    std::vector<MenuItem> pending = MainFrameMenu();
    for (MenuItem& item : DocumentMenu())
        pending.push_back(std::move(item));
    while (!pending.empty()) {
        MenuItem item = std::move(pending.back());
        pending.pop_back();
        if (item.kind == MenuItem::Popup) {
            for (MenuItem& inner : item.items)
                pending.push_back(std::move(inner));
        } else if (item.kind == MenuItem::Command && actions.count(item.id) == 0) {
            actions[item.id] = MakeAction(item.id, QString::fromUtf8(item.text));
        }
    }
    for (int id : ToolbarLayout()) {
        if (id != 0 && actions.count(id) == 0)
            actions[id] = MakeAction(id, StatusPrompt(id));
    }
}

void CMainFrame::CreateToolBar() {
    toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(QSize(16, 15));
    toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    bool separatorDue = false;
    for (int id : ToolbarLayout()) {
        if (id == 0) {
            separatorDue = !toolBar->actions().isEmpty();
            continue;
        }
        if (separatorDue)
            toolBar->addSeparator();
        separatorDue = false;
        QAction* action = actions.at(id);
        action->setIcon(ToolbarIcon(id));
        toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, toolBar);
}

void CMainFrame::CreateStatusBar() {
    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(true);
    promptPane = new QLabel(kIdleText, statusBar);
    // A long prompt is cut, it does not widen the window.
    promptPane->setMinimumWidth(1);
    statusBar->addWidget(promptPane, 1);
    for (const Indicator& indicator : kIndicators) {
        auto* pane = new CStatusPane(QString::fromLatin1(indicator.widthString), statusBar);
        statusBar->addPermanentWidget(pane);
        indicatorPanes[indicator.id] = pane;
    }
    setStatusBar(statusBar);
}

void CMainFrame::ShowMenu(bool forDocument) {
    QMenuBar* bar = menuBar();
    bar->clear();
    // The menus of the other kind go once control is back in the event loop: an item of one of
    // them may be the command that is running.
    for (const QPointer<QMenu>& menu : popups) {
        if (menu)
            menu->deleteLater();
    }
    popups.clear();
    FillMenu(nullptr, forDocument ? DocumentMenu() : MainFrameMenu());
    documentMenuShown = forDocument;
}

// Fills the menu (the menu bar when menu is null), leaving out separators and popups that would
// stand empty or doubled.
void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuItem>& items) {
    bool separatorDue = false;
    auto add = [&](auto addItem) {
        if (separatorDue && menu != nullptr && !menu->actions().isEmpty())
            menu->addSeparator();
        separatorDue = false;
        addItem();
    };
    for (const MenuItem& item : items) {
        switch (item.kind) {
            case MenuItem::Separator:
                separatorDue = true;
                break;
            case MenuItem::Command:
                if (menu != nullptr) {
                    // The two menus share the action but may name it differently ("Информационная
                    // панель" and "Информационная строка"): it takes the name of the menu shown.
                    QAction* action = actions.at(item.id);
                    action->setText(QString::fromUtf8(item.text));
                    add([&] { menu->addAction(action); });
                }
                break;
            case MenuItem::RecentFiles:
            case MenuItem::WindowList: {
                // Filled each time the menu opens; this marker holds the place.
                add([&] {
                    QAction* marker = menu->addSeparator();
                    marker->setVisible(false);
                    marker->setData(item.kind == MenuItem::RecentFiles ? QStringLiteral("recent")
                                                                       : QStringLiteral("windows"));
                });
                break;
            }
            case MenuItem::Popup: {
                auto* popup = new QMenu(QString::fromUtf8(item.text), this);
                popups.emplace_back(popup);
                FillMenu(popup, item.items);
                if (popup->actions().isEmpty()) {
                    delete popup;
                    break;
                }
                connect(popup, &QMenu::aboutToShow, this, [this, popup] { UpdateMenu(popup); });
                connect(popup, &QMenu::aboutToHide, this, [this] { SetIdleText(); });
                if (menu == nullptr)
                    menuBar()->addMenu(popup);
                else
                    add([&] { menu->addMenu(popup); });
                break;
            }
        }
    }
}

void CMainFrame::UpdateMenu(QMenu* menu) {
    const QList<QAction*> entries = menu->actions();
    for (QAction* action : entries) {
        if (action->data().toString() == QLatin1String("recent"))
            FillRecentFiles(menu, action);
        else if (action->data().toString() == QLatin1String("windows"))
            FillWindowList(menu, action);
    }
    UpdateActions(menu->actions());
}

void CMainFrame::UpdateActions(const QList<QAction*>& list) {
    CView* view = GetActiveView();
    CCmdTarget* first = view != nullptr ? static_cast<CCmdTarget*>(view) : this;
    for (QAction* action : list) {
        // Markers, separators and entries of the lists carry no command.
        bool isCommand = false;
        int id = action->data().toInt(&isCommand);
        if (!isCommand || id == 0 || action->menu() != nullptr)
            continue;
        CActionCmdUI ui(id, *action);
        first->RouteUpdateCommandUI(ui);
    }
}

void CMainFrame::FillRecentFiles(QMenu* menu, QAction* marker) {
    // The entries of the last opening go; the list may have changed since.
    for (QAction* action : menu->actions()) {
        if (action->property("recentEntry").toBool())
            menu->removeAction(action), action->deleteLater();
    }
    CWinApp* application = CWinApp::Instance();
    CRecentFileList* recent = application != nullptr ? application->RecentFiles() : nullptr;
    QList<QAction*> entries;
    if (recent == nullptr || recent->Count() == 0) {
        auto* empty = new QAction(QStringLiteral("Recent File"), menu);
        empty->setEnabled(false);
        entries << empty;
    } else {
        for (int index = 0; index < recent->Count(); ++index) {
            int id = ID_FILE_MRU_FIRST + index;
            auto* entry = new QAction(recent->MenuText(index), menu);
            entry->setStatusTip(StatusPrompt(id));
            connect(entry, &QAction::triggered, this, [this, id] { OnCommand(id); });
            entries << entry;
        }
    }
    QList<QAction*> all = menu->actions();
    int at = all.indexOf(marker);
    QAction* before = at + 1 < all.size() ? all.at(at + 1) : nullptr;
    for (QAction* entry : entries) {
        entry->setProperty("recentEntry", true);
        menu->insertAction(before, entry);
    }
}

void CMainFrame::FillWindowList(QMenu* menu, QAction* marker) {
    for (QAction* action : menu->actions()) {
        if (action->property("windowEntry").toBool())
            menu->removeAction(action), action->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    QList<QAction*> entries;
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    entries << separator;
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(number++).arg(title), menu);
        entry->setCheckable(true);
        entry->setChecked(window == mdiArea->activeSubWindow());
        entry->setStatusTip(QStringLiteral("Перейти в это окно"));
        QPointer<QMdiSubWindow> target = window;
        connect(entry, &QAction::triggered, this, [this, target] {
            if (auto* child = qobject_cast<CChildFrame*>(target.data()))
                child->ActivateFrame();
        });
        entries << entry;
    }
    QList<QAction*> all = menu->actions();
    int at = all.indexOf(marker);
    QAction* before = at + 1 < all.size() ? all.at(at + 1) : nullptr;
    for (QAction* entry : entries) {
        entry->setProperty("windowEntry", true);
        menu->insertAction(before, entry);
    }
}

void CMainFrame::SetIdleText() {
    if (promptPane != nullptr && promptPane->text() != kIdleText)
        promptPane->setText(kIdleText);
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

CChildFrame* CMainFrame::CreateChildFrame(CDocument* document) {
    auto* child = new CChildFrame(document);
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

// --- Commands

bool CMainFrame::OnCommand(int id) {
    CView* view = GetActiveView();
    if (view != nullptr) {
        if (CDocument* document = view->GetDocument())
            document->SetNextCommandTarget(ActiveChild());
        return view->ExecuteCommand(id);
    }
    return ExecuteCommand(id);
}

void CMainFrame::UpdateCommandUI() {
    if (updating || !isVisible())
        return;
    updating = true;
    UpdateActions(toolBar->actions());
    CView* view = GetActiveView();
    CCmdTarget* first = view != nullptr ? static_cast<CCmdTarget*>(view) : this;
    for (const Indicator& indicator : kIndicators) {
        QLabel& label = *indicatorPanes.at(indicator.id);
        CPaneCmdUI ui(indicator.id, label, QString::fromLatin1(indicator.text));
        bool answered = false;
        if (indicator.id == ID_INDICATOR_CAPS || indicator.id == ID_INDICATOR_NUM ||
            indicator.id == ID_INDICATOR_SCRL) {
            KeyboardLocks locks = CurrentKeyboardLocks();
            ui.Enable(indicator.id == ID_INDICATOR_CAPS  ? locks.capsLock
                      : indicator.id == ID_INDICATOR_NUM ? locks.numLock
                                                         : locks.scrollLock);
            answered = true;
        } else {
            answered = first->RouteUpdateCommandUI(ui, false);
        }
        ui.Apply(answered);
    }
    updating = false;
}

QAction* CMainFrame::CommandAction(int id) const {
    auto found = actions.find(id);
    return found == actions.end() ? nullptr : found->second;
}

QString CMainFrame::PaneText(int id) const {
    if (id == 0)
        return promptPane->text();
    auto found = indicatorPanes.find(id);
    return found == indicatorPanes.end() ? QString() : found->second->text();
}

void CMainFrame::OnViewToolBar() {
    toolBar->setVisible(!toolBar->isVisible());
}

void CMainFrame::OnUpdateViewToolBar(CCmdUI& ui) {
    ui.SetCheck(toolBar->isVisible() ? CCmdUI::Checked : CCmdUI::Unchecked);
}

void CMainFrame::OnViewStatusBar() {
    statusBar->setVisible(!statusBar->isVisible());
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI& ui) {
    ui.SetCheck(statusBar->isVisible() ? CCmdUI::Checked : CCmdUI::Unchecked);
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

// --- Events

namespace {

// The window's place, beside the other sections of the settings.
constexpr char kPlacementKey[] = "MainWindow/Placement";

}  // namespace

void CMainFrame::RestorePlacement() {
    const QByteArray kept = CSettingsStore().value(QLatin1String(kPlacementKey)).toByteArray();
    if (!kept.isEmpty())
        restoreGeometry(kept);
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
        CSettingsStore().setValue(QLatin1String(kPlacementKey), saveGeometry());
    }
    event->accept();
}

namespace {

// Opening a file copies nothing away from its folder: a file manager told "moved" could remove
// the original.
void AnswerCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

}  // namespace

// Files dropped anywhere on the window (a text view, the tab strip, the area of the document
// windows) arrive here: the views take only text, the other widgets take no drops.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (HoldsLocalFiles(event->mimeData()))
        AnswerCopy(event);
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (HoldsLocalFiles(event->mimeData()))
        AnswerCopy(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr || !HoldsLocalFiles(event->mimeData()))
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    AnswerCopy(event);
    activateWindow();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            application->OpenDocumentFile(url.toLocalFile());
    }
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
        QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        QString text = tip.isEmpty() ? kIdleText : tip;
        if (promptPane != nullptr && promptPane->text() != text)
            promptPane->setText(text);
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
