#include "MDITabs.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>

#include "ModalHost.h"

namespace {

// The sunken panel that holds the strip and the area; it lays them out whenever it is resized.
class CStripPanel : public QFrame {
public:
    CStripPanel(CMDITabs* strip, QWidget* parent) : QFrame(parent), strip(strip) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QFrame::resizeEvent(event);
        if (strip)
            strip->RecalcLayout();
    }

private:
    QPointer<CMDITabs> strip;
};

// The title as the window's own title bar shows it: a lone "[*]" stands for the modified mark,
// "[*][*]" for the text "[*]".
QString ShownTitle(const QWidget* window) {
    static const QString mark = QStringLiteral("[*]");
    QString title = window->windowTitle();
    qsizetype index = title.indexOf(mark);
    while (index != -1) {
        index += mark.size();
        int count = 1;
        while (title.indexOf(mark, index) == index) {
            ++count;
            index += mark.size();
        }
        if (count % 2 != 0) {
            const qsizetype last = title.lastIndexOf(mark, index - 1);
            title.replace(last, mark.size(),
                          window->isWindowModified() ? QStringLiteral("*") : QString());
            index = last + (window->isWindowModified() ? 1 : 0);
        }
        index = title.indexOf(mark, index);
    }
    return title.replace(QStringLiteral("[*][*]"), mark);
}

// The icon of the window's title bar: its own, or the style's window-menu icon when it has none.
QIcon WindowIcon(QMdiSubWindow* window) {
    QIcon icon = window->windowIcon();
    if (icon.isNull())
        icon = window->style()->standardIcon(QStyle::SP_TitleBarMenuButton, nullptr, window);
    return icon;
}

}  // namespace

CMDITabs::CMDITabs(QWidget* parent) : QTabBar(parent) {
    connect(this, &QTabBar::currentChanged, this, &CMDITabs::OnSelect);
}

CMDITabs::~CMDITabs() = default;

bool CMDITabs::CreateStrip(QMainWindow* frame, QMdiArea* client, int options) {
    onTop = (options & TabOptionTop) != 0;
    minWindows = (options & TabOptionHideSingle) != 0 ? 2 : 1;
    withIcons = (options & TabOptionIcons) != 0;

    setShape(onTop ? QTabBar::RoundedNorth : QTabBar::RoundedSouth);
    setFocusPolicy(Qt::NoFocus);
    setDrawBase(false);
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
    setIconSize(QSize(16, 16));
    stripHeight = (withIcons ? 27 : 26) + 2;

    if (client == nullptr && frame != nullptr)
        client = qobject_cast<QMdiArea*>(frame->centralWidget());

    auto* box = new CStripPanel(this, frame);
    panel = box;
    // Replacing the central widget deletes the old one: take the area out first.
    if (frame != nullptr && client != nullptr && frame->centralWidget() == client)
        frame->takeCentralWidget();
    setParent(box);
    if (client != nullptr) {
        client->setParent(box);
        client->setFrameShape(QFrame::NoFrame);
        client->show();
        mdiClient = client;
        // Windows come and go as children of the viewport.
        client->viewport()->installEventFilter(this);
        connect(client, &QMdiArea::subWindowActivated, this, &CMDITabs::ScheduleRefresh);
    }
    // The strip lies over the rows of the area it overlaps.
    raise();
    if (frame != nullptr)
        frame->setCentralWidget(box);
    RefreshTabs();
    RecalcLayout();
    return client != nullptr;
}

QMdiArea* CMDITabs::MdiClient() const {
    return mdiClient;
}

QMdiSubWindow* CMDITabs::WindowOfTab(int index) const {
    if (index < 0 || index >= static_cast<int>(windows.size()))
        return nullptr;
    return windows[index];
}

void CMDITabs::RecalcLayout() {
    auto* box = qobject_cast<QFrame*>(panel.data());
    if (box == nullptr)
        return;
    const QRect room = box->contentsRect();
    QRect area = room;
    if (count() < minWindows) {
        hide();
    } else {
        const int h = stripHeight - 2;
        stripWidth = room.width();
        if (onTop) {
            setGeometry(room.left(), room.top(), stripWidth, stripHeight);
            area.setTop(room.top() + h);
        } else {
            area.setBottom(room.bottom() - h);
            setGeometry(room.left(), area.bottom() + 1 - 2, stripWidth, stripHeight);
        }
        show();
        raise();
    }
    if (mdiClient)
        mdiClient->setGeometry(area);
}

void CMDITabs::RefreshTabs() {
    refreshPending = false;
    QList<QMdiSubWindow*> list;
    QMdiSubWindow* active = nullptr;
    if (mdiClient) {
        // Windows first seen together get their tabs in the order they were opened.
        list = mdiClient->subWindowList(QMdiArea::CreationOrder);
        // A window not shown yet (its file still loading) or already taken off gets no tab.
        list.removeIf([](QMdiSubWindow* window) { return window->isHidden(); });
        // The current window stays current while the main window is inactive, the active one
        // does not; with neither, the top-most window counts.
        active = mdiClient->currentSubWindow();
        if (active == nullptr && !list.isEmpty())
            active = mdiClient->subWindowList(QMdiArea::StackingOrder).constLast();
    }

    // Selecting tabs here must not activate windows again.
    const QSignalBlocker blocker(this);
    setUpdatesEnabled(false);
    for (int i = count() - 1; i >= 0; --i) {
        QMdiSubWindow* window = WindowOfTab(i);
        const qsizetype at = window != nullptr ? list.indexOf(window) : -1;
        if (at < 0) {
            if (i < static_cast<int>(windows.size()))
                windows.erase(windows.begin() + i);
            removeTab(i);
            continue;
        }
        setTabText(i, TabText(window));
        if (withIcons)
            setTabIcon(i, WindowIcon(window));
        if (window == active)
            setCurrentIndex(i);
        list.removeAt(at);
    }
    for (QMdiSubWindow* window : list) {
        windows.emplace_back(window);
        const int n = addTab(TabText(window));
        if (withIcons)
            setTabIcon(n, WindowIcon(window));
        if (window == active)
            setCurrentIndex(n);
        // Its title, icon and visibility changes reach the strip.
        window->installEventFilter(this);
    }
    if ((count() >= minWindows) == isHidden())
        RecalcLayout();
    setUpdatesEnabled(true);
    update();
}

QString CMDITabs::TabText(QMdiSubWindow* window) const {
    QString text;
    if (titleProvider)
        text = titleProvider(window);
    if (text.isNull())
        text = ShownTitle(window);
    return text.left(kMaxTabText);
}

void CMDITabs::ScheduleRefresh() {
    if (refreshPending)
        return;
    refreshPending = true;
    // Queued, with the strip as context: a refresh never runs inside a window's destruction, and
    // a pending one dies with the strip.
    QMetaObject::invokeMethod(this, &CMDITabs::RefreshTabs, Qt::QueuedConnection);
}

bool CMDITabs::eventFilter(QObject* watched, QEvent* event) {
    // Only the event's type is read: the watched object may be half destroyed.
    switch (event->type()) {
        case QEvent::ChildAdded:
        case QEvent::ChildRemoved:
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::ModifiedChange:
        case QEvent::Show:
        case QEvent::Hide:
            ScheduleRefresh();
            break;
        default:
            break;
    }
    return QTabBar::eventFilter(watched, event);
}

void CMDITabs::OnSelect(int index) {
    QMdiSubWindow* window = WindowOfTab(index);
    if (window != nullptr && mdiClient)
        mdiClient->setActiveSubWindow(window);
}

void CMDITabs::mouseDoubleClickEvent(QMouseEvent* event) {
    QTabBar::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (QMdiSubWindow* window = WindowOfTab(currentIndex()))
        window->showMaximized();
}

void CMDITabs::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    const int index = tabAt(event->pos());
    if (index < 0)
        return;
    const QPointer<QMdiSubWindow> window = WindowOfTab(index);
    setCurrentIndex(index);
    if (!window)
        return;
    if (mdiClient)
        mdiClient->setActiveSubWindow(window);
    const QPointer<QMenu> menu = window->systemMenu();
    if (!menu)
        return;
    bool ran = false;
    const auto connection = connect(menu, &QMenu::triggered, this, [&ran] { ran = true; });
    const QPointer<QAction> chosen = ShowWindowMenu(menu, event->globalPos());
    disconnect(connection);
    if (chosen && !ran && window)
        chosen->trigger();
}

QAction* CMDITabs::ShowWindowMenu(QMenu* menu, const QPoint& globalPos) {
    // The menu opens centred on the point vertically.
    return ModalHost().RunMenu(*menu, globalPos - QPoint(0, menu->sizeHint().height() / 2));
}

QSize CMDITabs::tabSizeHint(int index) const {
    // Tabs fill the strip; the rows that overlap the area become its edge when painted.
    QSize size = QTabBar::tabSizeHint(index);
    if (stripHeight > 0)
        size.setHeight(stripHeight);
    return size;
}

void CMDITabs::paintEvent(QPaintEvent* event) {
    if (count() == 0)
        return;
    const QColor face = palette().color(QPalette::Button);
    {
        QPainter painter(this);
        painter.fillRect(rect(), face);
    }
    QTabBar::paintEvent(event);

    // The rows over the area are the top (or bottom) edge of the panel that holds both: a band in
    // the face colour, and a line between it and the tabs that the selected tab breaks.
    QPainter painter(this);
    const int band = onTop ? height() - 2 : 0;
    painter.fillRect(0, band, width(), 2, face);
    const int lineRow = onTop ? band : band + 1;
    const QColor line = palette().color(onTop ? QPalette::Light : QPalette::Dark);
    const QRect selected = currentIndex() >= 0 ? tabRect(currentIndex()) : QRect();
    if (selected.isEmpty()) {
        painter.fillRect(0, lineRow, width(), 1, line);
    } else {
        painter.fillRect(0, lineRow, selected.left(), 1, line);
        painter.fillRect(selected.right() + 1, lineRow, width() - selected.right() - 1, 1, line);
    }
}
