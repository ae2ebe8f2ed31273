// Saving from the shell, and the prompts to save when a document closes, the program exits or
// the desktop session ends.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

#include <ostream>

#include "QStringPrinting.h"
#include "ShellTestFixture.h"

namespace {

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;
using kivra_test::ShellTest;
using kivra_test::ShownTitle;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

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

}  // namespace
