// The shell started as from the desktop: with no file, a file or a missing one, where its main
// window comes up, and the recent files it keeps from one start to the next.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QScreen>

#include <ostream>

#include "QStringPrinting.h"
#include "SettingsStore.h"
#include "ShellTestFixture.h"

namespace {

using kivra_test::Settle;
using kivra_test::ShellTest;
using kivra_test::ShownTitle;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

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

}  // namespace
