#pragma once

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

#include "FrameWnd.h"
#include "KeyTable.h"
#include "ShellMenus.h"

class CChildFrame;
class CMDITabs;
class CStructurePanel;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;

// The main window: menus, toolbar, status bar, the tab strip and the area of document windows.
// Its commands go first to the active document window's active view, then along the chain: the
// view's document, the document window, this window, the application.
class CMainFrame : public QMainWindow, public CFrameWnd {
    Q_OBJECT

public:
    // The status-bar panes after the prompt area, left to right.
    static const std::vector<int>& Indicators();

    CMainFrame();
    ~CMainFrame() override;

    // Where the window starts on a screen of the given size: a tenth of the width from the
    // left edge times four, a tenth of the height from the top; four tenths wide, eight high.
    static QRect InitialPlacement(QSize screen);
    // Where the window stood when it was last closed, with its maximized state; the initial
    // placement stays when nothing was kept or what was kept no longer fits a screen.
    void RestorePlacement();

    // Where the cascade puts the window at the given place in its order, in an area of the given
    // size. Each window is two thirds of the area both ways, so that the windows behind show
    // their title bars and left edges; each steps down and right by `step` (a title bar's
    // height) from the one before, and the steps start again at the top left once the next
    // window would leave the area. A restored window that was never placed takes this too.
    static QRect CascadePlacement(QSize area, int index, int step);
    // The tile of "Рядом": the windows stacked top to bottom, each the full width of the area,
    // sharing its height equally; the pixels left over by rounding go to the lower windows.
    static std::vector<QRect> TilePlacement(QSize area, int count);

    QWidget* FrameWidget() override { return this; }
    CView* GetActiveView() const override;
    std::vector<CView*> FrameViews() const override { return {}; }
    void ActivateFrame() override;
    void DestroyFrame() override { close(); }
    // "Kivra - <document>", and the tab strip brought up to date.
    void OnUpdateFrameTitle() override;

    // A new document window in the area; not shown yet. With makeView, the window holds that one
    // view instead of the split frame of text views.
    CChildFrame* CreateChildFrame(CDocument* document,
                                  const std::function<CView*(QWidget*)>& makeView = {});
    CChildFrame* ActiveChild() const;
    QMdiArea* MdiArea() const { return mdiArea; }
    CMDITabs* TabStrip() const { return tabStrip; }
    QToolBar* ToolBar() const { return toolBar; }
    QStatusBar* StatusBar() const { return statusBar; }
    CStructurePanel* StructurePanel() const { return structurePanel; }
    // The action of a command in the menus and on the toolbar; null when none.
    QAction* CommandAction(int id) const;
    // The text a status pane shows (0 is the prompt area).
    QString PaneText(int id) const;
    const CKeyTable& Accelerators() const { return accelerators; }
    // Whether the menu bar shows the document menu (129) rather than the empty-window one (128).
    bool ShowsDocumentMenu() const { return documentMenuShown; }

    // Routes a command from the active view, or from this window when no document is open;
    // false when it was disabled or nobody handled it.
    bool OnCommand(int id);
    // Brings the toolbar buttons and status panes in line with the update handlers.
    void UpdateCommandUI();

    // --- Commands
    void OnViewToolBar();
    void OnUpdateViewToolBar(CCmdUI& ui);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI& ui);
    // Shows or hides the "Структура" panel; the choice is kept for the next start.
    void OnViewStructure();
    void OnUpdateViewStructure(CCmdUI& ui);
    // The "Проблемы" window of the active netlist; disabled for a window that is not one.
    void OnViewProblems();
    void OnUpdateViewProblems(CCmdUI& ui);
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnUpdateWindowCommand(CCmdUI& ui);

    static const CCommandTable& ClassCommands();

signals:
    // After each idle pass of UpdateCommandUI: for what follows the active view as the status
    // panes do.
    void idlePassed();

protected:
    const CCommandTable& Commands() const override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void CreateActions();
    QAction* MakeAction(int id, const QString& text);
    void ShowMenu(bool forDocument);
    void FillMenu(QMenu* menu, const std::vector<MenuItem>& items);
    void UpdateMenu(QMenu* menu);
    void FillRecentFiles(QMenu* menu, QAction* before);
    void FillWindowList(QMenu* menu, QAction* before);
    void OnSubWindowActivated();
    // When a window comes back from maximized, the windows in the normal state that still have
    // the place this window gave them (the user never moved or sized them) take their cascade
    // places in the area as it is now.
    void OnChildStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    // The document windows that cascade and tile lay out, in the order of their creation, each
    // back in its normal state; minimized windows stay icons.
    std::vector<QMdiSubWindow*> RestoreForLayout();
    int CascadeStep() const;
    // Brings the actions in line with the update handlers, from the active view or this window.
    void UpdateActions(const QList<QAction*>& list);
    void SetIdleText();
    // The prompt area shows the tip, or the idle text for an empty one.
    void ShowPrompt(const QString& tip);
    void SavePlacement();

    CMDITabs* tabStrip = nullptr;
    QStatusBar* statusBar = nullptr;
    QToolBar* toolBar = nullptr;
    CStructurePanel* structurePanel = nullptr;
    QMdiArea* mdiArea = nullptr;
    QLabel* promptPane = nullptr;
    // The document of the window last activated, only ever compared: it may be gone.
    const void* lastActiveDocument = nullptr;
    std::map<int, QLabel*> indicatorPanes;
    std::map<int, QAction*> actions;
    CKeyTable accelerators;
    // "Kivra - <document>": what OnUpdateFrameTitle made of the title.
    QString frameTitle;
    bool documentMenuShown = false;
    bool updating = false;
    // The popups of the menu bar shown now.
    std::vector<QPointer<QMenu>> popups;
};
