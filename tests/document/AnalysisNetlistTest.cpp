// What is run: the netlist saved first, the deck made of its control lines, untitled documents
// and other extensions refused, and the messages of a run that leaves no raw file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AnalysisRunFixture.h"

namespace {

using kivra_test::AnalysisRunTest;
using kivra_test::kControlNetlist;
using kivra_test::kPlainNetlist;
using kivra_test::ReadBytesOrEmpty;
using kivra_test::Text;
using kivra_test::Type;
using kivra_test::WriteBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// The simulator reads the file, so a run whose save did not happen does not start: not when the
// save fails, and not when the Save As that a read-only file needs is declined.
TEST_F(AnalysisRunTest, ASaveThatFailsStopsTheRunWithItsMessage) {
    ASSERT_TRUE(QDir().mkpath(Netlist(QStringLiteral("gone"))));
    CSampleDoc* netlist = Open(QStringLiteral("gone/a.cir"), kPlainNetlist);
    Type(*netlist, "* edited\r\n");
    ASSERT_TRUE(QDir(Netlist(QStringLiteral("gone"))).removeRecursively());
    Run(netlist);

    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Не удается сохранить файл"));
    EXPECT_THAT(host.messages[1].text.toStdString(), HasSubstr("расчет не начат"));
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_TRUE(netlist->IsModified());
}

TEST_F(AnalysisRunTest, ADeclinedSaveAsOfAReadOnlyNetlistStopsTheRunAndAnotherNameRunsThat) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    ASSERT_TRUE(QFile::setPermissions(Netlist(QStringLiteral("a.cir")),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    Type(*netlist, "* edited\r\n");
    host.ThenCancel();
    Run(netlist);

    EXPECT_EQ(host.dialogsShown, 2);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("расчет не начат"));
    EXPECT_TRUE(launcher.starts.empty());

    host.ThenChooseFile(Netlist(QStringLiteral("b.cir")));
    Run(netlist);
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].arguments.last(), Netlist(QStringLiteral("b.cir")));
    EXPECT_EQ(ReadBytesOrEmpty(InFirst(QStringLiteral("seen.cir"))),
              "* edited\r\n" + kPlainNetlist);
    EXPECT_EQ(host.messages.size(), 1u);
}

// A first program that ends without a raw file gets one message that says so and where to look,
// with the log's first error line when it has one; the log is shown, the second program is not
// started on a file that is not there.
TEST_F(AnalysisRunTest, ARunThatLeavesNoRawFileSaysWhyOnceAndShowsTheLog) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    WriteBytes(InFirst(QStringLiteral("noraw-a.cir")), "");
    for (bool errorInLog : {true, false}) {
        SCOPED_TRACE(errorInLog ? "error in the log" : "no error in the log");
        if (!errorInLog)
            WriteBytes(InFirst(QStringLiteral("clean-a.cir")), "");
        host.messages.clear();
        Run(netlist);

        ASSERT_EQ(host.messages.size(), 1u);
        const std::string text = host.messages[0].text.toStdString();
        EXPECT_THAT(text, HasSubstr("kivra.raw"));
        EXPECT_THAT(text, HasSubstr("kivra.log"));
        if (errorInLog)
            EXPECT_THAT(text, HasSubstr("\nError on line 2 or its substitute:"));
        else
            EXPECT_THAT(text, Not(HasSubstr("Error")));
        ASSERT_NE(application->logDocument, nullptr);
        EXPECT_TRUE(application->logDocument->buffer.IsReadOnly());
        EXPECT_EQ(application->rawDocument, nullptr);
        EXPECT_EQ(launcher.DetachedStarts(), 0);
    }
}

// ngspice writes its log in UTF-8: the error line is quoted with its characters.
TEST_F(AnalysisRunTest, TheErrorLineOfAUtf8LogIsQuotedReadably) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    WriteBytes(InFirst(QStringLiteral("noraw-a.cir")), "");
    WriteBytes(InFirst(QStringLiteral("utf8-a.cir")), "");
    Run(netlist);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(),
                HasSubstr("\nError: unknown parameter (10µ) in «x1»"));
    ASSERT_NE(application->logDocument, nullptr);
    EXPECT_EQ(application->logDocument->encoding, TextEncoding::Utf8);
}

TEST_F(AnalysisRunTest, NetlistWithoutControlLinesGetsTheBareDeckAndNoSecondProgram) {
    Run(Open(QStringLiteral("a.cir"), kPlainNetlist));

    EXPECT_EQ(ReadBytesOrEmpty(paths.deckFile),
              "temp file for Talvex \r\n*#load ..\\Murin\\kivra.raw\r\n.end\r\n");
    EXPECT_EQ(launcher.DetachedStarts(), 0);
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_NE(application->rawDocument, nullptr);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(AnalysisRunTest, UnclosedControlBlockIsReportedAndClosedInTheDeck) {
    Run(Open(QStringLiteral("a.cir"), "RC\r\nR1 1 0 1k\r\n.control\r\nrun"));

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Не найдена строка .endc"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(ReadBytesOrEmpty(paths.deckFile),
              "temp file for Talvex \r\n*#load ..\\Murin\\kivra.raw\r\n"
              ".control\r\nrun\r\n.endc\r\n.end\r\n");
    EXPECT_EQ(launcher.DetachedStarts(), 1);
}

TEST_F(AnalysisRunTest, DeckThatCannotBeCreatedStopsTheRunAndKivraGoesOn) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    application->OnFileNew();
    auto* unsaved = dynamic_cast<CSampleDoc*>(Documents().back());
    Type(*unsaved, "* not saved yet");
    // A folder where the deck should be cannot be opened as a file.
    ASSERT_TRUE(QDir().mkpath(paths.deckFile));
    Run(netlist);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              QStringLiteral("Не открывается для записи временный файл temp.cir"));
    EXPECT_EQ(launcher.DetachedStarts(), 0);
    // Still running, every document still open, the unsaved text still there.
    EXPECT_EQ(Documents().size(), 4u);
    EXPECT_TRUE(unsaved->IsModified());
    EXPECT_EQ(Text(unsaved), "* not saved yet");
    ASSERT_TRUE(QDir().rmdir(paths.deckFile));
    Run(netlist);
    EXPECT_EQ(launcher.DetachedStarts(), 1);
}

TEST_F(AnalysisRunTest, EditedNetlistIsSavedBeforeTheSimulatorReadsIt) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    Type(*netlist, "* edited\r\n");
    ASSERT_TRUE(netlist->IsModified());
    Run(netlist);

    EXPECT_FALSE(netlist->IsModified());
    EXPECT_EQ(ReadBytesOrEmpty(InFirst(QStringLiteral("seen.cir"))),
              "* edited\r\n" + kPlainNetlist);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(AnalysisRunTest, EmptyUntitledDocumentIsRefusedWithoutAskingForAName) {
    auto* untitled = dynamic_cast<CSampleDoc*>(Documents().front());
    Type(*untitled, "\r\n\r\n");
    Run(untitled);

    ASSERT_EQ(host.dialogsShown, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Файл с описанием схемы пуст!"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(AnalysisRunTest, UntitledDocumentWhoseSaveIsDeclinedGetsTheExtensionMessageOnly) {
    auto* untitled = dynamic_cast<CSampleDoc*>(Documents().front());
    Type(*untitled, "R1 1 0 1k\r\n");
    host.ThenCancel();
    Run(untitled);

    EXPECT_EQ(host.dialogsShown, 2);
    EXPECT_EQ(host.lastDialogTitle, QStringLiteral("Kivra"));
    EXPECT_THAT(Messages(),
                ElementsAre(QStringLiteral("В выбранном окне нет описания схемы или файл не имеет "
                                           "расширение .cir")));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(AnalysisRunTest, UntitledDocumentSavedUnderACapitalExtensionRuns) {
    auto* untitled = dynamic_cast<CSampleDoc*>(Documents().front());
    Type(*untitled, "R1 1 0 1k\r\n");
    host.ThenChooseFile(Netlist(QStringLiteral("NEW.CIR")));
    Run(untitled);

    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(untitled->GetPathName(), Netlist(QStringLiteral("NEW.CIR")));
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].arguments.last(), Netlist(QStringLiteral("NEW.CIR")));
}

TEST_F(AnalysisRunTest, FileWithAnotherExtensionIsNotSimulated) {
    CSampleDoc* text = Open(QStringLiteral("notes.txt"), kPlainNetlist);
    Run(text);

    EXPECT_THAT(Messages(),
                ElementsAre(QStringLiteral("В выбранном окне нет описания схемы или файл не имеет "
                                           "расширение .cir")));
    EXPECT_TRUE(launcher.starts.empty());
}

}  // namespace
