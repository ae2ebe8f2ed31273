#pragma once

#include <QPointer>
#include <QTabBar>
#include <functional>
#include <utility>
#include <vector>

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The strip of tabs over (or under) the MDI area, one tab per sub-window, in the order the windows
// were first seen; the active window's tab is the selected one. Clicking a tab activates its
// window, double-clicking maximizes it, right-clicking opens its system menu. The strip and the
// area share one sunken panel, which the main window takes as its central widget.
class CMDITabs : public QTabBar {
    Q_OBJECT
public:
    enum TabOption {
        TabOptionTop = 1,         // the strip lies above the area, otherwise below it
        TabOptionIcons = 2,       // tabs carry their window's icon
        TabOptionHideSingle = 4,  // the strip shows from two windows on, otherwise from one
    };
    // The text of a window's tab; a null string keeps the window's own title.
    using TitleProvider = std::function<QString(QMdiSubWindow*)>;

    // The longest tab text; longer titles are cut.
    static constexpr int kMaxTabText = 255;

    explicit CMDITabs(QWidget* parent = nullptr);
    ~CMDITabs() override;

    // Puts the strip and the area into one panel and makes it the frame's central widget; with no
    // frame the caller places Panel() itself. With no area given, the frame's central widget is
    // taken when it is one. Returns false when there is no area; the strip then stays empty.
    // Called once.
    bool CreateStrip(QMainWindow* frame, QMdiArea* client, int options);
    // Brings the tabs in line with the area's sub-windows. The strip also calls it by itself, on
    // the next pass of the event loop, when a window comes, goes, is activated or retitled. Call it
    // from the event loop, never from a window's destroyed signal: while the main window is being
    // destroyed, the area may be half gone.
    void RefreshTabs();
    void SetTitleProvider(TitleProvider provider) { titleProvider = std::move(provider); }

    // The panel holding the strip and the area, or none before CreateStrip.
    QWidget* Panel() const { return panel; }
    QMdiArea* MdiClient() const;
    // The window of a tab; none when the window has gone since the last refresh.
    QMdiSubWindow* WindowOfTab(int index) const;
    int StripHeight() const { return stripHeight; }
    int StripWidth() const { return stripWidth; }
    int MinWindows() const { return minWindows; }
    bool WithIcons() const { return withIcons; }
    bool OnTop() const { return onTop; }

    // Places the strip and the area in the panel: the strip is hidden with fewer than
    // `minWindows` tabs and the area then fills the panel.
    void RecalcLayout();

protected:
    // Shows a window's system menu at a global point (through the modal host) and returns the
    // chosen item, none when dismissed. The chosen item runs once, whether or not the menu ran it
    // itself.
    virtual QAction* ShowWindowMenu(QMenu* menu, const QPoint& globalPos);

    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelect(int index);
    QString TabText(QMdiSubWindow* window) const;
    void ScheduleRefresh();

    QPointer<QMdiArea> mdiClient;
    int stripHeight = 0;
    int stripWidth = 0;
    int minWindows = 1;
    bool withIcons = false;
    bool onTop = true;

    std::vector<QPointer<QMdiSubWindow>> windows;  // the window of each tab, by index
    TitleProvider titleProvider;
    QPointer<QWidget> panel;
    bool refreshPending = false;
};
