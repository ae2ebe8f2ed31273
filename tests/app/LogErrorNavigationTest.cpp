// From the reports of the run's log to the lines they name: double clicks in the log window, F4
// and Shift+F4, the status bar's message, the included file that holds a line, and the real
// simulator's log where ngspice is installed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ChildFrame.h"
#include "CmdUI.h"
#include "CommandIds.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "NavigationFixture.h"
#include "SimulationRun.h"
#include "SimulatorCopies.h"

namespace {

using kivra_test::Settle;
using kivra_test::WriteBytes;

// Line 3 holds a fault; line 2 of the included file holds another.
const QByteArray kNetlist =
    "amp\r\nV1 in 0 1\r\nR1 in out xyz zz\r\n.include sub.inc\r\nC1 out 0 {abc}\r\n"
    "R2 out 0 1k\r\n.op\r\n.end\r\n";
const QByteArray kIncluded = "* sub\r\nR5 out 0 1k zz=3\r\n";

// The reports as ngspice writes them. Report 0 is about netlist line 3 (log lines 3-5), report
// 1 about line 5 (log lines 6-7), report 2 about line 2 of the included file (log lines 8-10).
const QByteArray kLog =
    "\nCircuit: amp\n\n"
    "Error on line 3 or its substitute:\n  r1 in out xyz zz\n  unknown parameter (xyz) \n"
    "Netlist line no. 5:\nUndefined parameter [abc]\n"
    "Error on line 2 or its substitute:\n  r5 out 0 1k zz=3\n  unknown parameter (zz) \n"
    "    Simulation interrupted due to error!\n";

struct Place {
    QString file;  // name in the netlist folder
    int line;      // index of the selected line
    const char* message;
    int reportLine;  // the report's first log line
};

class LogErrorNavigationTest : public kivra_test::NavigationFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NavigationFixture::SetUp());
        programFolder = folder.filePath(QStringLiteral("программа"));
        netlistFolder = folder.filePath(QStringLiteral("мои схемы"));
        ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("/Murin")));
        ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("/Talvex")));
        ASSERT_TRUE(QDir().mkpath(netlistFolder));
        SetSimulationFolder(programFolder);
        paths = SimulationPathsIn(programFolder);
    }

    void TearDown() override {
        NavigationFixture::TearDown();
        SetSimulationFolder(QString());
    }

    QString InFolder(const QString& name) const { return netlistFolder + '/' + name; }

    // The netlist as the last run left it, and its log as the run shows it: read-only, in the
    // log slot unless told otherwise.
    void OpenNetlistAndLog(const QByteArray& log = kLog, bool inSlot = true) {
        WriteBytes(InFolder(QStringLiteral("amp.cir")), kNetlist);
        WriteBytes(InFolder(QStringLiteral("sub.inc")), kIncluded);
        WriteBytes(paths.logFile, log);
        netlist = OpenFile(InFolder(QStringLiteral("amp.cir")));
        application->netlistPath = InFolder(QStringLiteral("amp.cir"));
        this->log = OpenFile(paths.logFile);
        ASSERT_NE(this->log, nullptr);
        this->log->buffer.MakeReadOnly(true);
        if (inSlot)
            application->logDocument = this->log;
    }

    // The log window in front, its view with the focus, as after a click into it.
    CSampleView& FocusedLogView() { return Focus(log); }

    // The file's window is in front with the whole line selected, the report is marked in the
    // log and its message is in the status bar.
    void ExpectAt(const Place& place) {
        auto* document = dynamic_cast<CSampleDoc*>(ActiveDocument());
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetPathName(), InFolder(place.file));
        CSampleView& view = ViewOf(document);
        const int length = document->buffer.LineLength(place.line);
        EXPECT_EQ(Selection(view),
                  (std::pair{TextPosition{0, place.line}, TextPosition{length, place.line}}));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{0, place.line}));
        EXPECT_GE(place.line, view.TopLine());
        EXPECT_LT(place.line, view.TopLine() + view.VisibleLineCount());
        EXPECT_EQ(Frame().PaneText(0), QString::fromUtf8(place.message));
        EXPECT_EQ(ViewOf(log).ReachedReportLine(), place.reportLine);
    }

    bool Enabled(int id) const {
        CCmdUI ui(id);
        CCmdTarget* first = Frame().GetActiveView();
        if (first == nullptr)
            first = &Frame();
        first->RouteUpdateCommandUI(ui);
        return ui.IsEnabled();
    }

    QString programFolder;
    QString netlistFolder;
    SimulationPaths paths;
    CSampleDoc* netlist = nullptr;
    CSampleDoc* log = nullptr;
};

const Place kFirst{QStringLiteral("amp.cir"), 2, "unknown parameter (xyz)", 3};
const Place kSecond{QStringLiteral("amp.cir"), 4, "Undefined parameter [abc]", 6};
const Place kIncludedLine{QStringLiteral("sub.inc"), 1, "unknown parameter (zz)", 8};

TEST_F(LogErrorNavigationTest, DoubleClickOnAnyLineOfAReportSelectsTheLineItNames) {
    OpenNetlistAndLog();
    struct Case {
        const char* name;
        TextPosition clicked;
        Place expected;
    };
    const Case cases[] = {
        {"the heading", {6, 3}, kFirst},  {"the repeated line", {4, 4}, kFirst},
        {"the message", {12, 5}, kFirst}, {"a report without a repeated line", {3, 6}, kSecond},
        {"its message", {0, 7}, kSecond}, {"a line of the included file", {20, 8}, kIncludedLine},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        DoubleClick(FocusedLogView(), each.clicked);
        ExpectAt(each.expected);
    }
    EXPECT_TRUE(host.messages.empty());
}

// Only regular files are searched for a line: a pipe or a device among the includes would never
// end being read.
TEST_F(LogErrorNavigationTest, IncludesThatAreNoRegularFilesAreSkipped) {
    OpenNetlistAndLog();
    ASSERT_EQ(::mkfifo(QFile::encodeName(InFolder(QStringLiteral("pipe.inc"))).constData(), 0600),
              0);
    QByteArray withDevices = kNetlist;
    withDevices.replace(".include sub.inc",
                        ".include pipe.inc\r\n.include /dev/zero\r\n.include sub.inc");
    netlist->buffer.MakeReadOnly(false);
    WriteBytes(InFolder(QStringLiteral("amp.cir")), withDevices);
    netlist->OnCloseDocument();
    Settle();

    DoubleClick(FocusedLogView(), {20, 8});
    ExpectAt(kIncludedLine);
}

TEST_F(LogErrorNavigationTest, DoubleClickOutsideAReportSelectsAWordAndStaysInTheLog) {
    OpenNetlistAndLog();
    CSampleView& view = FocusedLogView();
    DoubleClick(view, {10, 1});  // "Circuit: amp"
    EXPECT_EQ(ActiveDocument(), log);
    EXPECT_EQ(Selection(view), (std::pair{TextPosition{9, 1}, TextPosition{12, 1}}));
    EXPECT_EQ(view.ReachedReportLine(), -1);
    EXPECT_FALSE(ViewOf(netlist).HasSelection());
}

TEST_F(LogErrorNavigationTest, NetlistWhoseWindowWasClosedOpensAgainAtTheLine) {
    OpenNetlistAndLog();
    netlist->OnCloseDocument();
    Settle();
    ASSERT_EQ(application->Documents().size(), 1u);

    DoubleClick(FocusedLogView(), {0, 3});
    ExpectAt(kFirst);
    EXPECT_EQ(application->Documents().size(), 2u);
}

TEST_F(LogErrorNavigationTest, ReadOnlyWindowOfTheRunsLogLeadsToLinesOutsideTheSlotToo) {
    OpenNetlistAndLog(kLog, false);
    ASSERT_EQ(application->logDocument, nullptr);
    DoubleClick(FocusedLogView(), {0, 6});
    ExpectAt(kSecond);
}

TEST_F(LogErrorNavigationTest, F4AndShiftF4StepThroughTheReportsAndGoRound) {
    OpenNetlistAndLog();
    FocusedLogView();
    struct Step {
        bool forward;
        Place expected;
    };
    const Step steps[] = {
        {true, kFirst},         {true, kSecond},  {true, kIncludedLine}, {true, kFirst},
        {false, kIncludedLine}, {false, kSecond}, {false, kFirst},
    };
    int number = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(number++);
        Press(Qt::Key_F4, step.forward ? Qt::NoModifier : Qt::ShiftModifier);
        ExpectAt(step.expected);
    }
}

// The mark covers the whole width of the report's lines, stays when the user comes back to the
// log, and goes when the log is read again.
TEST_F(LogErrorNavigationTest, ReachedReportKeepsABackgroundOfItsOwnInTheLog) {
    OpenNetlistAndLog();
    CSampleView& view = FocusedLogView();
    const int right = view.ClientRect().right() - 2;
    auto colourAt = [&](int line) {
        const QImage image = view.grab().toImage();
        return image.pixelColor(right, view.TextToPoint({0, line}).y() + view.LineHeight() / 2);
    };
    const QColor plain = colourAt(1);
    Press(Qt::Key_F4);
    ASSERT_EQ(ActiveDocument(), netlist);
    // Back in front, as the user switches to it; the mark is the one F4 left.
    FocusedLogView();
    for (int line : {3, 4, 5})
        EXPECT_NE(colourAt(line), plain) << line;
    for (int line : {1, 2, 6})
        EXPECT_EQ(colourAt(line), plain) << line;

    log->SendInitialUpdate();
    EXPECT_EQ(view.ReachedReportLine(), -1);
    EXPECT_EQ(colourAt(3), plain);
}

TEST_F(LogErrorNavigationTest, StepsGoOnFromTheReportDoubleClickedLast) {
    OpenNetlistAndLog();
    DoubleClick(FocusedLogView(), {0, 6});
    Press(Qt::Key_F4);
    ExpectAt(kIncludedLine);
    DoubleClick(FocusedLogView(), {0, 6});
    Press(Qt::Key_F4, Qt::ShiftModifier);
    ExpectAt(kFirst);
}

// ngspice writes its log in UTF-8: the message reaches the status bar with its characters.
TEST_F(LogErrorNavigationTest, TheMessageOfAUtf8LogIsShownWithItsCharacters) {
    OpenNetlistAndLog(
        "\nCircuit: amp\n\nError on line 3 or its substitute:\n  r1 in out xyz zz\n"
        "  unknown parameter (10µ) «xyz»\n");
    ASSERT_EQ(log->encoding, TextEncoding::Utf8);
    FocusedLogView();
    Press(Qt::Key_F4);
    EXPECT_EQ(Frame().PaneText(0), QStringLiteral("unknown parameter (10µ) «xyz»"));
}

// The report's message is about its netlist: another document's window clears it.
TEST_F(LogErrorNavigationTest, TheMessageGoesWhenAnotherDocumentBecomesActive) {
    OpenNetlistAndLog();
    FocusedLogView();
    Press(Qt::Key_F4);
    const QString shown = Frame().PaneText(0);
    ASSERT_THAT(shown.toStdString(), ::testing::HasSubstr("xyz"));
    application->OnFileNew();
    Settle();
    EXPECT_NE(Frame().PaneText(0), shown);
}

TEST_F(LogErrorNavigationTest, ErrorCommandsAreEnabledOnlyWhileTheRunsLogHasReports) {
    struct Case {
        const char* name;
        QByteArray log;  // empty: no log window
        bool enabled;
    };
    const Case cases[] = {
        {"no log", "", false},
        {"a log without reports", "\nCircuit: amp\nNo. of Data Rows : 1\n", false},
        {"a log with reports", kLog, true},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        application->CloseAllDocuments();
        Settle();
        if (!each.log.isEmpty())
            OpenNetlistAndLog(each.log);
        EXPECT_EQ(Enabled(ID_ANALYSIS_NEXT_ERROR), each.enabled);
        EXPECT_EQ(Enabled(ID_ANALYSIS_PREVIOUS_ERROR), each.enabled);
    }
}

// The real first program: F9, then F4 goes to the line ngspice names, in the netlist or in the
// file it includes.
class NgspiceLogTest : public LogErrorNavigationTest {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("ngspice")).isEmpty())
            GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
        LogErrorNavigationTest::SetUp();
        ASSERT_TRUE(kivra_test::CopySimulatorFolder(programFolder, QStringLiteral("Murin")));
        ASSERT_TRUE(kivra_test::CopySimulatorFolder(programFolder, QStringLiteral("common")));
    }
};

TEST_F(NgspiceLogTest, F4AfterARunGoesToTheLineNgspiceReports) {
    struct Case {
        const char* name;
        QByteArray netlist;
        Place expected;
    };
    const Case cases[] = {
        {"a line of the netlist",
         "bad\r\n* c\r\nV1 in 0 1\r\nR1 in out xyz zz\r\n.op\r\n.end\r\n",
         {QStringLiteral("bad.cir"), 3, "unknown parameter (xyz)", -1}},
        {"a line of an included file",
         "bad\r\n* c\r\nV1 in 0 1\r\n* d\r\n* e\r\n.include sub.inc\r\n.op\r\n.end\r\n",
         {QStringLiteral("sub.inc"), 1, "unknown parameter (zz)", -1}},
    };
    WriteBytes(InFolder(QStringLiteral("sub.inc")), kIncluded);
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        application->CloseAllDocuments();
        WriteBytes(InFolder(QStringLiteral("bad.cir")), each.netlist);
        CSampleDoc* document = OpenFile(InFolder(QStringLiteral("bad.cir")));
        ASSERT_NE(document, nullptr);
        ASSERT_TRUE(document->RouteCommand(ID_ANALYSIS_START));
        Settle();
        ASSERT_NE(application->logDocument, nullptr);
        log = application->logDocument;

        QApplication::setActiveWindow(&Frame());
        Frame().GetActiveView()->setFocus();
        Press(Qt::Key_F4);
        Place expected = each.expected;
        for (int line = 0; line < log->buffer.LineTotal(); ++line) {
            if (std::string(log->buffer.LineText(line), log->buffer.LineLength(line))
                    .starts_with("Error on line"))
                expected.reportLine = line;
        }
        ExpectAt(expected);
    }
}

}  // namespace
