// The whole program opening a large netlist, offscreen: from the open command to the first paint
// of the new window, against reading the file's bytes in the same run; and the program's peak
// memory with the file open, against the file's size.
//
// Every open runs in a fresh process of this same binary ("--open-child FILE"), so that nothing
// an earlier open left behind (fonts, caches, freed memory, the peak itself) counts. The child
// can be run by hand, under a profiler for instance; "--write-netlist FILE" writes the text the
// benchmark opens.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Document.h"
#include "KivraApplication.h"
#include "ModalHost.h"
#include "NetlistGenerator.h"
#include "SampleApp.h"
#include "View.h"
#include "ProcessStatus.h"
#include "Seconds.h"

namespace {

constexpr std::size_t kFileBytes = 100u << 20;
// An open that has not painted by then has failed, whatever the reason.
constexpr qint64 kOpenDeadlineMs = 120000;


// --- The child: the program itself

// No dialog may wait for an answer nobody gives: any that the open would show is refused and
// named, and the open then counts as failed.
class RefusingModalHost : public CModalHost {
public:
    int RunModal(QDialog& dialog) override {
        std::fprintf(stderr, "program_open_bench: a dialog was shown: %s\n",
                     qPrintable(dialog.windowTitle()));
        refused = true;
        return QDialog::Rejected;
    }
    QAction* RunMenu(QMenu&, const QPoint&) override { return nullptr; }
    bool OpenWithDesktop(const QUrl&) override { return false; }

    bool refused = false;
};

// Notes the first paint event that reaches the watched widget.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
    bool painted = false;
};

// Starts the program as from the desktop with its empty window, then opens the file as the
// Open command does and runs the event loop until the new view has painted. Prints the time
// that took and the memory figures on one line of standard output.
int RunOpenChild(int argc, char** argv, const char* path) {
    // Settings, recovery copies and the runtime folder of its own: never the user's, and no
    // recovery offer at the start.
    QTemporaryDir config, state, runtime;
    if (!config.isValid() || !state.isValid() || !runtime.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    CKivraApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivra"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    RefusingModalHost host;
    SetModalHost(&host);
    int result = 1;
    {
        CSampleApp kivra;
        if (!kivra.InitInstance())
            return 2;
        QApplication::processEvents();
        long baseline = StatusKilobytes("VmRSS:");

        PaintWatch watch;
        QElapsedTimer clock;
        clock.start();
        CDocument* document = kivra.OpenDocumentFile(QString::fromLocal8Bit(path));
        if (document != nullptr && !document->Views().empty() && !host.refused) {
            document->Views().front()->installEventFilter(&watch);
            while (!watch.painted && clock.elapsed() < kOpenDeadlineMs)
                QApplication::processEvents();
        }
        double openMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (watch.painted && !host.refused) {
            std::printf("open_ms=%.3f baseline_kib=%ld peak_kib=%ld rss_kib=%ld\n", openMs,
                        baseline, StatusKilobytes("VmHWM:"), StatusKilobytes("VmRSS:"));
            std::fflush(stdout);
            result = 0;
        }
    }
    SetModalHost(nullptr);
    return result;
}

// --- The benchmark

struct OpenFigures {
    double openMs = 0;
    long baselineKib = 0;
    long peakKib = 0;
    long rssKib = 0;
};

// Runs one open in a fresh process of this binary; false when it failed.
bool OpenInChild(const std::string& path, OpenFigures& figures) {
    int channel[2];
    if (::pipe(channel) != 0)
        return false;
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], STDOUT_FILENO);
        ::close(channel[0]);
        ::close(channel[1]);
        ::execl("/proc/self/exe", "program_open_bench", "--open-child", path.c_str(),
                static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(channel[1]);
    std::string output;
    char chunk[256];
    for (ssize_t count; (count = ::read(channel[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<std::size_t>(count));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    return std::sscanf(output.c_str(), "open_ms=%lf baseline_kib=%ld peak_kib=%ld rss_kib=%ld",
                       &figures.openMs, &figures.baselineKib, &figures.peakKib,
                       &figures.rssKib) == 4;
}

// The floor: one read() of the whole file into memory of its size, as any editor must at least
// do before it can show the file.
void ReadWholeFile(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY);
    struct stat attributes {};
    if (descriptor < 0 || ::fstat(descriptor, &attributes) != 0)
        std::abort();
    std::size_t size = static_cast<std::size_t>(attributes.st_size);
    char* bytes = static_cast<char*>(std::malloc(size));
    std::size_t done = 0;
    while (done < size) {
        ssize_t count = ::read(descriptor, bytes + done, size - done);
        if (count <= 0)
            std::abort();
        done += static_cast<std::size_t>(count);
    }
    ::close(descriptor);
    benchmark::DoNotOptimize(bytes[size / 2]);
    std::free(bytes);
}

void OpenLargeNetlistAgainstRead(benchmark::State& state) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kivra-open-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string path = (folder / "large.cir").string();
    {
        std::string text = GenerateNetlist(kFileBytes);
        std::ofstream(path, std::ios::binary).write(text.data(), text.size());
    }
    double fileBytes = static_cast<double>(std::filesystem::file_size(path));

    double read = 1e9, open = 1e9;
    long peakKib = 0, baselineKib = 0, rssKib = 0;
    for (auto _ : state) {
        read = std::min(read, Seconds([&] { ReadWholeFile(path); }));
        OpenFigures figures;
        if (!OpenInChild(path, figures)) {
            state.SkipWithError("the program did not open the file and paint it");
            break;
        }
        // Every child is a fresh program: their peaks differ only by the machine's noise.
        if (figures.openMs / 1e3 < open) {
            open = figures.openMs / 1e3;
            peakKib = figures.peakKib;
            baselineKib = figures.baselineKib;
            rssKib = figures.rssKib;
        }
    }
    std::filesystem::remove_all(folder);
    double fileMiB = fileBytes / (1 << 20);
    state.counters["open_ms"] = open * 1e3;
    state.counters["read_ms"] = read * 1e3;
    state.counters["ratio"] = open / read;
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_MiB"] = peakKib / 1024.0;
    state.counters["peak_over_file"] = peakKib / 1024.0 / fileMiB;
    // The program before the open (Qt, the main window, an empty document), and what the open
    // added to the peak: the part that grows with the file.
    state.counters["before_open_MiB"] = baselineKib / 1024.0;
    state.counters["growth_over_file"] = (peakKib - baselineKib) / 1024.0 / fileMiB;
    state.counters["after_open_MiB"] = rssKib / 1024.0;
}
BENCHMARK(OpenLargeNetlistAgainstRead)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--open-child") == 0)
        return RunOpenChild(argc, argv, argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--write-netlist") == 0) {
        std::string text = GenerateNetlist(kFileBytes);
        return std::ofstream(argv[2], std::ios::binary).write(text.data(), text.size()) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
