// The results of a run: the log and raw file open read-only, the programs get their arguments
// whole, a second run replaces the results, and a result window the user edited is asked about.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AnalysisRunFixture.h"

namespace {

using kivra_test::AnalysisRunTest;
using kivra_test::kControlNetlist;
using kivra_test::kPlainNetlist;
using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;
using kivra_test::Text;
using kivra_test::Type;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST_F(AnalysisRunTest, ResultsOpenReadOnlyLogFirstAndTheDeckGoesToTheSecondProgram) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    Run(netlist);

    ASSERT_TRUE(host.messages.empty()) << host.messages[0].text.toStdString();
    ASSERT_EQ(Documents().size(), 3u);
    EXPECT_EQ(Documents()[0], netlist);
    auto* log = dynamic_cast<CSampleDoc*>(Documents()[1]);
    auto* raw = dynamic_cast<CSampleDoc*>(Documents()[2]);
    EXPECT_EQ(application->logDocument, log);
    EXPECT_EQ(application->rawDocument, raw);
    EXPECT_EQ(log->GetPathName(), paths.logFile);
    EXPECT_EQ(raw->GetPathName(), paths.rawFile);
    EXPECT_EQ(Text(log), "log of a.cir\nError on line 2 or its substitute:\n");
    EXPECT_EQ(Text(raw), "raw of a.cir\n");
    for (CSampleDoc* result : {log, raw}) {
        EXPECT_TRUE(result->buffer.IsReadOnly());
        EXPECT_TRUE(ReadIndicatorOn(result));
    }
    EXPECT_FALSE(netlist->buffer.IsReadOnly());
    EXPECT_FALSE(ReadIndicatorOn(netlist));
    EXPECT_EQ(WindowCount(), 3);

    ASSERT_EQ(launcher.starts.size(), 2u);
    EXPECT_EQ(launcher.starts[0].program, paths.firstProgram);
    EXPECT_THAT(launcher.starts[0].arguments,
                ElementsAre(QStringLiteral("-t"), QStringLiteral("datanet3"),
                            Netlist(QStringLiteral("a.cir"))));
    EXPECT_EQ(launcher.starts[0].folder, paths.firstFolder);
    EXPECT_FALSE(launcher.starts[0].detached);
    EXPECT_EQ(launcher.starts[1].program, paths.secondProgram);
    EXPECT_THAT(launcher.starts[1].arguments, ElementsAre(QStringLiteral("temp.cir")));
    EXPECT_EQ(launcher.starts[1].folder, paths.secondFolder);
    EXPECT_TRUE(launcher.starts[1].detached);
    EXPECT_EQ(ReadBytesOrEmpty(paths.deckFile),
              "temp file for Talvex \r\n*#load ..\\Murin\\kivra.raw\r\n*#plot v(1)\r\n"
              ".control\r\nrun\r\n.endc\r\n.end\r\n");
    EXPECT_EQ(ProgressWindow(), nullptr) << "the progress window goes with the program";
}

TEST_F(AnalysisRunTest, ArgumentsWithBlanksAndCyrillicLettersReachBothProgramsWhole) {
    const QString name = QStringLiteral("схема 1.cir");
    Run(Open(name, kControlNetlist));

    EXPECT_EQ(ReadBytesOrEmpty(InFirst(QStringLiteral("calls.txt"))),
              ("dir=" + paths.firstFolder + "\narg=-t\narg=datanet3\narg=" + Netlist(name) + "\n")
                  .toUtf8());
    // The second program runs on its own: its record is awaited.
    const QString secondCalls = paths.secondFolder + QStringLiteral("/calls.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(secondCalls); }, 5000));
    EXPECT_EQ(ReadBytesOrEmpty(secondCalls),
              ("dir=" + paths.secondFolder + "\narg=temp.cir\n").toUtf8());
}

TEST_F(AnalysisRunTest, MissingFirstProgramGivesItsThreeMessagesInOrderAndTheRunGoesOn) {
    QFile::remove(paths.firstProgram);
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    Run(netlist);

    ASSERT_EQ(host.messages.size(), 4u);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Murin1.exe отсутствует."));
    EXPECT_EQ(host.messages[1].text, QStringLiteral("Murin1.exe испорчен или отсутствует."));
    EXPECT_EQ(host.messages[2].text, QStringLiteral("Расчет аварийно прерван."));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.messages[i].icon, QMessageBox::Warning);
        EXPECT_EQ(host.messages[i].caption, QStringLiteral("Kivra"));
    }
    // Then one message for the two result files that are not there, rather than the framework's
    // failure to open each.
    EXPECT_THAT(host.messages[3].text.toStdString(), HasSubstr("kivra.raw"));
    EXPECT_THAT(host.messages[3].text.toStdString(), HasSubstr("kivra.log"));
    EXPECT_EQ(application->logDocument, nullptr);
    EXPECT_EQ(application->rawDocument, nullptr);
    EXPECT_EQ(Documents().size(), 1u);
    // The deck is still written, but the second program would find no raw file to load.
    EXPECT_TRUE(QFile::exists(paths.deckFile));
    EXPECT_EQ(launcher.DetachedStarts(), 0);
}

TEST_F(AnalysisRunTest, RunningAgainClosesThePreviousResultsBeforeTheSimulatorStarts) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    Run(netlist);
    ASSERT_NE(application->logDocument, nullptr);
    std::weak_ptr<const void> oldLog = application->logDocument->Lifetime();
    std::weak_ptr<const void> oldRaw = application->rawDocument->Lifetime();

    Hold(QStringLiteral("a.cir"));
    bool closedWhileRunning = false;
    int windowsWhileRunning = 0;
    During(100, [&] {
        closedWhileRunning = oldLog.expired() && oldRaw.expired() &&
                             application->logDocument == nullptr && !QFile::exists(paths.rawFile);
        windowsWhileRunning = WindowCount();
        Release(QStringLiteral("a.cir"));
    });
    Run(netlist);

    EXPECT_TRUE(closedWhileRunning);
    EXPECT_EQ(windowsWhileRunning, 1);
    ASSERT_NE(application->logDocument, nullptr);
    EXPECT_TRUE(application->logDocument->buffer.IsReadOnly());
    EXPECT_EQ(WindowCount(), 3);

    // Results the user closed in between are simply not there to close.
    application->logDocument->OnCloseDocument();
    application->rawDocument->OnCloseDocument();
    Settle();
    EXPECT_EQ(application->logDocument, nullptr);
    Run(netlist);
    EXPECT_EQ(Documents().size(), 3u);
    EXPECT_EQ(WindowCount(), 3);
    EXPECT_TRUE(host.messages.empty());
}

// A result file the user opened again (from the recent files, say) is closed like the result
// windows, so that the next run's text is read rather than the old one shown.
TEST_F(AnalysisRunTest, AResultFileOpenedAgainByTheUserShowsTheNewRun) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    Run(netlist);
    application->logDocument->OnCloseDocument();
    Settle();
    auto* reopened = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(paths.logFile));
    ASSERT_NE(reopened, nullptr);
    std::weak_ptr<const void> reopenedAlive = reopened->Lifetime();

    Run(netlist);

    // Closed and read anew: an open document of the file would only have been brought forward.
    EXPECT_TRUE(reopenedAlive.expired());
    ASSERT_NE(application->logDocument, nullptr);
    EXPECT_TRUE(application->logDocument->buffer.IsReadOnly());
}

// An edited result window asks to be saved before the next run closes it; the result file itself
// is the run's, so saving means another name. The edited window is the log window made writable,
// or the raw file the user opened again and typed into.
class EditedResultTest;

struct EditedResultCase {
    const char* name;
    bool reopenedRawFile;
    std::function<void(EditedResultTest&)> answer;  // scripts the prompt and the dialogs after it
    const char* named;                              // the result file the prompt names
    size_t messages;                                // message boxes, the prompt among them
    int dialogsShown;
    bool runs;       // the run goes on
    bool editsKept;  // the edited window stays, with the edits
    std::function<void(EditedResultTest&, CSampleDoc* edited)> alsoExpect;
};

void PrintTo(const EditedResultCase& test, std::ostream* out) {
    *out << test.name;
}

class EditedResultTest : public AnalysisRunTest,
                         public ::testing::WithParamInterface<EditedResultCase> {
public:
    using AnalysisRunTest::application;
    using AnalysisRunTest::Documents;
    using AnalysisRunTest::host;
    using AnalysisRunTest::Netlist;
    using AnalysisRunTest::paths;

    QByteArray onDiskBefore;    // the edited window's file before the run
    QString suggested;          // the name the Save As dialog offered
    QByteArray logWhenRefused;  // the log file when the dialog refused it as the new name
};

TEST_P(EditedResultTest, AsksBeforeTheNextRunClosesIt) {
    const EditedResultCase& test = GetParam();
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    Run(netlist);
    CSampleDoc* edited = nullptr;
    if (test.reopenedRawFile) {
        application->rawDocument->OnCloseDocument();
        Settle();
        edited = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(paths.rawFile));
        ASSERT_NE(edited, nullptr);
        Type(*edited, "my notes ");
    } else {
        edited = application->logDocument;
        ASSERT_NE(edited, nullptr);
        EditResult(edited);
    }
    std::weak_ptr<const void> editedAlive = edited->Lifetime();
    const QString editedPath = edited->GetPathName();
    onDiskBefore = ReadBytesOrEmpty(editedPath);
    const size_t startsBefore = launcher.starts.size();

    test.answer(*this);
    Run(netlist);

    ASSERT_EQ(host.messages.size(), test.messages);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Save changes to"));
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr(test.named));
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("в другом файле"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
    EXPECT_EQ(host.dialogsShown, test.dialogsShown);
    EXPECT_EQ(launcher.starts.size(), startsBefore + (test.runs ? 1 : 0));
    if (test.runs) {
        EXPECT_NE(application->logDocument, nullptr) << "the new results are shown";
        EXPECT_NE(application->rawDocument, nullptr) << "the new results are shown";
    } else {
        EXPECT_EQ(ReadBytesOrEmpty(editedPath), onDiskBefore) << "nothing is written";
    }
    EXPECT_EQ(ProgressWindow(), nullptr);
    if (test.editsKept) {
        ASSERT_FALSE(editedAlive.expired());
        EXPECT_THAT(Text(edited), HasSubstr("my notes "));
        // Saved under its new name when the run went on; still to be saved when it stopped.
        EXPECT_EQ(edited->IsModified(), !test.runs);
    } else {
        EXPECT_TRUE(editedAlive.expired());
    }
    if (test.alsoExpect)
        test.alsoExpect(*this, test.editsKept ? edited : nullptr);
}

const EditedResultCase kEditedResultCases[] = {
    {"CancelAtThePromptStopsTheRun", false,
     [](EditedResultTest& test) { test.host.ThenPress(QMessageBox::Cancel); }, "kivra.log", 1, 1,
     false, true,
     [](EditedResultTest& test, CSampleDoc* edited) {
         EXPECT_EQ(test.application->logDocument, edited);
     }},
    {"CancelInTheSaveAsStopsTheRun", true,
     [](EditedResultTest& test) {
         test.host.ThenPress(QMessageBox::Yes);
         test.host.ThenCancel();
     },
     "kivra.raw", 1, 2, false, true,
     [](EditedResultTest& test, CSampleDoc* edited) {
         EXPECT_EQ(Text(edited), "my notes raw of a.cir\n");
         EXPECT_EQ(ReadBytesOrEmpty(test.paths.rawFile), "raw of a.cir\r\n");
     }},
    {"NoDropsTheEditsAndTheRunGoesOn", true,
     [](EditedResultTest& test) { test.host.ThenPress(QMessageBox::No); }, "kivra.raw", 1, 1, true,
     false,
     [](EditedResultTest& test, CSampleDoc*) {
         EXPECT_EQ(test.host.dialogsShown, 1) << "No asks for no file name";
         ASSERT_NE(test.application->rawDocument, nullptr);
         EXPECT_EQ(Text(test.application->rawDocument), "raw of a.cir\n");
     }},
    // Save As is offered beside the netlist; the result file itself is refused there and not
    // written. The window stays, as the new file.
    {"YesSavesOnlyUnderAnotherName", false,
     [](EditedResultTest& test) {
         test.host.ThenPress(QMessageBox::Yes);
         test.host.Then([&test](QDialog& dialog) {
             auto* files = qobject_cast<QFileDialog*>(&dialog);
             if (files == nullptr)
                 return static_cast<int>(QDialog::Rejected);
             test.suggested = files->selectedFiles().value(0);
             files->selectFile(test.paths.logFile);  // the result file itself
             return static_cast<int>(QDialog::Accepted);
         });
         test.host.Then([&test](QDialog&) {
             test.logWhenRefused = ReadBytesOrEmpty(test.paths.logFile);
             return static_cast<int>(QMessageBox::Ok);
         });
         test.host.ThenChooseFile(test.Netlist(QStringLiteral("notes.log")));
     },
     "kivra.log", 2, 4, true, true,
     [](EditedResultTest& test, CSampleDoc* edited) {
         EXPECT_THAT(test.host.messages[1].text.toStdString(), HasSubstr("kivra.log"));
         EXPECT_EQ(test.host.messages[1].caption, QStringLiteral("Kivra"));
         EXPECT_EQ(test.suggested, test.Netlist(QStringLiteral("a.log")));
         EXPECT_EQ(test.logWhenRefused, test.onDiskBefore);
         EXPECT_EQ(ReadBytesOrEmpty(test.Netlist(QStringLiteral("notes.log"))),
                   "my notes " + test.onDiskBefore);
         // An ordinary document of its new file; the run has shown new results.
         EXPECT_EQ(edited->GetPathName(), test.Netlist(QStringLiteral("notes.log")));
         ASSERT_NE(test.application->logDocument, nullptr);
         EXPECT_NE(test.application->logDocument, edited);
         EXPECT_EQ(Text(test.application->logDocument),
                   "log of a.cir\nError on line 2 or its substitute:\n");
         EXPECT_EQ(test.Documents().size(), 4u);
     }},
};

INSTANTIATE_TEST_SUITE_P(Answers, EditedResultTest, ::testing::ValuesIn(kEditedResultCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
