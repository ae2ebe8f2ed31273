#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "ActionCmdUI.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "CommandPrompts.h"
#include "KeyboardLocks.h"
#include "MainFrame.h"
#include "ShellIcons.h"
#include "NetlistInsight.h"
#include "ProblemsList.h"
#include "SampleDoc.h"
#include "StructurePanel.h"
#include "View.h"
#include "WinApp.h"

// The main window's menus, toolbar and status bar, and how they follow the update handlers.

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

QAction* CMainFrame::MakeAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(StatusPrompt(id));
    action->setToolTip(ToolTipText(id));
    action->setIconVisibleInMenu(false);
    if (id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR || id == ID_VIEW_STRUCTURE)
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
void CMainFrame::ShowPrompt(const QString& tip) {
    const QString text = tip.isEmpty() ? kIdleText : tip;
    if (promptPane != nullptr && promptPane->text() != text)
        promptPane->setText(text);
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
    emit idlePassed();
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

void CMainFrame::OnViewStructure() {
    // Hidden, not merely out of sight while the window is: the main window may not show yet.
    const bool show = structurePanel->isHidden();
    structurePanel->setVisible(show);
    CStructurePanel::KeepVisible(show);
}

void CMainFrame::OnUpdateViewStructure(CCmdUI& ui) {
    ui.SetCheck(structurePanel->isHidden() ? CCmdUI::Unchecked : CCmdUI::Checked);
}

namespace {

// The netlist of the active window, when it is one that is analysed.
CSampleDoc* ActiveNetlist(const CMainFrame& frame) {
    CView* view = frame.GetActiveView();
    auto* document = dynamic_cast<CSampleDoc*>(view != nullptr ? view->GetDocument() : nullptr);
    return document != nullptr && CNetlistInsight::Of(*document)->Analysed() ? document
                                                                             : nullptr;
}

}  // namespace

void CMainFrame::OnViewProblems() {
    if (CSampleDoc* document = ActiveNetlist(*this))
        CProblemsList::Show(*document);
}

void CMainFrame::OnUpdateViewProblems(CCmdUI& ui) {
    ui.Enable(ActiveNetlist(*this) != nullptr);
}
