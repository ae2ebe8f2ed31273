// The waveform window with a binary raw file of 1e7 points × 10 vectors (800 MB): the time to
// its first picture (and of it, the step the window itself takes to show the prepared file), the
// memory it takes against the samples as doubles, and the longest repaint of a zoom or pan at any
// zoom level. The floor of the first picture is reading the file's bytes, which no viewer can
// skip.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InteractiveChart.h"
#include "RawFileReader.h"
#include "WaveformPanel.h"
#include "Seconds.h"

namespace {

constexpr std::size_t kPoints = 10'000'000;
constexpr int kVectors = 10;

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    }
    return 0;
}

// Written a point at a time, so that making the file takes no memory of its size.
std::string WriteLargeRawFile() {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kivra-window-bench-" + std::to_string(::getpid()) + ".raw"))
                                 .string();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::string header = "Title: bench\nPlotname: Transient Analysis\nFlags: real\nNo. Variables: " +
                         std::to_string(kVectors) + "\nNo. Points: " + std::to_string(kPoints) +
                         "\nVariables:\n\t0\ttime\ttime\n";
    for (int v = 1; v < kVectors; ++v)
        header += "\t" + std::to_string(v) + "\tv(n" + std::to_string(v) + ")\tvoltage\n";
    header += "Binary:\n";
    std::fwrite(header.data(), 1, header.size(), out);
    std::vector<double> point(kVectors);
    for (std::size_t i = 0; i < kPoints; ++i) {
        point[0] = i * 1e-9;
        for (int v = 1; v < kVectors; ++v)
            point[v] = std::sin(i * 1e-5 * v) + (i == 7'654'321 ? 5 : 0);
        std::fwrite(point.data(), sizeof(double), kVectors, out);
    }
    std::fclose(out);
    return path;
}

double ReadBytesOnly(const std::string& path) {
    return Seconds([&] {
        int descriptor = ::open(path.c_str(), O_RDONLY);
        std::vector<char> chunk(1 << 20);
        while (::read(descriptor, chunk.data(), chunk.size()) > 0) {
        }
        ::close(descriptor);
    });
}

void LargeFileInTheWindow(benchmark::State& state) {
    const std::string path = WriteLargeRawFile();
    double floor = 1e9, firstPicture = 1e9, longestRepaint = 0, peakShare = 0, windowStep = 0;
    for (auto _ : state) {
        floor = std::min(floor, ReadBytesOnly(path));
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak counts from here
        const long before = StatusKilobytes("VmRSS:");
        CWaveformPanel panel;
        panel.resize(1600, 900);
        panel.show();
        QApplication::processEvents();
        // The reading thread reads and prepares; the window's own step is the show and the
        // first drawing, which must not hold it up.
        std::shared_ptr<SPreparedRaw> prepared;
        double step = 0;
        firstPicture = std::min(firstPicture, Seconds([&] {
                                    auto file = std::make_shared<SRawFile>();
                                    std::string error;
                                    if (!CRawFileReader::ReadFile(path, *file, error))
                                        std::abort();
                                    prepared = PrepareRaw(file);
                                    step = Seconds([&] {
                                        panel.ShowFile(prepared, {});
                                        panel.Chart()->replot(QCustomPlot::rpImmediateRefresh);
                                    });
                                }));
        windowStep = step;
        peakShare = (StatusKilobytes("VmHWM:") - before) * 1024.0 /
                    (static_cast<double>(kPoints) * kVectors * sizeof(double));
        // Zooms from the whole trace to a millionth of it, each with a pan.
        CInteractiveChart& chart = *panel.Chart();
        const QCPRange whole = chart.ScaleAxis()->range();
        for (int level = 0; level <= 12; ++level) {
            const double width = whole.size() / std::pow(3.2, level);
            for (double at : {0.1, 0.5, 0.77}) {
                const double from = whole.lower + (whole.size() - width) * at;
                longestRepaint = std::max(longestRepaint, Seconds([&] {
                                              chart.ScaleAxis()->setRange(from, from + width);
                                              chart.replot(QCustomPlot::rpImmediateRefresh);
                                          }));
            }
        }
    }
    std::filesystem::remove(path);
    state.counters["first_picture_ms"] = firstPicture * 1e3;
    state.counters["read_floor_ms"] = floor * 1e3;
    state.counters["ratio"] = firstPicture / floor;
    state.counters["longest_repaint_ms"] = longestRepaint * 1e3;
    state.counters["window_step_ms"] = windowStep * 1e3;
    state.counters["peak_over_samples"] = peakShare;
}

}  // namespace

BENCHMARK(LargeFileInTheWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
