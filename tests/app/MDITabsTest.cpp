// The tab strip over the MDI area: tabs follow the windows, clicks on them reach the windows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EventLoop.h"
#include "MDITabs.h"

namespace {

using kivra_test::Settle;

constexpr int kTop = CMDITabs::TabOptionTop;
constexpr int kIcons = CMDITabs::TabOptionIcons;
constexpr int kHideSingle = CMDITabs::TabOptionHideSingle;

// The window menu is scripted: the test picks the item instead of a user.
class ScriptedTabs : public CMDITabs {
public:
    std::function<QAction*(QMenu*)> pick = [](QMenu*) { return nullptr; };
    QMenu* shownMenu = nullptr;

protected:
    QAction* ShowWindowMenu(QMenu* menu, const QPoint&) override {
        shownMenu = menu;
        return pick(menu);
    }
};

QAction* CloseItem(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (QKeySequence::keyBindings(QKeySequence::Close).contains(action->shortcut()))
            return action;
    return nullptr;
}

class TabStrip : public ::testing::Test {
protected:
    void Create(int options) {
        frame = std::make_unique<QMainWindow>();
        area = new QMdiArea;
        frame->setCentralWidget(area);
        tabs = new ScriptedTabs;
        ASSERT_TRUE(tabs->CreateStrip(frame.get(), area, options));
        ASSERT_EQ(frame->centralWidget(), tabs->Panel());
        frame->resize(640, 400);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QApplication::setActiveWindow(frame.get());
    }
    QMdiSubWindow* Add(const QString& title) {
        QMdiSubWindow* window = area->addSubWindow(new QWidget);
        window->setWindowTitle(title);
        window->show();
        return window;
    }
    // As the main frame opens a window: the tabs are refreshed at once.
    QMdiSubWindow* Open(const QString& title) {
        QMdiSubWindow* window = Add(title);
        tabs->RefreshTabs();
        return window;
    }
    QStringList Texts() const {
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        return texts;
    }
    void Click(int tab, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint at = tabs->tabRect(tab).center();
        QTest::mouseClick(frame->windowHandle(), button, {}, tabs->mapTo(frame.get(), at));
    }

    std::unique_ptr<QMainWindow> frame;
    QMdiArea* area = nullptr;
    ScriptedTabs* tabs = nullptr;
};

TEST_F(TabStrip, TabsKeepTheOrderTheirWindowsWereFirstSeenIn) {
    Create(kTop | kIcons);
    QMdiSubWindow* a = Open("a.cir");
    QMdiSubWindow* b = Open("b.cir");
    QMdiSubWindow* c = Open("c.cir");
    EXPECT_EQ(Texts(), QStringList({"a.cir", "b.cir", "c.cir"}));
    EXPECT_EQ(tabs->currentIndex(), 2);
    area->setActiveSubWindow(a);
    tabs->RefreshTabs();
    EXPECT_EQ(Texts(), QStringList({"a.cir", "b.cir", "c.cir"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    // Closing the active window: the area goes back to the one active before, and the strip
    // follows its choice rather than making its own.
    area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    area->setActiveSubWindow(b);
    tabs->RefreshTabs();
    b->close();
    ASSERT_EQ(area->activeSubWindow(), a);
    std::vector<QMdiSubWindow*> activated;
    const auto watch = QObject::connect(area, &QMdiArea::subWindowActivated,
                                        [&activated](QMdiSubWindow* w) { activated.push_back(w); });
    Settle();
    tabs->RefreshTabs();
    QObject::disconnect(watch);
    EXPECT_TRUE(activated.empty());
    EXPECT_EQ(Texts(), QStringList({"a.cir", "c.cir"}));
    EXPECT_EQ(tabs->WindowOfTab(0), a);
    EXPECT_EQ(tabs->WindowOfTab(1), c);
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(TabStrip, WindowsFirstSeenTogetherAreInOpeningOrder) {
    Create(kTop | kIcons);
    Add("a.cir");
    Add("b.cir");
    QMdiSubWindow* c = Add("c.cir");
    tabs->RefreshTabs();
    EXPECT_EQ(Texts(), QStringList({"a.cir", "b.cir", "c.cir"}));
    EXPECT_EQ(tabs->WindowOfTab(tabs->currentIndex()), c);
}

TEST_F(TabStrip, FollowsWindowsOnItsOwnOnceEventsRun) {
    Create(kTop | kIcons);
    QMdiSubWindow* window = Add("Untitled1");
    Settle();
    EXPECT_EQ(Texts(), QStringList({"Untitled1"}));
    EXPECT_TRUE(tabs->isVisible());
    window->setWindowTitle("saved.cir");
    Settle();
    EXPECT_EQ(Texts(), QStringList({"saved.cir"}));
    window->close();
    Settle();
    EXPECT_EQ(tabs->count(), 0);
    EXPECT_FALSE(tabs->isVisible());
}

// A document window exists before its file is read; while a message about that file is up, it
// must not show as a tab without a title.
TEST_F(TabStrip, AWindowNotYetShownGetsNoTab) {
    Create(kTop | kIcons);
    Open("a.cir");
    QMdiSubWindow* loading = area->addSubWindow(new QWidget);
    tabs->RefreshTabs();
    EXPECT_EQ(Texts(), QStringList({"a.cir"}));
    loading->setWindowTitle("b.cir");
    loading->show();
    tabs->RefreshTabs();
    EXPECT_EQ(Texts(), QStringList({"a.cir", "b.cir"}));
}

TEST_F(TabStrip, TabTextIsTheShownTitleOrTheProvidedOneCutTo255) {
    struct Case {
        const char* name;
        QString title;
        bool modified;
        bool provider;
        QString provided;
        QString expected;
    };
    const QString longText(300, 'x');
    const Case cases[] = {
        {"modified mark", "net.cir[*]", true, false, {}, "net.cir*"},
        {"unmodified mark", "net.cir[*]", false, false, {}, "net.cir"},
        {"escaped mark", "a[*][*]b", false, false, {}, "a[*]b"},
        {"long title", longText, false, false, {}, QString(255, 'x')},
        {"provided title", "net.cir:2", false, true, "net.cir", "net.cir"},
        {"nothing provided", "kivra.log", false, true, QString(), "kivra.log"},
        {"long provided title", "n.cir", false, true, longText, QString(255, 'x')},
    };
    Create(kTop | kIcons);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tabs->SetTitleProvider(
            c.provider ? CMDITabs::TitleProvider([&c](QMdiSubWindow*) { return c.provided; })
                       : CMDITabs::TitleProvider());
        QMdiSubWindow* window = Add(c.title);
        window->setWindowModified(c.modified);
        tabs->RefreshTabs();
        EXPECT_EQ(tabs->tabText(tabs->count() - 1), c.expected);
    }
}

TEST_F(TabStrip, ShownFromMinWindowsOnAndOtherwiseTheAreaFillsThePanel) {
    struct Case {
        int options;
        int windows;
        bool shown;
    };
    const Case cases[] = {
        {kTop | kIcons, 0, false},
        {kTop | kIcons, 1, true},
        {kTop, 1, true},
        {kTop | kIcons | kHideSingle, 1, false},
        {kTop | kIcons | kHideSingle, 2, true},
        {kIcons, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "options " << c.options << ", windows " << c.windows);
        Create(c.options);
        for (int i = 0; i < c.windows; ++i)
            Open(QString("w%1").arg(i));
        const QRect room = tabs->Panel()->contentsRect();
        EXPECT_EQ(tabs->isVisible(), c.shown);
        if (!c.shown) {
            EXPECT_EQ(area->geometry(), room);
            continue;
        }
        // The strip overlaps the area by two rows.
        const int h = (c.options & kIcons) != 0 ? 27 : 26;
        if ((c.options & kTop) != 0) {
            EXPECT_EQ(tabs->geometry(), QRect(room.left(), room.top(), room.width(), h + 2));
            EXPECT_EQ(area->geometry(), room.adjusted(0, h, 0, 0));
        } else {
            EXPECT_EQ(tabs->geometry(),
                      QRect(room.left(), room.bottom() - h - 1, room.width(), h + 2));
            EXPECT_EQ(area->geometry(), room.adjusted(0, 0, 0, -h));
        }
    }
}

TEST_F(TabStrip, TheSelectedTabAloneIsJoinedToTheArea) {
    for (int options : {kTop, 0}) {
        SCOPED_TRACE(options);
        Create(options);
        Open("a.cir");
        Open("b.cir");
        const QImage image = tabs->grab().toImage();
        const bool top = options == kTop;
        const int row = top ? tabs->height() - 2 : 1;
        const QRgb edge = tabs->palette().color(top ? QPalette::Light : QPalette::Dark).rgb();
        const QRgb face = tabs->palette().color(QPalette::Button).rgb();
        EXPECT_EQ(image.pixel(tabs->tabRect(1).center().x(), row), face);
        EXPECT_EQ(image.pixel(tabs->tabRect(0).center().x(), row), edge);
    }
}

TEST_F(TabStrip, TabsCarryTheirWindowsIconsOnlyWithIcons) {
    QPixmap red(16, 16);
    red.fill(Qt::red);
    for (int options : {kTop | kIcons, kTop}) {
        SCOPED_TRACE(options);
        Create(options);
        Open("a.cir")->setWindowIcon(QIcon(red));
        Open("b.cir");
        tabs->RefreshTabs();
        const bool icons = (options & kIcons) != 0;
        EXPECT_EQ(tabs->tabIcon(1).isNull(), !icons);
        const QImage image = tabs->grab(tabs->tabRect(0)).toImage();
        int redPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                redPixels += image.pixelColor(x, y) == QColor(Qt::red) ? 1 : 0;
        EXPECT_EQ(redPixels, icons ? 16 * 16 : 0);
    }
}

TEST_F(TabStrip, ClickActivatesAndDoubleClickMaximizesTheTabsWindow) {
    Create(kTop | kIcons);
    QMdiSubWindow* a = Open("a.cir");
    QMdiSubWindow* b = Open("b.cir");
    Open("c.cir");
    Click(0);
    EXPECT_EQ(area->activeSubWindow(), a);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_FALSE(a->isMaximized());
    Click(1);
    QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(area->activeSubWindow(), b);
    EXPECT_TRUE(b->isMaximized());
    EXPECT_FALSE(a->isMaximized());
}

TEST_F(TabStrip, RightClickActivatesTheTabsWindowAndRunsItsSystemMenu) {
    Create(kTop | kIcons);
    QPointer<QMdiSubWindow> a = Open("a.cir");
    QMdiSubWindow* b = Open("b.cir");
    Open("c.cir");
    QMdiSubWindow* activeAtMenu = nullptr;
    tabs->pick = [&](QMenu*) {
        activeAtMenu = area->activeSubWindow();
        return nullptr;
    };
    Click(1, Qt::RightButton);
    EXPECT_EQ(tabs->shownMenu, b->systemMenu());
    EXPECT_EQ(activeAtMenu, b);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(b->isVisible());

    tabs->pick = CloseItem;
    Click(0, Qt::RightButton);
    Settle();
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(Texts(), QStringList({"b.cir", "c.cir"}));

    tabs->shownMenu = nullptr;
    const QPoint offTabs = tabs->tabRect(1).center() + QPoint(tabs->tabRect(1).width(), 0);
    QTest::mouseClick(frame->windowHandle(), Qt::RightButton, {},
                      tabs->mapTo(frame.get(), offTabs));
    EXPECT_EQ(tabs->shownMenu, nullptr);
    EXPECT_EQ(Texts(), QStringList({"b.cir", "c.cir"}));
}

TEST_F(TabStrip, ATabWhoseWindowIsGoneDoesNothing) {
    Create(kTop | kIcons);
    Open("a.cir");
    QMdiSubWindow* b = Open("b.cir");
    Open("c.cir");
    delete b;
    ASSERT_EQ(tabs->count(), 3);
    const QPoint at = tabs->tabRect(1).center();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, at);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, tabs->mapToGlobal(at));
    QApplication::sendEvent(tabs, &menuEvent);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->shownMenu, nullptr);
    Settle();
    EXPECT_EQ(Texts(), QStringList({"a.cir", "c.cir"}));
}

TEST_F(TabStrip, SurvivesItsFrameAreaOrItselfGoingFirst) {
    for (const char* first : {"frame", "area", "strip"}) {
        SCOPED_TRACE(first);
        Create(kTop | kIcons);
        Open("a.cir");
        QMdiSubWindow* b = Open("b.cir");
        Open("c.cir");
        b->setWindowTitle("b2.cir");  // leaves a refresh pending
        if (first == std::string("frame")) {
            frame.reset();
        } else if (first == std::string("area")) {
            delete area;
            Settle();
            EXPECT_EQ(tabs->count(), 0);
            EXPECT_FALSE(tabs->isVisible());
        } else {
            delete tabs;
            b->close();
        }
        Settle();
        frame.reset();
        Settle();
    }
}

}  // namespace
