// Start analysis end to end, with the program's windows around it: stand-in programs written into
// a folder of the test record what they were given and write result files, wait, crash or are
// missing; the real first program runs ngspice where it is installed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CmdUI.h"
#include "CommandIds.h"
#include "DocumentTyping.h"
#include "EventLoop.h"
#include "MainFrame.h"
#include "NetlistColorizer.h"
#include "ProcessLauncher.h"
#include "RunProgressWindow.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"
#include "SimulationRun.h"
#include "SimulatorCopies.h"
#include "TestFiles.h"
#include "View.h"

namespace {

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;
using kivra_test::Type;
using kivra_test::WaitFor;
using kivra_test::WriteBytes;
using kivra_test::WriteProgram;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Records every start and passes it on to the system.
class RecordingLauncher : public CProcessLauncher {
public:
    struct Record {
        QString program;
        QStringList arguments;
        QString folder;
        bool detached;
    };

    RecordingLauncher() { SetProcessLauncher(this); }
    ~RecordingLauncher() override { SetProcessLauncher(nullptr); }

    std::unique_ptr<QProcess> Start(const QString& program, const QStringList& arguments,
                                    const QString& folder,
                                    const QStringList& environment) override {
        starts.push_back({program, arguments, folder, false});
        return SystemProcessLauncher().Start(program, arguments, folder, environment);
    }
    bool StartDetached(const QString& program, const QStringList& arguments,
                       const QString& folder) override {
        starts.push_back({program, arguments, folder, true});
        return SystemProcessLauncher().StartDetached(program, arguments, folder);
    }

    int DetachedStarts() const {
        int count = 0;
        for (const auto& start : starts)
            count += start.detached ? 1 : 0;
        return count;
    }

    std::vector<Record> starts;
};

// Records its folder, arguments and process id, writes the log (without an error line when
// "clean-<netlist name>" exists, with one in UTF-8 when "utf8-<name>" exists), waits while
// "hold-<name>" exists (ten seconds at most) with a child of its own standing for the simulator
// (its process id in child.txt, the private folder it was given in private.txt), crashes when
// "crash-<name>" exists, sleeps as long
// as "sleep-<name>" says, ends without a raw file when "noraw-<name>" exists, else writes the raw
// file and keeps a copy of the netlist it read.
const char kFirstStandIn[] = R"sh(#!/bin/sh
{ printf 'dir=%s\n' "$(pwd)"; for a in "$@"; do printf 'arg=%s\n' "$a"; done; } >>calls.txt
echo $$ >pid.txt
for a in "$@"; do netlist=$a; done
name=$(basename "$netlist")
echo "simulating $name"
if [ -e "clean-$name" ]; then
    printf 'log of %s\r\nno errors\r\n' "$name" >kivra.log
elif [ -e "utf8-$name" ]; then
    printf 'log of %s\r\nError: unknown parameter (10µ) in «x1»\r\n' "$name" >kivra.log
else
    printf 'log of %s\r\nError on line 2 or its substitute:\r\n' "$name" >kivra.log
fi
n=0
if [ -e "hold-$name" ]; then
    printf '%s\n' "$KIVRA_RUN_FOLDER" >private.txt
    touch "$KIVRA_RUN_FOLDER/work"
    sleep 30 &
    echo $! >child.txt
fi
while [ -e "hold-$name" ] && [ $n -lt 500 ]; do sleep 0.02; n=$((n + 1)); done
if [ -e "crash-$name" ]; then kill -SEGV $$; fi
if [ -e "sleep-$name" ]; then sleep "$(cat "sleep-$name")"; fi
if [ -e "noraw-$name" ]; then exit 1; fi
printf 'raw of %s\r\n' "$name" >kivra.raw
cp "$netlist" seen.cir
)sh";

// Records its folder and arguments, whole, in one step.
const char kSecondStandIn[] = R"sh(#!/bin/sh
{ printf 'dir=%s\n' "$(pwd)"; for a in "$@"; do printf 'arg=%s\n' "$a"; done; } >calls.tmp
mv calls.tmp calls.txt
)sh";

std::string Text(const CSampleDoc* document) {
    std::string text;
    for (int line = 0; line < document->buffer.LineTotal(); ++line) {
        if (line > 0)
            text += '\n';
        text.append(document->buffer.LineText(line), document->buffer.LineLength(line));
    }
    return text;
}

class AnalysisRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSettingsStore().clear();
        ASSERT_TRUE(root.isValid());
        // Blanks and Cyrillic letters in every path the programs get.
        programFolder = root.filePath(QStringLiteral("программа с пробелом"));
        netlistFolder = root.filePath(QStringLiteral("мои схемы"));
        ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("/Murin")));
        ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("/Talvex")));
        ASSERT_TRUE(QDir().mkpath(netlistFolder));
        paths = SimulationPathsIn(programFolder);
        WriteProgram(paths.firstProgram, kFirstStandIn);
        WriteProgram(paths.secondProgram, kSecondStandIn);
        SetSimulationFolder(programFolder);

        application = std::make_unique<CSampleApp>();
        ASSERT_TRUE(application->InitInstance());
        Settle();
    }

    void TearDown() override {
        application.reset();
        Settle();
        SetSimulationFolder(QString());
        CSettingsStore().clear();
    }

    QString Netlist(const QString& name) const { return netlistFolder + QLatin1Char('/') + name; }

    CSampleDoc* Open(const QString& name, const QByteArray& text) {
        WriteBytes(Netlist(name), text);
        auto* document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(Netlist(name)));
        EXPECT_NE(document, nullptr);
        Settle();
        return document;
    }

    void Run(CSampleDoc* document) {
        ASSERT_TRUE(document->RouteCommand(ID_ANALYSIS_START));
        Settle();
    }

    // Runs the action from inside the run's wait, after the given time.
    static void During(int milliseconds, std::function<void()> action) {
        QTimer::singleShot(milliseconds, std::move(action));
    }

    QString InFirst(const QString& name) const { return paths.firstFolder + '/' + name; }
    void Hold(const QString& netlistName) {
        WriteBytes(InFirst(QStringLiteral("hold-") + netlistName), "");
    }
    void Release(const QString& netlistName) {
        QFile::remove(InFirst(QStringLiteral("hold-") + netlistName));
    }

    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const auto& message : host.messages)
            texts.push_back(message.text);
        return texts;
    }
    std::vector<CDocument*> Documents() const { return application->Documents(); }
    int WindowCount() const {
        return static_cast<int>(application->MainFrame()->MdiArea()->subWindowList().size());
    }
    static bool ReadIndicatorOn(CSampleDoc* document) {
        CCmdUI ui(ID_INDICATOR_READ);
        document->Views().front()->RouteUpdateCommandUI(ui, false);
        return ui.IsEnabled();
    }

    // The first program of the last run, by the process id it recorded.
    pid_t FirstProgramId() const {
        return ReadBytesOrEmpty(InFirst(QStringLiteral("pid.txt"))).trimmed().toInt();
    }
    static bool ProcessGone(pid_t id) { return id > 0 && kill(id, 0) == -1 && errno == ESRCH; }

    // Makes a result window writable with its command and types into it, as a user would.
    static void EditResult(CSampleDoc* result) {
        ASSERT_TRUE(result->RouteCommand(ID_DOC_READONLY));
        ASSERT_FALSE(result->buffer.IsReadOnly());
        Type(*result, "my notes ");
    }

    static CRunProgressWindow* ProgressWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<CRunProgressWindow*>(widget))
                return window;
        }
        return nullptr;
    }

    kivra_test::ScriptedModalHost host;
    RecordingLauncher launcher;
    QTemporaryDir root;
    QString programFolder;
    QString netlistFolder;
    SimulationPaths paths;
    std::unique_ptr<CSampleApp> application;
};

const QByteArray kPlainNetlist = "RC\r\nR1 1 0 1k\r\nC1 1 0 1u\r\n.tran 1u 1m\r\n.end\r\n";
const QByteArray kControlNetlist =
    "RC\r\nR1 1 0 1k\r\n   *#PLOT V(1)\r\n.CONTROL\r\nRUN\r\n  .ENDC\r\n.end\r\n";

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
    EXPECT_EQ(host.dialogsShown, test.dialogsShown);
    EXPECT_EQ(launcher.starts.size(), startsBefore + (test.runs ? 1 : 0));
    if (!test.runs)
        EXPECT_EQ(ReadBytesOrEmpty(editedPath), onDiskBefore) << "nothing is written";
    if (test.editsKept) {
        ASSERT_FALSE(editedAlive.expired());
        EXPECT_THAT(Text(edited), HasSubstr("my notes "));
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

// The real first program, with ngspice, on the RC example; the second program stays a stand-in,
// since ngspice's plot windows need a display.
class NgspiceRunTest : public AnalysisRunTest {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("ngspice")).isEmpty())
            GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
        AnalysisRunTest::SetUp();
        ASSERT_TRUE(kivra_test::CopySimulatorFolder(programFolder, QStringLiteral("Murin")));
        ASSERT_TRUE(kivra_test::CopySimulatorFolder(programFolder, QStringLiteral("common")));
    }
};

TEST_F(NgspiceRunTest, RealSimulatorWritesAnAsciiRawFileOfTheCircuitAndALog) {
    QByteArray example = ReadBytesOrEmpty(QStringLiteral(KIVRA_EXAMPLES_DIR "/rc_lowpass.cir"));
    ASSERT_FALSE(example.isEmpty());
    Run(Open(QStringLiteral("rc lowpass.cir"), example));

    ASSERT_TRUE(host.messages.empty()) << host.messages[0].text.toStdString();
    ASSERT_NE(application->rawDocument, nullptr);
    ASSERT_NE(application->logDocument, nullptr);
    const QByteArray raw = ReadBytesOrEmpty(paths.rawFile);
    EXPECT_TRUE(raw.startsWith("Title: rc low-pass filter")) << raw.left(80).toStdString();
    EXPECT_THAT(raw.toStdString(), HasSubstr("Plotname: Transient Analysis"));
    EXPECT_THAT(
        raw.toStdString(),
        HasSubstr("Variables:\n\t0\ttime\ttime\n\t1\tv(in)\tvoltage\n\t2\tv(out)\tvoltage"));
    EXPECT_THAT(raw.toStdString(), HasSubstr("\nValues:\n"));
    EXPECT_THAT(Text(application->logDocument), HasSubstr("Circuit: rc low-pass filter"));
    EXPECT_EQ(ReadBytesOrEmpty(paths.deckFile),
              "temp file for Talvex \r\n*#load ..\\Murin\\kivra.raw\r\n"
              ".control\r\nrun\r\nplot v(in) v(out)\r\n.endc\r\n.end\r\n");
    EXPECT_EQ(launcher.DetachedStarts(), 1);
}

// The netlist's relative .include and .lib files are found beside the netlist, and a line that
// only mentions ".control" opens no block.
TEST_F(NgspiceRunTest, RelativeIncludesAreFoundBesideTheNetlist) {
    WriteBytes(Netlist(QStringLiteral("load model.inc")), "RL out 0 1k\n");
    Run(Open(QStringLiteral("divider.cir"),
             "divider\nV1 in 0 1\nR1 in out 1k\n.include \"load model.inc\"\n.op\n"
             "* the block below prints .control\n.control\nrun\nprint v(out)\n.endc\n.end\n"));

    ASSERT_NE(application->logDocument, nullptr);
    const std::string log = Text(application->logDocument);
    EXPECT_THAT(log, Not(HasSubstr("rror"))) << log;
    EXPECT_THAT(ReadBytesOrEmpty(paths.rawFile).toStdString(),
                HasSubstr("Plotname: Operating Point"));
}

// With no raw file, the one message quotes the error with its reason, not its heading alone.
TEST_F(NgspiceRunTest, NoRawFileMessageGivesTheErrorsReason) {
    Run(Open(QStringLiteral("bad.cir"), "bad\n* c\nV1 in 0 1\nR1 in out xyz zz\n.op\n.end\n"));

    ASSERT_EQ(host.messages.size(), 1u);
    const std::string text = host.messages[0].text.toStdString();
    EXPECT_THAT(text, HasSubstr("Error on line 4 or its substitute:"));
    EXPECT_THAT(text, HasSubstr("unknown parameter (xyz)"));
}

TEST_F(NgspiceRunTest, NetlistErrorShowsInTheLogOnARedLine) {
    Run(Open(QStringLiteral("bad.cir"),
             "bad\r\n* c\r\nV1 in 0 1\r\nR1 in out xyz zz\r\n.op\r\n"
             ".end\r\n"));

    ASSERT_NE(application->logDocument, nullptr);
    const CSampleDoc* log = application->logDocument;
    bool coloured = false;
    for (int line = 0; line < log->buffer.LineTotal(); ++line) {
        std::string text(log->buffer.LineText(line), log->buffer.LineLength(line));
        if (!text.starts_with("Error on line 4"))
            continue;
        std::vector<ColorRun> runs(3 * text.size() + 3);
        int count = 0;
        ClassifyNetlistLine(0, text.data(), static_cast<int>(text.size()), runs.data(), count);
        // Each character takes the role of the last run that starts at or before it.
        auto roleAt = [&](int position) {
            ColorRole role = NormalText;
            for (int i = 0; i < count && runs[i].start <= position; ++i)
                role = runs[i].role;
            return role;
        };
        coloured = roleAt(0) == Comment && roleAt(static_cast<int>(text.size()) - 1) == Comment;
    }
    EXPECT_TRUE(coloured) << Text(log);
}

// The real second program without a display, on the deck Kivra wrote: the netlist's "*#" lines
// run once on the results, loaded by their real path, capitals and blanks and all, and the
// deck is left as it was.
TEST_F(NgspiceRunTest, SecondProgramRunsTheNetlistsLinesOnTheResultsAndLeavesTheDeckAlone) {
    QByteArray example =
        ReadBytesOrEmpty(QStringLiteral(KIVRA_EXAMPLES_DIR "/rectifier_control_lines.cir"));
    ASSERT_FALSE(example.isEmpty());
    Run(Open(QStringLiteral("Rectifier Test.cir"), example));
    ASSERT_TRUE(QFile::exists(paths.rawFile));
    const QByteArray deck = ReadBytesOrEmpty(paths.deckFile);
    ASSERT_TRUE(deck.contains("*# print mean(v(out))"));
    ASSERT_TRUE(kivra_test::CopySimulatorFolder(programFolder, QStringLiteral("Talvex")));

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(paths.secondFolder);
    second.start(paths.secondProgram, {QStringLiteral("temp.cir")});
    ASSERT_TRUE(second.waitForFinished(20000));

    const std::string output =
        ReadBytesOrEmpty(paths.secondFolder + QStringLiteral("/talvex.log")).toStdString();
    EXPECT_THAT(output, HasSubstr("mean(v(out)) = "));
    EXPECT_THAT(output, Not(HasSubstr("rror"))) << output;
    EXPECT_EQ(ReadBytesOrEmpty(paths.deckFile), deck);
}

}  // namespace

// The command lines of the ngspice processes that run in the folder (their working folder).
QStringList NgspiceCommandsIn(const QString& folder) {
    const QString wanted = QFileInfo(folder).canonicalFilePath();
    QStringList commands;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (ReadBytesOrEmpty(QStringLiteral("/proc/%1/comm").arg(entry)) != "ngspice\n" ||
            QFileInfo(QStringLiteral("/proc/%1/cwd").arg(entry)).symLinkTarget() != wanted)
            continue;
        commands << QString::fromUtf8(
            ReadBytesOrEmpty(QStringLiteral("/proc/%1/cmdline").arg(entry)));
    }
    return commands;
}

// A long simulation stopped, with Стоп or by closing Kivra during the wait, leaves no ngspice
// running and no private folder behind.
TEST_F(NgspiceRunTest, AStoppedLongSimulationLeavesNothingRunning) {
    for (bool byClosing : {false, true}) {
        CSampleDoc* netlist = Open(QStringLiteral("long.cir"),
                                   "long\nV1 in 0 sin(0 1 1meg)\nR1 in out 1k\nC1 out 0 1n\n"
                                   ".tran 1n 10\n.print tran v(out)\n.end\n");
        CSampleDoc* unsaved = nullptr;
        if (byClosing) {
            application->OnFileNew();
            unsaved = dynamic_cast<CSampleDoc*>(Documents().back());
            Type(*unsaved, "* notes");
            // The save prompt of the close is cancelled: Kivra stays.
            host.Then([](QDialog&) { return static_cast<int>(QMessageBox::Cancel); });
        }
        bool stopped = false;
        QString privateFolder;
        During(200, [&] {
            const QStringList commands = NgspiceCommandsIn(netlistFolder);
            if (stopped || commands.isEmpty())
                return;
            // The deck ngspice reads lies in the run's private folder.
            QRegularExpressionMatch deck =
                QRegularExpression(QStringLiteral("(/tmp/kivra-run\\.[^/]+)/")).match(commands[0]);
            privateFolder = deck.captured(1);
            stopped = true;
            if (byClosing)
                application->MainFrame()->close();
            else if (CRunProgressWindow* window = ProgressWindow())
                QTest::mouseClick(window->StopButton(), Qt::LeftButton);
        });
        QElapsedTimer clock;
        clock.start();
        Run(netlist);

        EXPECT_TRUE(stopped) << byClosing;
        EXPECT_LT(clock.elapsed(), 10000) << byClosing;
        // A process killed a moment ago may take a moment to go.
        EXPECT_TRUE(WaitFor([&] { return NgspiceCommandsIn(netlistFolder).isEmpty(); }, 2000, 20))
            << byClosing;
        EXPECT_FALSE(privateFolder.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(privateFolder)) << privateFolder.toStdString();
        EXPECT_EQ(application->logDocument, nullptr);
        if (unsaved != nullptr)
            unsaved->OnCloseDocument();
        host.messages.clear();
    }
}
