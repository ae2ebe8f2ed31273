// The main of the benchmarks of the whole program: Kivra's application object, offscreen unless a
// platform is named, with settings and state of the run's own.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "KivraApplication.h"

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
