// Document windows in the main window's area: what restoring, closing, cascade and tile do to
// them, and the commands that need a document while none is open.

#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegion>
#include <QStyle>

#include <algorithm>
#include <vector>

#include "ChildFrame.h"
#include "CommandIds.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "ShellFixture.h"

namespace {

using kivra_test::Settle;

class WindowLayoutTest : public kivra_test::ShellFixture {
protected:
    CMainFrame& Frame() const { return *application->MainFrame(); }
    QMdiArea& Area() const { return *Frame().MdiArea(); }
    QRect AreaRect() const { return QRect(QPoint(0, 0), Area().viewport()->size()); }

    std::vector<QMdiSubWindow*> Windows() const {
        const QList<QMdiSubWindow*> list = Area().subWindowList(QMdiArea::CreationOrder);
        return {list.begin(), list.end()};
    }

    // The program starts with one untitled document; the others come from "New".
    void OpenDocuments(int count) {
        while (static_cast<int>(Windows().size()) < count) {
            ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
            Settle();
        }
    }

    void ExpectSensiblyRestored(QMdiSubWindow* window) const {
        SCOPED_TRACE(window->windowTitle().toStdString());
        EXPECT_FALSE(window->isMaximized());
        EXPECT_GE(window->width(), AreaRect().width() / 2);
        EXPECT_GE(window->height(), AreaRect().height() / 2);
        EXPECT_TRUE(AreaRect().contains(window->geometry()));
    }
};

// --- Restoring

TEST_F(WindowLayoutTest, RestoredWindowsTakeASizeOfTheAreaAsItIsNow) {
    OpenDocuments(3);
    // The main window starts at a fraction of the screen; the user makes it larger.
    Frame().resize(Frame().size() * 2);
    Settle();
    QMdiSubWindow* active = Area().activeSubWindow();
    ASSERT_TRUE(active->isMaximized());
    ASSERT_EQ(active->size(), AreaRect().size());

    active->showNormal();
    Settle();
    // The windows behind were restored when the area moved the maximized state on.
    for (QMdiSubWindow* window : Windows())
        ExpectSensiblyRestored(window);
    EXPECT_EQ(Area().activeSubWindow(), active);
}

TEST_F(WindowLayoutTest, WindowPlacedByTheUserGoesBackThereWhenRestored) {
    OpenDocuments(1);
    QMdiSubWindow* window = Windows().front();
    window->showNormal();
    const QRect chosen(10, 20, AreaRect().width() / 2, AreaRect().height() / 3);
    window->setGeometry(chosen);
    Settle();

    window->showMaximized();
    Settle();
    ASSERT_EQ(window->size(), AreaRect().size());
    window->showNormal();
    Settle();
    EXPECT_EQ(window->geometry(), chosen);
}

// --- Closing

TEST_F(WindowLayoutTest, ClosingTheMaximizedWindowLeavesTheOthersMaximized) {
    OpenDocuments(3);
    QMdiSubWindow* closing = Area().activeSubWindow();
    ASSERT_TRUE(closing->isMaximized());

    closing->close();  // as its close button does
    Settle();
    ASSERT_EQ(Windows().size(), 2u);
    QMdiSubWindow* next = Area().activeSubWindow();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->isMaximized());
    EXPECT_EQ(next->geometry(), AreaRect());

    // The one behind comes up maximized too when its tab is chosen.
    QMdiSubWindow* other = Windows()[0] == next ? Windows()[1] : Windows()[0];
    Area().setActiveSubWindow(other);
    Settle();
    EXPECT_TRUE(other->isMaximized());
    EXPECT_EQ(other->geometry(), AreaRect());
}

TEST_F(WindowLayoutTest, ClosingATiledWindowLeavesTheOthersWhereTheyAre) {
    OpenDocuments(3);
    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_TILE_HORZ));
    Settle();
    std::vector<QMdiSubWindow*> windows = Windows();
    const QRect first = windows[0]->geometry();
    const QRect last = windows[2]->geometry();

    Area().setActiveSubWindow(windows[1]);
    windows[1]->close();
    Settle();
    ASSERT_EQ(Windows().size(), 2u);
    EXPECT_FALSE(windows[0]->isMaximized());
    EXPECT_FALSE(windows[2]->isMaximized());
    EXPECT_EQ(windows[0]->geometry(), first);
    EXPECT_EQ(windows[2]->geometry(), last);
}

// --- Tile and cascade

TEST_F(WindowLayoutTest, TileStacksTheWindowsFullWidthInTheOrderOfCreation) {
    OpenDocuments(3);
    ASSERT_TRUE(Area().activeSubWindow()->isMaximized());

    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_TILE_HORZ));
    Settle();
    const QRect area = AreaRect();
    int top = 0;
    for (QMdiSubWindow* window : Windows()) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        EXPECT_FALSE(window->isMaximized());
        EXPECT_EQ(window->x(), 0);
        EXPECT_EQ(window->width(), area.width());
        // Each starts where the one above ends: no gap, no overlap.
        EXPECT_EQ(window->y(), top);
        EXPECT_NEAR(window->height(), area.height() / 3, 1);
        top = window->geometry().bottom() + 1;
    }
    EXPECT_EQ(top, area.height());

    // A document opened afterwards still comes up maximized.
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
    Settle();
    EXPECT_TRUE(Area().activeSubWindow()->isMaximized());
}

TEST_F(WindowLayoutTest, TileLeavesIconsAsTheyAreAndInSight) {
    OpenDocuments(3);
    // The maximized window's own button makes it an icon.
    QMdiSubWindow* icon = Area().activeSubWindow();
    ASSERT_EQ(icon, Windows()[2]);
    icon->showMinimized();
    Settle();
    ASSERT_TRUE(icon->isMinimized());
    const QRect iconPlace = icon->geometry();

    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_TILE_HORZ));
    Settle();
    EXPECT_TRUE(icon->isMinimized());
    EXPECT_EQ(icon->geometry(), iconPlace);
    QMdiSubWindow* upper = Windows()[0];
    QMdiSubWindow* lower = Windows()[1];
    EXPECT_EQ(upper->geometry().top(), 0);
    EXPECT_EQ(lower->geometry().top(), upper->geometry().bottom() + 1);
    EXPECT_EQ(lower->geometry().bottom() + 1, iconPlace.top());
}

TEST_F(WindowLayoutTest, CascadeFromMaximizedRestoresAndStepsDiagonally) {
    OpenDocuments(3);
    QMdiSubWindow* active = Area().activeSubWindow();
    ASSERT_TRUE(active->isMaximized());

    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_CASCADE));
    Settle();
    std::vector<QMdiSubWindow*> windows = Windows();
    for (QMdiSubWindow* window : windows)
        ExpectSensiblyRestored(window);
    std::sort(windows.begin(), windows.end(),
              [](QMdiSubWindow* a, QMdiSubWindow* b) { return a->y() < b->y(); });
    EXPECT_EQ(windows[0]->pos(), QPoint(0, 0));
    const QPoint step = windows[1]->pos() - windows[0]->pos();
    EXPECT_GT(step.x(), 0);
    EXPECT_EQ(step.x(), step.y());
    EXPECT_EQ(windows[2]->pos() - windows[1]->pos(), step);
    EXPECT_EQ(windows[0]->size(), windows[2]->size());
    // The active window keeps the focus and comes last, in front of the others.
    EXPECT_EQ(windows[2], active);
    EXPECT_EQ(Area().activeSubWindow(), active);
    EXPECT_EQ(Area().subWindowList(QMdiArea::StackingOrder).last(), active);
}

// Cascaded windows as the user sees them, back to front: each inside the area, each a step down
// and right from the one behind it until the next step would leave the area, where the cascade
// starts again at the top left; the title bar of each in view.
TEST_F(WindowLayoutTest, CascadeKeepsEveryWindowInTheAreaWithItsTitleBarInView) {
    // The area at a size the test knows: twelve windows do not fit in one diagonal.
    Frame().resize(480, 400);
    Settle();
    const int titleBar = Area().style()->pixelMetric(QStyle::PM_TitleBarHeight);
    ASSERT_GT(titleBar, 0);
    for (int count : {3, 12}) {
        SCOPED_TRACE(testing::Message() << count << " windows");
        OpenDocuments(count);
        QMdiSubWindow* active = Area().activeSubWindow();
        ASSERT_NE(active, nullptr);
        ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_CASCADE));
        Settle();
        const QRect area = AreaRect();
        const QList<QMdiSubWindow*> stack = Area().subWindowList(QMdiArea::StackingOrder);
        ASSERT_EQ(stack.size(), count);
        EXPECT_EQ(stack.front()->pos(), QPoint(0, 0));
        int startsAgain = 0;
        QPoint firstStep;
        std::vector<int> passStarts = {0};
        for (int index = 0; index < count; ++index) {
            const QRect place = stack[index]->geometry();
            SCOPED_TRACE(testing::Message()
                         << "window " << index << " at " << place.x() << "," << place.y());
            EXPECT_FALSE(stack[index]->isMaximized());
            EXPECT_FALSE(stack[index]->isMinimized());
            EXPECT_TRUE(stack[index]->isVisible());
            EXPECT_TRUE(area.contains(place));
            if (index == 0)
                continue;
            const QRect behind = stack[index - 1]->geometry();
            const QPoint step = place.topLeft() - behind.topLeft();
            if (place.topLeft() == QPoint(0, 0)) {
                ++startsAgain;
                passStarts.push_back(index);
                ASSERT_GE(index, 2) << "one window at least fits beside the first";
                // Only when one more step down and right would have left the area.
                const QPoint last = behind.topLeft() - stack[index - 2]->geometry().topLeft();
                EXPECT_FALSE(area.contains(behind.translated(last)));
            } else {
                EXPECT_GT(step.x(), 0);
                EXPECT_GT(step.y(), 0);
                EXPECT_GE(step.y(), titleBar) << "the title bar behind shows above this window";
                EXPECT_EQ(place.size(), behind.size());
                // The same step all the way, also after starting again.
                if (firstStep.isNull())
                    firstStep = step;
                EXPECT_EQ(step, firstStep);
            }
        }
        EXPECT_EQ(startsAgain > 0, count == 12);
        // Within one pass down the diagonal no window hides the title bar of one behind it.
        passStarts.push_back(count);
        for (std::size_t pass = 0; pass + 1 < passStarts.size(); ++pass) {
            for (int index = passStarts[pass]; index < passStarts[pass + 1]; ++index) {
                const QRect place = stack[index]->geometry();
                const QRect titleBarPlace(place.topLeft(), QSize(place.width(), titleBar));
                QRegion shown(titleBarPlace);
                for (int front = index + 1; front < passStarts[pass + 1]; ++front)
                    shown -= QRegion(stack[front]->geometry());
                EXPECT_EQ(shown, QRegion(titleBarPlace))
                    << "title bar of window " << index << " is covered";
            }
        }
        // The active window stays active, in front.
        EXPECT_EQ(Area().activeSubWindow(), active);
        EXPECT_EQ(stack.back(), active);
    }
}

// --- Commands that need a document

const int kDocumentCommands[] = {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT,
                                 ID_FILE_PRINT_PREVIEW, ID_FILE_CLOSE};

TEST_F(WindowLayoutTest, DocumentCommandsAreDisabledWhileNoDocumentIsOpen) {
    OpenDocuments(2);
    Frame().UpdateCommandUI();
    for (int id : kDocumentCommands) {
        SCOPED_TRACE(id);
        ASSERT_NE(Frame().CommandAction(id), nullptr);
        EXPECT_TRUE(Frame().CommandAction(id)->isEnabled());
    }

    while (!Windows().empty()) {
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
        Settle();
    }
    Frame().UpdateCommandUI();
    for (int id : kDocumentCommands) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Frame().CommandAction(id)->isEnabled());
        // A key that names the command is refused as well.
        EXPECT_FALSE(Frame().OnCommand(id));
    }

    ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
    Settle();
    for (int id : kDocumentCommands) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(Frame().CommandAction(id)->isEnabled());
    }
}

}  // namespace
