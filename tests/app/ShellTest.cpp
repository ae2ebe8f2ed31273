// The program's shell started as from the desktop: documents and their windows, the tab strip,
// menus, status panes, the prompts on close and exit, dropped files, help, the view's context
// menu and the keys of the main window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "ChildFrame.h"
#include "CommandIds.h"
#include "InvalidArgException.h"
#include "KivraApplication.h"
#include "MDITabs.h"
#include "MainFrame.h"
#include "QStringPrinting.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"
#include "ShellFixture.h"
#include "SplitterWnd.h"
#include "TestFiles.h"

namespace {

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;
using kivra_test::ShownTitle;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

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

    kivra_test::ScriptedModalHost host;
    QTemporaryDir settingsFolder;
    QTemporaryDir folder;
    std::unique_ptr<CSampleApp> application;
};

// --- Start-up

TEST_F(ShellTest, StartWithoutArgumentsShowsOneMaximizedUntitledDocument) {
    ASSERT_TRUE(Start());
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("Kivra1")));
    ASSERT_EQ(Children().size(), 1u);
    EXPECT_TRUE(Children()[0]->isMaximized());
    EXPECT_EQ(Frame().ActiveChild(), Children()[0]);
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - Kivra1"));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("Kivra1")));
    EXPECT_TRUE(application->Documents()[0]->GetPathName().isEmpty());
    EXPECT_FALSE(application->Documents()[0]->IsModified());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ShellTest, StartWithAFileOpensItAndNothingElse) {
    QString path = MakeFile(QStringLiteral("rc.cir"), "V1 1 0 5\r\nR1 1 2 1k\r\n");
    ASSERT_TRUE(Start({path}));
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("rc.cir")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("rc.cir")));
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - rc.cir"));
    auto* document = dynamic_cast<CSampleDoc*>(application->Documents()[0]);
    EXPECT_EQ(QFileInfo(document->GetPathName()).canonicalFilePath(),
              QFileInfo(path).canonicalFilePath());
    EXPECT_EQ(document->buffer.LineTotal(), 3);
    EXPECT_TRUE(Children()[0]->isMaximized());
}

TEST_F(ShellTest, StartWithAMissingFileSaysWhyAndFails) {
    EXPECT_FALSE(Start({folder.filePath(QStringLiteral("gone.cir"))}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("gone.cir"));
    EXPECT_TRUE(application->Documents().empty());
}

struct PlacementCase {
    QSize screen;
    QRect window;
};

void PrintTo(const PlacementCase& placement, std::ostream* out) {
    *out << placement.screen.width() << " x " << placement.screen.height();
}

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, WindowTakesTenthsOfTheScreen) {
    EXPECT_EQ(CMainFrame::InitialPlacement(GetParam().screen), GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(Screens, PlacementTest,
                         ::testing::Values(PlacementCase{{1024, 768}, {408, 76, 408, 608}},
                                           PlacementCase{{1920, 1080}, {768, 108, 768, 864}},
                                           PlacementCase{{1366, 768}, {544, 76, 544, 608}}));

TEST_F(ShellTest, MainWindowStartsWhereThePlacementPutsIt) {
    ASSERT_TRUE(Start());
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(Frame().geometry(), CMainFrame::InitialPlacement(screen));
}

// The window comes back where and as large as the user left it, and maximized when it was.
TEST_F(ShellTest, MainWindowComesBackAsTheUserLeftIt) {
    ASSERT_TRUE(Start());
    const QRect moved(QPoint(37, 41), QSize(700, 500));
    Frame().setGeometry(moved);
    Settle();
    const QRect left = Frame().geometry();
    ASSERT_TRUE(Frame().close());
    Settle();

    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame().geometry(), left);
    EXPECT_FALSE(Frame().isMaximized());
    Frame().showMaximized();
    Settle();
    ASSERT_TRUE(Frame().close());
    Settle();

    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().isMaximized());
    Frame().showNormal();
    Settle();
    EXPECT_EQ(Frame().geometry(), left) << "the size to go back to from maximized";
}

// --- Documents, windows and tabs

TEST_F(ShellTest, CtrlOOpensTheChosenFileInPlaceOfTheUntouchedUntitledDocument) {
    ASSERT_TRUE(Start());
    QString path = MakeFile(QStringLiteral("a.cir"));
    FocusedView();
    host.ThenChooseFile(path);
    Press(Qt::Key_O, Qt::ControlModifier);

    EXPECT_EQ(host.dialogsShown, 1);
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("a.cir")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("a.cir")));
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - a.cir"));
}

TEST_F(ShellTest, CtrlNOpensAnotherUntitledDocumentMaximized) {
    ASSERT_TRUE(Start());
    Children()[0]->showNormal();
    FocusedView();
    Press(Qt::Key_N, Qt::ControlModifier);

    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("Kivra1"), QStringLiteral("Kivra2")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("Kivra1"), QStringLiteral("Kivra2")));
    ASSERT_EQ(Children().size(), 2u);
    EXPECT_EQ(Frame().ActiveChild(), Children()[1]);
    EXPECT_TRUE(Children()[1]->isMaximized());
    EXPECT_EQ(Frame().TabStrip()->currentIndex(), 1);
}

TEST_F(ShellTest, ThreeDocumentsGiveThreeTabsInOrderAndClosingTheMiddleKeepsIt) {
    ASSERT_TRUE(Start());
    for (const char* name : {"a.cir", "b.cir", "c.cir"})
        ASSERT_NE(application->OpenDocumentFile(MakeFile(QString::fromLatin1(name))), nullptr);
    Settle();
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("a.cir"), QStringLiteral("b.cir"),
                                        QStringLiteral("c.cir")));
    EXPECT_EQ(Frame().TabStrip()->currentIndex(), 2);

    Children()[1]->close();
    Settle();
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("a.cir"), QStringLiteral("c.cir")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("a.cir"), QStringLiteral("c.cir")));
    ASSERT_NE(Frame().ActiveChild(), nullptr);
    EXPECT_EQ(Frame().TabStrip()->tabText(Frame().TabStrip()->currentIndex()),
              Frame().ActiveChild()->GetActiveDocument()->GetTitle());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ShellTest, OpeningAnOpenFileActivatesItsWindowAndMakesNoDocument) {
    ASSERT_TRUE(Start());
    QString a = MakeFile(QStringLiteral("a.cir"));
    CDocument* first = application->OpenDocumentFile(a);
    ASSERT_NE(application->OpenDocumentFile(MakeFile(QStringLiteral("b.cir"))), nullptr);
    Settle();
    ASSERT_EQ(Frame().ActiveChild()->GetActiveDocument()->GetTitle(), QStringLiteral("b.cir"));

    // The same file under another spelling.
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    EXPECT_EQ(application->OpenDocumentFile(folder.filePath(QStringLiteral("sub/../a.cir"))),
              first);
    Settle();
    EXPECT_EQ(application->Documents().size(), 2u);
    EXPECT_EQ(Children().size(), 2u);
    EXPECT_EQ(Frame().ActiveChild()->GetActiveDocument(), first);
    EXPECT_EQ(Frame().TabStrip()->currentIndex(), 0);
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - a.cir"));
}

TEST_F(ShellTest, NewWindowAddsATabWithTheSameTitleAndNumbersTheWindows) {
    ASSERT_TRUE(Start());
    Type("R1 1 0 1k");
    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_NEW));
    Settle();

    ASSERT_EQ(Children().size(), 2u);
    // The typed text marks both windows of the document as modified.
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("Kivra1*"), QStringLiteral("Kivra1*")));
    EXPECT_EQ(ShownTitle(*Children()[0]), QStringLiteral("Kivra1:1*"));
    EXPECT_EQ(ShownTitle(*Children()[1]), QStringLiteral("Kivra1:2*"));
    EXPECT_EQ(Frame().ActiveChild(), Children()[1]);
    // Both windows show the one text.
    EXPECT_EQ(Children()[1]->GetActiveDocument(), Children()[0]->GetActiveDocument());
    auto* second = dynamic_cast<CSampleView*>(Children()[1]->GetActiveView());
    EXPECT_EQ(std::string(second->LineText(0), second->LineLength(0)), "R1 1 0 1k");

    // Closing one of two windows of an edited document asks nothing and keeps the document.
    Children()[1]->close();
    Settle();
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(Children().size(), 1u);
    EXPECT_EQ(ShownTitle(*Children()[0]), QStringLiteral("Kivra1*"));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("Kivra1*")));
    EXPECT_TRUE(application->Documents()[0]->IsModified());
}

// A modified document shows "*" after its title, on its tab and in the window's title; saving,
// or undoing back to the saved text, takes it away.
TEST_F(ShellTest, AModifiedDocumentIsMarkedUntilSavedOrUndoneToTheSavedText) {
    const QString path = folder.filePath(QStringLiteral("a.cir"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("R1 1 0 1k\r\n");
    file.close();
    ASSERT_TRUE(Start({path}));
    auto shows = [this](const char* mark) {
        EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - a.cir") + QLatin1String(mark));
        EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("a.cir") + QLatin1String(mark)));
    };
    shows("");

    Type("x");
    shows("*");
    ASSERT_TRUE(Frame().OnCommand(ID_EDIT_UNDO));
    Settle();
    shows("");

    Type("y");
    shows("*");
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_SAVE));
    Settle();
    shows("");
}

TEST_F(ShellTest, ClosingADocumentClosesEveryWindowAndPaneOfIt) {
    ASSERT_TRUE(Start());
    Type("R1 1 0 1k");
    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_NEW));
    CSplitterWnd* splitter = Children()[1]->Splitter();
    ASSERT_TRUE(splitter->SplitColumn(splitter->width() / 2));
    ASSERT_EQ(application->Documents()[0]->Views().size(), 3u);
    Settle();

    host.ThenPress(QMessageBox::No);
    FocusedView();
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
    Settle();
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(application->Documents().empty());
    EXPECT_TRUE(Children().empty());
    EXPECT_EQ(Frame().TabStrip()->count(), 0);
    EXPECT_EQ(Frame().GetActiveView(), nullptr);
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_POSITION), QString());
}

TEST_F(ShellTest, StripAndDocumentMenuGoWithTheLastWindow) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().ShowsDocumentMenu());
    EXPECT_FALSE(Frame().TabStrip()->isHidden());

    ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
    Settle();
    EXPECT_TRUE(application->Documents().empty());
    EXPECT_TRUE(Children().empty());
    EXPECT_TRUE(Frame().TabStrip()->isHidden());
    EXPECT_EQ(Frame().TabStrip()->count(), 0);
    EXPECT_FALSE(Frame().ShowsDocumentMenu());
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra"));

    ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
    Settle();
    EXPECT_FALSE(Frame().TabStrip()->isHidden());
    EXPECT_TRUE(Frame().ShowsDocumentMenu());
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("Kivra2")));
}

// --- Saving

enum class SaveRoute { CtrlSOnUntitled, SaveAsOnTitled };

void PrintTo(SaveRoute route, std::ostream* out) {
    *out << (route == SaveRoute::CtrlSOnUntitled ? "Ctrl+S on untitled" : "Save As on titled");
}

class SaveRenameTest : public ShellTest, public ::testing::WithParamInterface<SaveRoute> {};

TEST_P(SaveRenameTest, NamingTheDocumentRenamesItsTabAndTitle) {
    QString old;
    if (GetParam() == SaveRoute::SaveAsOnTitled) {
        old = MakeFile(QStringLiteral("old.cir"), "* old\r\n");
        ASSERT_TRUE(Start({old}));
    } else {
        ASSERT_TRUE(Start());
    }
    Type("V1 1 0 5");
    QString target = folder.filePath(QStringLiteral("new.cir"));
    host.ThenChooseFile(target);
    if (GetParam() == SaveRoute::CtrlSOnUntitled)
        Press(Qt::Key_S, Qt::ControlModifier);
    else
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_SAVE_AS));
    Settle();

    EXPECT_EQ(host.dialogsShown, 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("new.cir")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("new.cir")));
    EXPECT_EQ(ShownTitle(Frame()), QStringLiteral("Kivra - new.cir"));
    EXPECT_EQ(ShownTitle(*Children()[0]), QStringLiteral("new.cir"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
    EXPECT_THAT(ReadBytesOrEmpty(target).toStdString(), HasSubstr("V1 1 0 5"));
    EXPECT_EQ(application->RecentFiles()->At(0), QFileInfo(target).canonicalFilePath());
    if (!old.isEmpty()) {
        EXPECT_EQ(ReadBytesOrEmpty(old), QByteArray("* old\r\n"));
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, SaveRenameTest,
                         ::testing::Values(SaveRoute::CtrlSOnUntitled, SaveRoute::SaveAsOnTitled));

TEST_F(ShellTest, CtrlSSavesATitledDocumentWithoutAsking) {
    QString path = MakeFile(QStringLiteral("a.cir"), "R1 1 0 1k\r\n");
    ASSERT_TRUE(Start({path}));
    Type("* ");
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(host.dialogsShown, 0);
    EXPECT_EQ(ReadBytesOrEmpty(path), QByteArray("* R1 1 0 1k\r\n"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
}

TEST_F(ShellTest, CtrlSOnAReadOnlyFileAsksForAnotherName) {
    QString locked = MakeFile(QStringLiteral("locked.cir"), "R1 1 0 1k\r\n");
    QFile::setPermissions(locked, QFile::ReadOwner);
    ASSERT_TRUE(Start({locked}));
    QString copy = folder.filePath(QStringLiteral("copy.cir"));
    host.ThenChooseFile(copy);
    FocusedView();
    Press(Qt::Key_S, Qt::ControlModifier);

    EXPECT_EQ(host.dialogsShown, 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(ReadBytesOrEmpty(copy), QByteArray("R1 1 0 1k\r\n"));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("copy.cir")));
}

// --- Prompts on close and exit

struct PromptCase {
    bool exit;  // the program is left, else the document's window is closed
    QMessageBox::StandardButton answer;
    bool documentStays;
    bool fileSaved;
};

void PrintTo(const PromptCase& prompt, std::ostream* out) {
    *out << (prompt.exit ? "exit" : "close") << " answered " << prompt.answer;
}

class PromptTest : public ShellTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptTest, ModifiedDocumentAsksToSave) {
    const PromptCase& prompt = GetParam();
    QString path = MakeFile(QStringLiteral("a.cir"), "R1 1 0 1k\r\n");
    ASSERT_TRUE(Start({path}));
    Type("* ");
    host.ThenPress(prompt.answer);
    if (prompt.exit)
        ASSERT_TRUE(Frame().OnCommand(ID_APP_EXIT));
    else
        Children()[0]->close();
    Settle();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Save changes to"));
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("a.cir"));
    EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(application->Documents().size(), prompt.documentStays ? 1u : 0u);
    EXPECT_EQ(Children().size(), prompt.documentStays ? 1u : 0u);
    if (prompt.documentStays) {
        EXPECT_TRUE(application->Documents()[0]->IsModified());
    }
    EXPECT_EQ(ReadBytesOrEmpty(path),
              prompt.fileSaved ? QByteArray("* R1 1 0 1k\r\n") : QByteArray("R1 1 0 1k\r\n"));
    // Only a completed exit closes the main window.
    EXPECT_EQ(Frame().isVisible(), !prompt.exit || prompt.documentStays);
}

INSTANTIATE_TEST_SUITE_P(Answers, PromptTest,
                         ::testing::Values(PromptCase{false, QMessageBox::Cancel, true, false},
                                           PromptCase{false, QMessageBox::No, false, false},
                                           PromptCase{false, QMessageBox::Yes, false, true},
                                           PromptCase{true, QMessageBox::Cancel, true, false},
                                           PromptCase{true, QMessageBox::No, false, false},
                                           PromptCase{true, QMessageBox::Yes, false, true}));

TEST_F(ShellTest, ExitWithAnEditedUntitledDocumentStaysWhenTheNameIsNotGiven) {
    ASSERT_TRUE(Start());
    Type("V1 1 0 5");
    host.ThenPress(QMessageBox::Yes);
    host.ThenCancel();  // the Save As dialog
    ASSERT_TRUE(Frame().OnCommand(ID_APP_EXIT));
    Settle();

    EXPECT_EQ(host.dialogsShown, 2);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Kivra1"));
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("Kivra1")));
    EXPECT_TRUE(application->Documents()[0]->IsModified());
}

TEST_F(ShellTest, ExitWithUnmodifiedDocumentsAsksNothing) {
    ASSERT_TRUE(Start({MakeFile(QStringLiteral("a.cir"))}));
    application->OnFileNew();
    ASSERT_TRUE(Frame().OnCommand(ID_APP_EXIT));
    Settle();
    EXPECT_EQ(host.dialogsShown, 0);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_TRUE(application->Documents().empty());
}

// --- The desktop session ending

TEST_F(ShellTest, EndingTheSessionAsksAsExitDoesAndCancelKeepsItGoing) {
    struct Case {
        QMessageBox::StandardButton answer;
        bool sessionEnds;
        bool fileSaved;
    };
    for (const Case& each :
         {Case{QMessageBox::Cancel, false, false}, Case{QMessageBox::No, true, false},
          Case{QMessageBox::Yes, true, true}}) {
        SCOPED_TRACE(each.answer);
        host.messages.clear();
        QString path = MakeFile(QStringLiteral("a.cir"), "R1 1 0 1k\r\n");
        ASSERT_TRUE(Start({path}));
        Type("* ");
        host.ThenPress(each.answer);
        int permissions = 0;
        EXPECT_EQ(application->CommitSessionData([&] { return ++permissions > 0; }),
                  each.sessionEnds);
        EXPECT_EQ(permissions, 1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Save changes to"));
        EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("a.cir"));
        EXPECT_EQ(ReadBytesOrEmpty(path),
                  each.fileSaved ? QByteArray("* R1 1 0 1k\r\n") : QByteArray("R1 1 0 1k\r\n"));
        // Nothing closes: the session may yet go on.
        EXPECT_TRUE(Frame().isVisible());
        EXPECT_EQ(application->Documents().size(), 1u);
        application.reset();
        Settle();
    }
}

TEST_F(ShellTest, EndingTheSessionAsksNothingWithoutAModifiedDocumentOrPermission) {
    ASSERT_TRUE(Start({MakeFile(QStringLiteral("a.cir"))}));
    int permissions = 0;
    EXPECT_TRUE(application->CommitSessionData([&] { return ++permissions < 0; }));
    EXPECT_EQ(permissions, 0) << "nothing to save: the session manager is not even asked";
    Type("* ");
    EXPECT_TRUE(application->CommitSessionData([&] { return ++permissions < 0; }));
    EXPECT_EQ(permissions, 1);
    EXPECT_EQ(host.dialogsShown, 0);
    EXPECT_TRUE(application->Documents()[0]->IsModified());
}

// --- Failures inside event handlers

// Fails as told on every user event.
class CFailingWidget : public QWidget {
public:
    std::function<void()> fail;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QWidget::event(event);
        fail();
        return true;
    }
};

TEST_F(ShellTest, AFailingEventHandlerIsReportedAndTheProgramGoesOn) {
    ASSERT_NE(dynamic_cast<CKivraApplication*>(QCoreApplication::instance()), nullptr);
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"memory running out", [] { throw std::bad_alloc(); },
         "Не хватает памяти для выполнения операции."},
        {"a broken precondition of the buffer",
         [] { throw CInvalidArgException("line 7 does not exist"); }, "line 7 does not exist"},
    };
    ASSERT_TRUE(Start());
    Type("R1");
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        host.messages.clear();
        CFailingWidget widget;
        widget.fail = each.fail;
        QEvent event(QEvent::User);
        EXPECT_FALSE(QApplication::sendEvent(&widget, &event));
        Settle();
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr(each.message));
        EXPECT_EQ(host.messages[0].icon, QMessageBox::Critical);
    }
    // The unsaved document is still there, and still takes typing.
    Type(" 1");
    ASSERT_EQ(application->Documents().size(), 1u);
    EXPECT_TRUE(application->Documents()[0]->IsModified());
    EXPECT_EQ(std::string(ActiveView().LineText(0), ActiveView().LineLength(0)), "R1 1");
}

TEST_F(ShellTest, FailuresWhileAReportWaitsOrIsShownMakeNoFurtherBoxes) {
    CFailingWidget widget;
    widget.fail = [] { throw std::bad_alloc(); };
    QEvent event(QEvent::User);
    for (int storm = 0; storm < 50; ++storm)
        QApplication::sendEvent(&widget, &event);
    // The message box's own loop delivers yet another failing event.
    host.Then([&](QDialog&) {
        QApplication::sendEvent(&widget, &event);
        return int(QMessageBox::Ok);
    });
    Settle();
    EXPECT_EQ(host.messages.size(), 1u);

    // Once the box has gone, the next failure is reported again.
    QApplication::sendEvent(&widget, &event);
    Settle();
    EXPECT_EQ(host.messages.size(), 2u);
}

// --- Dropped files

TEST_F(ShellTest, FileDroppedOnTheMainWindowOpens) {
    ASSERT_TRUE(Start());
    QString path = MakeFile(QStringLiteral("dropped.cir"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    Settle();

    EXPECT_THAT(DocumentTitles(), ElementsAre(QStringLiteral("dropped.cir")));
    EXPECT_THAT(TabTexts(), ElementsAre(QStringLiteral("dropped.cir")));
    EXPECT_EQ(application->RecentFiles()->At(0), QFileInfo(path).canonicalFilePath());
}

TEST_F(ShellTest, FilesDroppedOnAnOpenDocumentOpenWhereverTheyLand) {
    // As from a file manager: a URL list of local files, with their paths as text beside it.
    struct Case {
        const char* name;
        std::function<QWidget*(CMainFrame&)> target;
    };
    const Case cases[] = {
        {"the text view",
         [](CMainFrame& frame) -> QWidget* {
             return dynamic_cast<CSampleView*>(frame.GetActiveView());
         }},
        {"the tab strip", [](CMainFrame& frame) -> QWidget* { return frame.TabStrip(); }},
        {"the area of the document windows",
         [](CMainFrame& frame) -> QWidget* { return frame.MdiArea()->viewport(); }},
        {"the main window", [](CMainFrame& frame) -> QWidget* { return &frame; }},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        QString open = MakeFile(QStringLiteral("open.cir"), "R1 1 0 1k\r\n");
        QString first = MakeFile(QStringLiteral("first.cir"));
        QString second = MakeFile(QStringLiteral("second.cir"));
        ASSERT_TRUE(Start({open}));
        QWidget* target = each.target(Frame());
        ASSERT_NE(target, nullptr);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
        data.setText(first + QLatin1Char('\n') + second);
        const QPoint point = target->rect().center();
        const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(point, possible, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDragMoveEvent move(point, possible, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(point), possible, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        Settle();

        // Opened as File > Open opens them; the file manager is told copy, so it keeps them.
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        EXPECT_THAT(DocumentTitles(),
                    ElementsAre(QStringLiteral("open.cir"), QStringLiteral("first.cir"),
                                QStringLiteral("second.cir")));
        auto* document = dynamic_cast<CSampleDoc*>(application->Documents()[0]);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->buffer.LineTotal(), 2) << "nothing inserted into the open document";
        EXPECT_EQ(document->buffer.LineLength(0), 9);
        EXPECT_FALSE(document->IsModified());
        application.reset();
        Settle();
    }
}

TEST_F(ShellTest, TypedCharacterWithoutAByteIsNamedInTheStatusBar) {
    ASSERT_TRUE(Start());
    CSampleView& view = FocusedView();
    QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, QStringLiteral("μ"), Qt::NoModifier);
    Settle();
    EXPECT_EQ(Frame().PaneText(0), QStringLiteral("Символа «μ» нет в кодировке Windows-1251"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
    EXPECT_TRUE(host.messages.empty());
}

// --- Recent files

TEST_F(ShellTest, RecentListKeepsTheFourNewestAndComesBackAtTheNextStart) {
    ASSERT_TRUE(Start());
    std::vector<QString> paths;
    for (const char* name : {"1.cir", "2.cir", "3.cir", "4.cir", "5.cir"}) {
        paths.push_back(QFileInfo(MakeFile(QString::fromLatin1(name))).canonicalFilePath());
        ASSERT_NE(application->OpenDocumentFile(paths.back()), nullptr);
    }
    auto listed = [this] {
        std::vector<QString> entries;
        for (int index = 0; index < application->RecentFiles()->Count(); ++index)
            entries.push_back(application->RecentFiles()->At(index));
        return entries;
    };
    EXPECT_THAT(listed(), ElementsAre(paths[4], paths[3], paths[2], paths[1]));

    application.reset();
    Settle();
    EXPECT_TRUE(QFileInfo::exists(settingsFolder.filePath(
        QStringLiteral("Local AppWizard-Generated Applications/Kivra.ini"))));
    {
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("Recent File List"));
        EXPECT_THAT(settings.childKeys(),
                    ElementsAre(QStringLiteral("File1"), QStringLiteral("File2"),
                                QStringLiteral("File3"), QStringLiteral("File4")));
    }
    ASSERT_TRUE(Start());
    EXPECT_THAT(listed(), ElementsAre(paths[4], paths[3], paths[2], paths[1]));

    // The File menu lists them, numbered from 1.
    QMenu* fileMenu = Frame().menuBar()->actions().at(0)->menu();
    emit fileMenu->aboutToShow();
    std::vector<QString> entries;
    for (QAction* action : fileMenu->actions()) {
        if (action->property("recentEntry").toBool())
            entries.push_back(action->text());
    }
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[0].startsWith(QStringLiteral("&1 "))) << entries[0].toStdString();
    EXPECT_TRUE(entries[0].endsWith(QStringLiteral("5.cir"))) << entries[0].toStdString();
    EXPECT_TRUE(entries[3].startsWith(QStringLiteral("&4 "))) << entries[3].toStdString();
}

TEST_F(ShellTest, RecentEntryOfAFileThatIsGoneSaysSoAndLeavesTheList) {
    QString path = MakeFile(QStringLiteral("gone.cir"));
    ASSERT_TRUE(Start({path}));
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(application->RecentFiles()->Count(), 1);

    ASSERT_TRUE(Frame().OnCommand(ID_FILE_MRU_FIRST));
    Settle();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("gone.cir"));
    EXPECT_EQ(application->RecentFiles()->Count(), 0);
    EXPECT_TRUE(application->Documents().empty());
    CSettingsStore settings;
    EXPECT_TRUE(settings.value(QStringLiteral("Recent File List/File1")).isNull());
}

// --- Menus

TEST_F(ShellTest, MenuWithoutDocumentsOffersOnlyWhatWorksWithoutOne) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
    Settle();
    ASSERT_FALSE(Frame().ShowsDocumentMenu());
    EXPECT_THAT(MenuTitles(), ElementsAre(QStringLiteral("&Файл"), QStringLiteral("&Вид"),
                                          QStringLiteral("&Справка")));
    EXPECT_THAT(MenuItems(QStringLiteral("&Справка")),
                ElementsAre(QStringLiteral("&О программе...")));
    EXPECT_THAT(
        MenuItems(QStringLiteral("&Вид")),
        ElementsAre(QStringLiteral("&Панель значков"), QStringLiteral("&Информационная панель")));
}

TEST_F(ShellTest, MenuWithADocumentOffersHelpWindowsAndFont) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().ShowsDocumentMenu());
    std::vector<QString> titles = MenuTitles();
    for (const char* title : {"&Файл", "&Правка", "&Вид", "&Окно", "&Справка"})
        EXPECT_THAT(titles, ::testing::Contains(QString::fromUtf8(title)));
    EXPECT_THAT(MenuItems(QStringLiteral("&Справка")),
                ElementsAre(QStringLiteral("Справка..."), QStringLiteral("-"),
                            QStringLiteral("Руководство пользователя ..."),
                            QStringLiteral("Сайт программы..."), QStringLiteral("-"),
                            QStringLiteral("&О программе...")));
    EXPECT_THAT(
        MenuItems(QStringLiteral("&Вид")),
        ElementsAre(QStringLiteral("&Панель значков"), QStringLiteral("&Информационная строка"),
                    QStringLiteral("-"), QStringLiteral("Шрифт..."),
                    QStringLiteral("Открыть в кодировке UTF-8")));
    EXPECT_THAT(MenuItems(QStringLiteral("&Окно")),
                ElementsAre(QStringLiteral("&Новое"), QStringLiteral("&Каскад"),
                            QStringLiteral("&Рядом"), QStringLiteral("&Распределить значки")));
}

// The menu bar changes kind whenever the first window opens or the last one closes; the menus
// of the other kind must not pile up.
TEST_F(ShellTest, SwitchingMenusLeavesNoOldMenusBehind) {
    ASSERT_TRUE(Start());
    auto menusNow = [this] { return Frame().findChildren<QMenu*>().size(); };
    Settle();
    const auto withDocument = menusNow();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
        Settle();
        ASSERT_FALSE(Frame().ShowsDocumentMenu());
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
        Settle();
        ASSERT_TRUE(Frame().ShowsDocumentMenu());
    }
    EXPECT_EQ(menusNow(), withDocument);
}

// --- Status panes

struct PaneCase {
    const char* name;  // the file opened; null for a new document
    QByteArray bytes;  // its contents
    bool readOnly;     // its write bits are cleared
    const char* lineEnding;
    const char* read;
};

void PrintTo(const PaneCase& pane, std::ostream* out) {
    *out << (pane.name != nullptr ? pane.name : "new document");
}

class StatusPaneTest : public ShellTest, public ::testing::WithParamInterface<PaneCase> {};

TEST_P(StatusPaneTest, PanesShowTheActiveView) {
    const PaneCase& pane = GetParam();
    if (pane.name != nullptr) {
        QString path = MakeFile(QString::fromLatin1(pane.name), pane.bytes);
        if (pane.readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        ASSERT_TRUE(Start({path}));
    } else {
        ASSERT_TRUE(Start());
    }
    Frame().UpdateCommandUI();

    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_POSITION), QStringLiteral("Ln 1, Col 1"));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_BLANK), QString());
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_LINE_ENDING), QString::fromLatin1(pane.lineEnding));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_OVR), QString());
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QString::fromLatin1(pane.read));

    // The panes follow the caret and the overwrite mode.
    FocusedView();
    Press(Qt::Key_End);
    Press(Qt::Key_Insert);
    Frame().UpdateCommandUI();
    int length = ActiveView().LineLength(0);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_POSITION),
              QStringLiteral("Ln 1, Col %1").arg(length + 1));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_OVR), QStringLiteral("OVR"));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, StatusPaneTest,
    ::testing::Values(PaneCase{nullptr, {}, false, "Win", ""},
                      PaneCase{"unix.cir", "R1 1 0 1k\nC1 1 0 1u\n", false, "UNIX", ""},
                      PaneCase{"mac.cir", "R1 1 0 1k\rC1 1 0 1u\r", false, "MAC", ""},
                      PaneCase{"locked.cir", "R1 1 0 1k\r\n", true, "Win", "Read"}));

TEST_F(ShellTest, EncodingPaneAndViewMenuFollowTheActiveDocument) {
    const QString utf8 = MakeFile(QStringLiteral("utf8.cir"), "* Фильтр 10 µF\r\nC1 1 0 10u\r\n");
    const QString cp1251 = MakeFile(QStringLiteral("cp1251.cir"), "* \xD4\xE8\xEB\xFC\xF2\xF0\r\n");
    // The View menu's item as its menu shows it: it names the encoding the command turns to.
    auto otherEncodingItem = [this] {
        for (QAction* action : Frame().menuBar()->actions()) {
            if (action->text() == QStringLiteral("&Вид") && action->menu() != nullptr) {
                emit action->menu()->aboutToShow();
                for (QAction* item : action->menu()->actions()) {
                    if (item->data().toInt() == ID_VIEW_OTHER_ENCODING)
                        return item->text();
                }
            }
        }
        return QString();
    };
    ASSERT_TRUE(Start({utf8}));
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("UTF-8"));
    EXPECT_EQ(otherEncodingItem(), QStringLiteral("Открыть в кодировке Windows-1251"));

    ASSERT_NE(application->OpenDocumentFile(cp1251), nullptr);
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("1251"));
    EXPECT_EQ(otherEncodingItem(), QStringLiteral("Открыть в кодировке UTF-8"));

    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_OTHER_ENCODING));
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("UTF-8"));

    application->CloseAllDocuments();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QString());
}

TEST_F(ShellTest, ReadPaneFollowsTheActiveWindow) {
    QString locked = MakeFile(QStringLiteral("locked.cir"));
    QFile::setPermissions(locked, QFile::ReadOwner);
    ASSERT_TRUE(Start({locked}));
    application->OnFileNew();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QString());

    Children()[0]->ActivateFrame();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QStringLiteral("Read"));
}

// --- The view's context menu

struct ContextCase {
    bool selection;
    bool clipboardText;
    std::vector<std::pair<QString, bool>> items;
};

void PrintTo(const ContextCase& context, std::ostream* out) {
    *out << (context.selection ? "selection" : "no selection")
         << (context.clipboardText ? ", clipboard text" : ", empty clipboard");
}

class ContextMenuTest : public ShellTest, public ::testing::WithParamInterface<ContextCase> {};

TEST_P(ContextMenuTest, ItemsAreEnabledAsTheirCommands) {
    ASSERT_TRUE(Start());
    Type("R1 1 0 1k");
    if (GetParam().selection)
        Press(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    if (GetParam().clipboardText)
        QApplication::clipboard()->setText(QStringLiteral("C1 1 0 1u"));
    CSampleView& view = ActiveView();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 10),
                            view.mapToGlobal(QPoint(40, 10)));
    QApplication::sendEvent(&view, &event);

    EXPECT_EQ(host.menusShown, 1);
    EXPECT_THAT(host.lastMenuTexts, ElementsAreArray(GetParam().items));
}

const QString kCut = QStringLiteral("Вырезать\tCtrl+X");
const QString kCopy = QStringLiteral("Копировать");
const QString kPaste = QStringLiteral("Вставить");

INSTANTIATE_TEST_SUITE_P(
    States, ContextMenuTest,
    ::testing::Values(ContextCase{true, false, {{kCut, true}, {kCopy, true}, {kPaste, false}}},
                      ContextCase{false, false, {{kCut, false}, {kCopy, false}, {kPaste, false}}},
                      ContextCase{false, true, {{kCut, false}, {kCopy, false}, {kPaste, true}}},
                      ContextCase{true, true, {{kCut, true}, {kCopy, true}, {kPaste, true}}}));

TEST_F(ShellTest, ContextMenuCopyOfAReadOnlyDocumentWorks) {
    QString locked = MakeFile(QStringLiteral("locked.cir"), "R1 1 0 1k\r\n");
    QFile::setPermissions(locked, QFile::ReadOwner);
    ASSERT_TRUE(Start({locked}));
    FocusedView();
    Press(Qt::Key_End, Qt::ShiftModifier);
    host.pickMenuItem = [](QMenu& menu) -> QAction* {
        for (QAction* action : menu.actions()) {
            if (action->text() == kCopy)
                return action;
        }
        return nullptr;
    };
    CSampleView& view = ActiveView();
    view.ShowContextMenu(view.mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(host.menusShown, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("R1 1 0 1k"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
}

// --- Panes

TEST_F(ShellTest, F6MovesBetweenThePanesOfASplitWindow) {
    ASSERT_TRUE(Start());
    Type("R1 1 0 1k");
    CChildFrame* child = Children()[0];
    CSplitterWnd* splitter = child->Splitter();
    ASSERT_TRUE(splitter->SplitRow(splitter->height() / 2));
    Settle();
    CCorvelTextView* top = splitter->Pane(0, 0);
    CCorvelTextView* bottom = splitter->Pane(1, 0);
    ASSERT_NE(bottom, nullptr);
    // The new pane is another view of the same document and text.
    CDocument* document = application->Documents()[0];
    EXPECT_EQ(document->Views().size(), 2u);
    EXPECT_EQ(bottom->GetDocument(), document);
    EXPECT_EQ(bottom->Buffer(), top->Buffer());

    QApplication::setActiveWindow(&Frame());
    top->setFocus();
    QApplication::processEvents();
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), bottom);
    EXPECT_EQ(child->GetActiveView(), bottom);
    Press(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), top);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), bottom);
    EXPECT_EQ(child->GetActiveView(), bottom);
}

}  // namespace
