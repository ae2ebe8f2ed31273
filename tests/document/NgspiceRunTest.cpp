// The real first program with ngspice, where it is installed, on netlists of the examples; the
// second program stays a stand-in, since ngspice's plot windows need a display.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "AnalysisRunFixture.h"
#include "InteractiveChart.h"
#include <QTabBar>
#include "WaveformPanel.h"
#include "WaveformView.h"

namespace {

using kivra_test::AnalysisRunTest;
using kivra_test::ReadBytesOrEmpty;
using kivra_test::Text;
using kivra_test::Type;
using kivra_test::WaitFor;
using kivra_test::WriteBytes;
using ::testing::HasSubstr;
using ::testing::Not;

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

}  // namespace

// F9 opens the waveforms of kivra.raw beside its two text windows, which keep the front, with the
// vectors of the netlist's plot command; F9 again brings the new results into the same window
// and view.
TEST_F(NgspiceRunTest, TheWaveformWindowShowsTheRunAndKeepsItsViewAcrossRuns) {
    QByteArray example = ReadBytesOrEmpty(QStringLiteral(KIVRA_EXAMPLES_DIR "/rc_lowpass.cir"));
    CSampleDoc* netlist = Open(QStringLiteral("rc lowpass.cir"), example);
    Run(netlist);
    ASSERT_TRUE(host.messages.empty()) << host.messages[0].text.toStdString();
    ASSERT_EQ(WaveformDocuments().size(), 1u);
    CDocument* waveforms = WaveformDocuments().front();
    EXPECT_EQ(waveforms->GetTitle(), QStringLiteral("kivra.raw — графики"));
    EXPECT_EQ(application->MainFrame()->ActiveChild()->GetActiveView()->GetDocument(),
              application->rawDocument);
    ASSERT_EQ(waveforms->Views().size(), 1u);
    auto* view = dynamic_cast<CWaveformView*>(waveforms->Views().front());
    ASSERT_NE(view, nullptr);
    CInteractiveChart& chart = *view->Panel()->Chart();
    ASSERT_EQ(chart.Traces().size(), 2u);  // "plot v(in) v(out)"
    EXPECT_EQ(chart.Traces()[1].plottable->name(), QStringLiteral("v(out)"));

    chart.ScaleAxis()->setRange(1e-3, 3e-3);
    chart.SetCursor(false, 2e-3);
    Run(netlist);
    ASSERT_EQ(WaveformDocuments().size(), 1u);
    EXPECT_EQ(WaveformDocuments().front(), waveforms);
    EXPECT_EQ(chart.ScaleAxis()->range(), QCPRange(1e-3, 3e-3));
    ASSERT_TRUE(chart.CursorA());
    EXPECT_NEAR(*chart.CursorA(), 2e-3, 1e-4);
}

// Runs of one analysis that alter repeats are a family: one tab, each vector in a shade per run.
TEST_F(NgspiceRunTest, RunsRepeatedWithAlterShareOneTab) {
    Run(Open(QStringLiteral("alter.cir"),
             "rc alter\nv1 in 0 pulse(0 1 0 1u 1u 5u 10u)\nr1 in out 1k\nc1 out 0 1n\n"
             ".tran 0.1u 20u\n.control\nrun\nalter c1 2n\nrun\n.endc\n.end\n"));
    ASSERT_TRUE(host.messages.empty()) << host.messages[0].text.toStdString();
    ASSERT_EQ(WaveformDocuments().size(), 1u);
    auto* view = dynamic_cast<CWaveformView*>(WaveformDocuments().front()->Views().front());
    ASSERT_NE(view, nullptr);
    QTabBar& tabs = *view->Panel()->Tabs();
    ASSERT_EQ(tabs.count(), 1) << tabs.tabText(1).toStdString();
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("tran1…tran2 · Transient Analysis"));
    const auto& traces = view->Panel()->Chart()->Traces();
    ASSERT_EQ(traces.size(), 4u);  // v(in) and v(out) of each run
    EXPECT_EQ(traces[2].plottable->name(), QStringLiteral("v(in) · tran2"));
    EXPECT_NE(traces[0].plottable->pen().color(), traces[2].plottable->pen().color());
}

// The "*#" lines of the band-pass example ask for vdb(out2) and v(in): the first window of its
// run shows those, as magnitude and phase, not the node voltages it would show without them.
TEST_F(NgspiceRunTest, TheNetlistsDeckLinesChooseTheFirstVectors) {
    QByteArray example =
        ReadBytesOrEmpty(QStringLiteral(KIVRA_EXAMPLES_DIR "/active_bandpass.cir"));
    ASSERT_FALSE(example.isEmpty());
    Run(Open(QStringLiteral("bandpass.cir"), example));
    ASSERT_EQ(WaveformDocuments().size(), 1u);
    auto* view = dynamic_cast<CWaveformView*>(WaveformDocuments().front()->Views().front());
    ASSERT_NE(view, nullptr);
    std::vector<QString> names;
    for (const auto& trace : view->Panel()->Chart()->Traces())
        names.push_back(trace.plottable->name());
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("db(v(out2))"), QStringLiteral("ph(v(out2))"),
                                           QStringLiteral("db(v(in))"), QStringLiteral("ph(v(in))")}));
}
