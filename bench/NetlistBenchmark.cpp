// Structure and checks of a 100 MB netlist: the reader alone, against a plain split of the same
// text into lines (goal: the whole analysis within 1 s), and the document's analysis in the
// background of an open window, with the longest step the window took meanwhile (goal: none
// over 50 ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <string>

#include "CheckedNetlistGenerator.h"
#include "KivraApplication.h"
#include "NetlistAnalysis.h"
#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "Seconds.h"

namespace {

constexpr std::size_t kNetlistBytes = 100u << 20;

// The netlist and the library it includes, written once into a folder of the run.
const QString& NetlistPath() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString netlist = folder.filePath(QStringLiteral("large.cir"));
        std::ofstream(folder.filePath(QStringLiteral("models.lib")).toStdString()) << ".model dx d\n";
        const std::string text = GenerateCheckedNetlist(kNetlistBytes);
        std::ofstream(netlist.toStdString(), std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        return netlist;
    }();
    return path;
}

void AnalysisOfA100MBNetlist(benchmark::State& state) {
    const std::string text = GenerateCheckedNetlist(kNetlistBytes);
    const std::string path = NetlistPath().toStdString();
    double split = 1e9, analysis = 1e9;
    std::size_t findings = 0;
    for (auto _ : state) {
        split = std::min(split, Seconds([&] { benchmark::DoNotOptimize(NetlistText::FromBytes(text)); }));
        NetlistText lines = NetlistText::FromBytes(text);
        analysis = std::min(analysis, Seconds([&] {
            findings = AnalyzeNetlist(path, std::move(lines))->findings.size();
        }));
    }
    state.counters["analysis_s"] = analysis;
    state.counters["split_s"] = split;
    state.counters["ratio_to_split"] = analysis / split;
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(AnalysisOfA100MBNetlist)->Iterations(3)->Unit(benchmark::kMillisecond);

// The document's analysis, from the open to the result, and the longest step of the event loop
// meanwhile, noted by a zero timer.
void AnalysisInTheBackgroundOfTheWindow(benchmark::State& state) {
    double toResult = 1e9, longestStep = 0;
    for (auto _ : state) {
        CSampleDoc document;
        if (!document.OnOpenDocument(NetlistPath())) {
            state.SkipWithError("the netlist did not open");
            break;
        }
        CNetlistInsight* insight = CNetlistInsight::Of(document);
        bool done = false;
        QObject::connect(insight, &CNetlistInsight::analysisChanged, [&] { done = true; });
        QElapsedTimer sinceLastTurn, sinceOpen;
        double longest = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        heartbeat.start(0);
        sinceLastTurn.start();
        sinceOpen.start();
        while (!done && sinceOpen.elapsed() < 120000)
            QApplication::processEvents(QEventLoop::AllEvents);
        if (!done)
            state.SkipWithError("no analysis within two minutes");
        // The wait before a read is the editor's choice, not the reader's work.
        toResult = std::min(toResult, sinceOpen.nsecsElapsed() / 1e9 -
                                          CNetlistInsight::delayMilliseconds / 1e3);
        longestStep = std::max(longestStep, longest);
    }
    state.counters["to_result_s"] = toResult;
    state.counters["longest_step_ms"] = longestStep;
}
BENCHMARK(AnalysisInTheBackgroundOfTheWindow)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CKivraApplication application(argc, argv);
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(state.path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
