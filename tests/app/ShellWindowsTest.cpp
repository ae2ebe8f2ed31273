// Documents and their windows in the shell: opening, new windows, tabs, the modified mark,
// closing, the panes of a split window, and files dropped on the main window or a document.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>

#include <functional>
#include <string>

#include "QStringPrinting.h"
#include "ShellTestFixture.h"
#include "SplitterWnd.h"

namespace {

using kivra_test::Settle;
using kivra_test::ShellTest;
using kivra_test::ShownTitle;

using ::testing::ElementsAre;

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

}  // namespace
