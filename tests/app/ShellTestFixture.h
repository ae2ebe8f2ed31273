#pragma once

// The program's shell started as from the desktop, with the command line a test gives it: its
// documents and windows, tabs, menus and status panes, as the tests of the shell look at them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include "ChildFrame.h"
#include "CommandIds.h"
#include "MDITabs.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "ShellFixture.h"
#include "TestFiles.h"

namespace kivra_test {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::clipboard()->clear();
        // Each test keeps its settings apart: test processes run side by side.
        ASSERT_TRUE(settingsFolder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        ASSERT_TRUE(folder.isValid());
    }

    void TearDown() override {
        application.reset();
        Settle();
        QApplication::clipboard()->clear();
    }

    // Starts the program with the command line after its name.
    bool Start(const QStringList& arguments = {}) {
        application = std::make_unique<CSampleApp>(arguments);
        bool started = application->InitInstance();
        Settle();
        return started;
    }

    QString MakeFile(const QString& name, const QByteArray& bytes = "R1 1 0 1k\r\n") {
        QString path = folder.filePath(name);
        kivra_test::WriteBytes(path, bytes);
        return path;
    }

    CMainFrame& Frame() const { return *application->MainFrame(); }

    std::vector<QString> DocumentTitles() const {
        std::vector<QString> titles;
        for (CDocument* document : application->Documents())
            titles.push_back(document->GetTitle());
        return titles;
    }

    std::vector<QString> TabTexts() const {
        std::vector<QString> texts;
        CMDITabs* strip = Frame().TabStrip();
        for (int index = 0; index < strip->count(); ++index)
            texts.push_back(strip->tabText(index));
        return texts;
    }

    std::vector<CChildFrame*> Children() const {
        std::vector<CChildFrame*> children;
        for (QMdiSubWindow* window : Frame().MdiArea()->subWindowList(QMdiArea::CreationOrder))
            children.push_back(qobject_cast<CChildFrame*>(window));
        return children;
    }

    CSampleView& ActiveView() const {
        auto* view = dynamic_cast<CSampleView*>(Frame().GetActiveView());
        EXPECT_NE(view, nullptr);
        return *view;
    }

    // The active view with the keyboard focus, as after a click into it.
    CSampleView& FocusedView() {
        CSampleView& view = ActiveView();
        QApplication::setActiveWindow(&Frame());
        view.setFocus();
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), &view);
        return view;
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        Settle();
    }

    void Type(const char* text) {
        QTest::keyClicks(&FocusedView(), QString::fromLatin1(text));
        Settle();
    }

    // The items of a menu-bar menu as shown: text, or "-" for a separator.
    std::vector<QString> MenuItems(const QString& title) const {
        std::vector<QString> items;
        for (QAction* action : Frame().menuBar()->actions()) {
            if (action->text() != title || action->menu() == nullptr)
                continue;
            for (QAction* item : action->menu()->actions()) {
                if (item->isVisible())
                    items.push_back(item->isSeparator() ? QStringLiteral("-") : item->text());
            }
        }
        return items;
    }

    std::vector<QString> MenuTitles() const {
        std::vector<QString> titles;
        for (QAction* action : Frame().menuBar()->actions())
            titles.push_back(action->text());
        return titles;
    }

    ScriptedModalHost host;
    QTemporaryDir settingsFolder;
    QTemporaryDir folder;
    std::unique_ptr<CSampleApp> application;
};

}  // namespace kivra_test
