#pragma once

// Start analysis end to end, with the program's windows around it: stand-in programs written into
// a folder of the test record what they were given and write result files, wait, crash or are
// missing.

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
#include <QMdiSubWindow>
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

#include "ChildFrame.h"
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

namespace kivra_test {

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
inline constexpr char kFirstStandIn[] = R"sh(#!/bin/sh
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
inline constexpr char kSecondStandIn[] = R"sh(#!/bin/sh
{ printf 'dir=%s\n' "$(pwd)"; for a in "$@"; do printf 'arg=%s\n' "$a"; done; } >calls.tmp
mv calls.tmp calls.txt
)sh";

// The document's text, its lines joined by "\n".
inline std::string Text(const CSampleDoc* document) {
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
    // The text documents and their windows: the waveform window of the raw file, which a run
    // opens beside them and keeps across runs, is counted apart.
    std::vector<CDocument*> Documents() const {
        std::vector<CDocument*> text;
        for (CDocument* document : application->Documents()) {
            if (!document->FollowsRunFile())
                text.push_back(document);
        }
        return text;
    }
    int WindowCount() const {
        int count = 0;
        for (QMdiSubWindow* window : application->MainFrame()->MdiArea()->subWindowList()) {
            auto* child = qobject_cast<CChildFrame*>(window);
            CView* view = child != nullptr ? child->GetActiveView() : nullptr;
            CDocument* document = view != nullptr ? view->GetDocument() : nullptr;
            if (document == nullptr || !document->FollowsRunFile())
                ++count;
        }
        return count;
    }
    // The documents that show waveforms.
    std::vector<CDocument*> WaveformDocuments() const {
        std::vector<CDocument*> waveforms;
        for (CDocument* document : application->Documents()) {
            if (document->FollowsRunFile())
                waveforms.push_back(document);
        }
        return waveforms;
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

inline const QByteArray kPlainNetlist = "RC\r\nR1 1 0 1k\r\nC1 1 0 1u\r\n.tran 1u 1m\r\n.end\r\n";
inline const QByteArray kControlNetlist =
    "RC\r\nR1 1 0 1k\r\n   *#PLOT V(1)\r\n.CONTROL\r\nRUN\r\n  .ENDC\r\n.end\r\n";

}  // namespace kivra_test
