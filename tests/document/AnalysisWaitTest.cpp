// The wait for the simulator: the interface stays live, Стоп ends the run, a crash is reported,
// and closing a document, the main window or the program during the wait.

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
using kivra_test::WaitFor;
using kivra_test::WriteBytes;
using ::testing::HasSubstr;

TEST_F(AnalysisRunTest, InterfaceStaysLiveDuringTheWaitWithTheProcessorIdle) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    WriteBytes(InFirst(QStringLiteral("sleep-a.cir")), "1");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(20);
    bool waitCursor = false;
    bool placed = false;
    QString shownOutput;
    QString title;
    int documentsDuring = 0;
    During(500, [&] {
        waitCursor = QGuiApplication::overrideCursor() != nullptr &&
                     QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        if (CRunProgressWindow* window = ProgressWindow()) {
            title = window->windowTitle();
            shownOutput = window->Output();
            QRect screen = QGuiApplication::primaryScreen()->geometry();
            RunWindowPlace place = RunWindowPlaceOn(screen.width(), screen.height());
            placed = window->isVisible() &&
                     window->geometry().topLeft() == QPoint(place.x, place.y) &&
                     window->width() == place.width;
        }
        // A command works meanwhile: a new document.
        application->OnFileNew();
        documentsDuring = static_cast<int>(Documents().size());
    });

    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer clock;
    clock.start();
    Run(netlist);
    const double wall = clock.nsecsElapsed() / 1e9;
    getrusage(RUSAGE_SELF, &after);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    const double busy = seconds(after.ru_utime) - seconds(before.ru_utime) +
                        seconds(after.ru_stime) - seconds(before.ru_stime);

    EXPECT_GE(wall, 1.0);
    EXPECT_GE(ticks, 20) << "timers fire while the simulator runs";
    EXPECT_LT(busy, 0.5 * wall) << "the wait does not keep the processor busy";
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(title, QStringLiteral("ИДЕТ РАСЧЕТ..."));
    EXPECT_EQ(shownOutput, QStringLiteral("simulating a.cir\n"));
    EXPECT_TRUE(placed);
    EXPECT_EQ(documentsDuring, 2);
    EXPECT_NE(application->rawDocument, nullptr);
}

// Stop ends the first program with all it started and its private folder, says so once, and
// shows nothing of the run as if it had ended.
TEST_F(AnalysisRunTest, StopEndsTheWholeFirstProgramAndOpensNothing) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    Hold(QStringLiteral("a.cir"));
    bool clicked = false;
    During(200, [&] {
        CRunProgressWindow* window = ProgressWindow();
        if (window != nullptr && QFile::exists(InFirst(QStringLiteral("child.txt")))) {
            QTest::mouseClick(window->StopButton(), Qt::LeftButton);
            clicked = true;
        } else if (window == nullptr) {
            Release(QStringLiteral("a.cir"));
        }
    });
    QElapsedTimer clock;
    clock.start();
    Run(netlist);

    EXPECT_TRUE(clicked);
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("остановлен"));
    EXPECT_EQ(application->logDocument, nullptr);
    EXPECT_EQ(application->rawDocument, nullptr);
    EXPECT_EQ(launcher.DetachedStarts(), 0);
    const pid_t child = ReadBytesOrEmpty(InFirst(QStringLiteral("child.txt"))).trimmed().toInt();
    ASSERT_GT(child, 0);
    // A process that has ended may wait as a zombie for its new parent to collect it, and one
    // killed a moment ago may take a moment to go.
    auto ended = [&] {
        const QByteArray status = ReadBytesOrEmpty(QStringLiteral("/proc/%1/stat").arg(child));
        return status.isEmpty() || status.contains(") Z ");
    };
    EXPECT_TRUE(WaitFor(ended, 2000, 20)) << "the simulator outlives the stop";
    const QString privateFolder =
        QString::fromUtf8(ReadBytesOrEmpty(InFirst(QStringLiteral("private.txt"))).trimmed());
    EXPECT_TRUE(privateFolder.startsWith(QStringLiteral("/tmp/kivra-run.")));
    EXPECT_FALSE(QFileInfo::exists(privateFolder));
    Release(QStringLiteral("a.cir"));
}

TEST_F(AnalysisRunTest, CrashedSimulatorIsReportedAndItsResultsStillShown) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kPlainNetlist);
    WriteBytes(InFirst(QStringLiteral("crash-a.cir")), "");
    Run(netlist);

    ASSERT_GE(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Расчет аварийно прерван."));
    EXPECT_NE(application->logDocument, nullptr);
}

TEST_F(AnalysisRunTest, DocumentClosedDuringTheWaitGetsItsResultsButNoDeck) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    Hold(QStringLiteral("a.cir"));
    During(100, [&] {
        netlist->OnCloseDocument();
        Release(QStringLiteral("a.cir"));
    });
    Run(netlist);

    EXPECT_TRUE(host.messages.empty());
    ASSERT_NE(application->logDocument, nullptr);
    ASSERT_NE(application->rawDocument, nullptr);
    EXPECT_EQ(Documents().size(), 2u);
    EXPECT_FALSE(QFile::exists(paths.deckFile));
    EXPECT_EQ(launcher.DetachedStarts(), 0);
}

// Two runs would share the result files: while one waits, the command is disabled on the toolbar
// and for F9, and a route of it that comes anyway starts nothing.
TEST_F(AnalysisRunTest, AnalysisStartIsDisabledWhileARunWaits) {
    CSampleDoc* first = Open(QStringLiteral("a.cir"), kPlainNetlist);
    CSampleDoc* second = Open(QStringLiteral("b.cir"), kControlNetlist);
    CMainFrame* frame = application->MainFrame();
    QAction* start = frame->CommandAction(ID_ANALYSIS_START);
    ASSERT_NE(start, nullptr);
    QWidget* button = frame->ToolBar()->widgetForAction(start);
    ASSERT_NE(button, nullptr);
    frame->UpdateCommandUI();
    ASSERT_TRUE(start->isEnabled());

    Hold(QStringLiteral("a.cir"));
    bool enabledDuring = true;
    bool buttonEnabledDuring = true;
    bool routed = false;
    size_t startsDuring = 0;
    During(100, [&] {
        frame->UpdateCommandUI();
        enabledDuring = start->isEnabled();
        buttonEnabledDuring = button->isEnabled();
        // F9 in b.cir's window, the active one, then the command routed to its document.
        QTest::keyClick(dynamic_cast<QWidget*>(frame->GetActiveView()), Qt::Key_F9);
        routed = second->RouteCommand(ID_ANALYSIS_START);
        startsDuring = launcher.starts.size();
        Release(QStringLiteral("a.cir"));
    });
    Run(first);

    EXPECT_FALSE(enabledDuring);
    EXPECT_FALSE(buttonEnabledDuring);
    EXPECT_TRUE(routed);
    EXPECT_EQ(startsDuring, 1u);
    EXPECT_EQ(launcher.starts.size(), 1u);
    // The results are the first run's alone.
    EXPECT_TRUE(host.messages.empty());
    ASSERT_NE(application->rawDocument, nullptr);
    EXPECT_EQ(Text(application->rawDocument), "raw of a.cir\n");
    EXPECT_EQ(Text(application->logDocument), "log of a.cir\nError on line 2 or its substitute:\n");
    EXPECT_EQ(application->netlistPath, Netlist(QStringLiteral("a.cir")));
    EXPECT_EQ(Documents().size(), 4u);
    frame->UpdateCommandUI();
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(button->isEnabled());
}

// Closing Kivra while the simulator runs ends the simulator and the run: nothing is opened,
// written or started, though the log was there to open. Then come the usual save prompts, once
// the simulator has gone; Cancel there keeps Kivra open, and it runs as before.
TEST_F(AnalysisRunTest, ClosingTheMainWindowDuringTheWaitEndsTheRunAndCancelKeepsKivraOpen) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    application->OnFileNew();
    auto* unsaved = dynamic_cast<CSampleDoc*>(Documents().back());
    Type(*unsaved, "* notes");
    Hold(QStringLiteral("a.cir"));
    bool closeRefused = false;
    bool logWritten = false;
    During(200, [&] {
        logWritten = QFile::exists(paths.logFile);
        closeRefused = !application->MainFrame()->close();
    });
    bool simulatorGoneWhenAsked = false;
    host.Then([&](QDialog&) {
        simulatorGoneWhenAsked = ProcessGone(FirstProgramId());
        return static_cast<int>(QMessageBox::Cancel);
    });
    QElapsedTimer clock;
    clock.start();
    Run(netlist);

    EXPECT_TRUE(closeRefused) << "the close waits until the run has gone";
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(simulatorGoneWhenAsked);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Save changes to"));
    EXPECT_TRUE(logWritten);
    EXPECT_EQ(application->logDocument, nullptr);
    EXPECT_EQ(application->rawDocument, nullptr);
    EXPECT_EQ(Documents().size(), 2u);
    EXPECT_FALSE(QFile::exists(paths.deckFile));
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_TRUE(application->MainFrame()->isVisible());
    EXPECT_TRUE(unsaved->IsModified());

    Release(QStringLiteral("a.cir"));
    Run(netlist);
    EXPECT_NE(application->rawDocument, nullptr);
    EXPECT_EQ(launcher.DetachedStarts(), 1);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(AnalysisRunTest, ExitDuringTheWaitEndsTheRunThenClosesKivraThroughTheSavePrompts) {
    CSampleDoc* netlist = Open(QStringLiteral("a.cir"), kControlNetlist);
    application->OnFileNew();
    Type(*dynamic_cast<CSampleDoc*>(Documents().back()), "* notes");
    Hold(QStringLiteral("a.cir"));
    bool exitRouted = false;
    During(200, [&] { exitRouted = application->MainFrame()->OnCommand(ID_APP_EXIT); });
    host.ThenPress(QMessageBox::No);
    QElapsedTimer clock;
    clock.start();
    Run(netlist);

    EXPECT_TRUE(exitRouted);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(ProcessGone(FirstProgramId()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("Save changes to"));
    EXPECT_FALSE(application->MainFrame()->isVisible());
    EXPECT_TRUE(Documents().empty());
    EXPECT_FALSE(QFile::exists(paths.deckFile));
    EXPECT_EQ(launcher.starts.size(), 1u);
    Release(QStringLiteral("a.cir"));
}

}  // namespace
