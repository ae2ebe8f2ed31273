#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchmarkChild.h"
#include "NetlistColoredView.h"

int RunBenchmarksWithApplication(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (BenchmarkChild::RunIfAsked(argc, argv))
        return 0;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

int main(int argc, char** argv) {
    return RunBenchmarksWithApplication(argc, argv);
}
