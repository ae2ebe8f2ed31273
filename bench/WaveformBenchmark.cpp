// Reading raw files of the size long runs leave. Each figure stands against a floor measured in
// the same run on the same file: reading its bytes and, for ASCII, finding its lines, which any
// reader must do. The rate of the ASCII reader in MB/s is reported beside its ratio.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RawFileReader.h"
#include "TraceDecimation.h"
#include "Seconds.h"

namespace {

constexpr int kVectors = 10;

// A transient plot of points × kVectors real values, as ngspice writes it.
std::string RawFileOf(std::size_t points, bool binary) {
    std::string header = "Title: bench\nDate: now\nPlotname: Transient Analysis\nFlags: real\n"
                         "No. Variables: " +
                         std::to_string(kVectors) + "\nNo. Points: " + std::to_string(points) +
                         "\nVariables:\n\t0\ttime\ttime\n";
    for (int v = 1; v < kVectors; ++v)
        header += "\t" + std::to_string(v) + "\tv(n" + std::to_string(v) + ")\tvoltage\n";
    header += binary ? "Binary:\n" : "Values:\n";
    std::string bytes = header;
    char line[64];
    for (std::size_t i = 0; i < points; ++i) {
        for (int v = 0; v < kVectors; ++v) {
            const double value = v == 0 ? i * 1e-9 : std::sin(i * 1e-3 * v) * 1.5;
            if (binary) {
                bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
            } else {
                int length = v == 0 ? std::snprintf(line, sizeof line, "%zu\t%.15e\n", i, value)
                                    : std::snprintf(line, sizeof line, "\t%.15e\n", value);
                bytes.append(line, length);
            }
        }
        if (!binary)
            bytes += '\n';
    }
    return bytes;
}

std::string FileOf(std::size_t points, bool binary) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kivra-bench-" + std::to_string(::getpid()) +
                               (binary ? "-bin" : "-asc") + std::to_string(points) + ".raw"))
                                 .string();
    const std::string bytes = RawFileOf(points, binary);
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
    return path;
}

// The floor: the file's bytes read in large chunks, and its line breaks counted.
std::size_t ReadAndCountLines(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY);
    std::vector<char> chunk(1 << 20);
    std::size_t lines = 0;
    for (ssize_t count; (count = ::read(descriptor, chunk.data(), chunk.size())) > 0;) {
        for (const char* at = chunk.data(); (at = static_cast<const char*>(std::memchr(
                                                 at, '\n', chunk.data() + count - at)));)
            ++lines, ++at;
    }
    ::close(descriptor);
    return lines;
}

void ReadAgainstFloor(benchmark::State& state, bool binary) {
    const std::size_t points = static_cast<std::size_t>(state.range(0));
    const std::string path = FileOf(points, binary);
    const double megabytes = std::filesystem::file_size(path) / 1e6;
    double floor = 1e9, read = 1e9;
    for (auto _ : state) {
        std::size_t lines = 0;
        floor = std::min(floor, Seconds([&] { lines = ReadAndCountLines(path); }));
        benchmark::DoNotOptimize(lines);
        SRawFile file;
        std::string error;
        read = std::min(read, Seconds([&] { CRawFileReader::ReadFile(path, file, error); }));
        if (file.plots.size() != 1 || file.plots[0].points != points)
            state.SkipWithError("the raw file was not read whole");
    }
    std::filesystem::remove(path);
    state.counters["MB"] = megabytes;
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["read_ms"] = read * 1e3;
    state.counters["ratio"] = read / floor;
    state.counters["MB_per_s"] = megabytes / read;
}

void AsciiReadAgainstFloor(benchmark::State& state) {
    ReadAgainstFloor(state, false);
}

void BinaryReadAgainstFloor(benchmark::State& state) {
    ReadAgainstFloor(state, true);
}

// One repaint's worth of decimation: ten traces of 1e7 samples into 1920 columns, at a view of
// the whole trace (arg 0) down to a view of a thousandth of it (arg 3). The floor is one pass
// over the samples in view, which a drawing without the pyramid needs.
void DecimationAgainstOnePass(benchmark::State& state) {
    constexpr std::size_t kCount = 10'000'000;
    constexpr int kTraces = 10;
    static std::vector<double> xs, ys;
    static CMinMaxPyramid pyramid;
    static double buildSeconds = 0;
    if (xs.empty()) {
        xs.resize(kCount);
        ys.resize(kCount);
        for (std::size_t i = 0; i < kCount; ++i) {
            xs[i] = i * 1e-9;
            ys[i] = std::sin(i * 1e-5) + (i % 7919 == 0 ? 3 : 0);
        }
        buildSeconds = Seconds([&] { pyramid = CMinMaxPyramid(ys.data(), kCount); });
    }
    const double width = xs.back() / std::pow(10.0, static_cast<double>(state.range(0)));
    const double from = xs.back() / 3;
    std::vector<double> boundaries;
    for (int column = 0; column <= 1920; ++column)
        boundaries.push_back(from + width * column / 1920);
    double floor = 1e9, decimated = 1e9;
    for (auto _ : state) {
        floor = std::min(floor, Seconds([&] {
                             const std::size_t first =
                                 std::lower_bound(xs.begin(), xs.end(), from) - xs.begin();
                             const std::size_t last =
                                 std::lower_bound(xs.begin(), xs.end(), from + width) -
                                 xs.begin();
                             double top = -1e300;
                             for (int trace = 0; trace < kTraces; ++trace) {
                                 for (std::size_t i = first; i < last; ++i)
                                     top = std::max(top, ys[i]);
                             }
                             benchmark::DoNotOptimize(top);
                         }));
        decimated = std::min(decimated, Seconds([&] {
                                 const SSampleColumns view =
                                     ColumnsOfView(xs.data(), kCount, boundaries);
                                 for (int trace = 0; trace < kTraces; ++trace) {
                                     auto points =
                                         DecimateTrace(xs.data(), ys.data(), pyramid, view);
                                     benchmark::DoNotOptimize(points.data());
                                 }
                             }));
    }
    state.counters["ten_traces_ms"] = decimated * 1e3;
    state.counters["one_pass_ms"] = floor * 1e3;
    state.counters["ratio"] = decimated / floor;
    state.counters["pyramid_build_ms"] = buildSeconds * 1e3;
    state.counters["pyramid_share"] = static_cast<double>(pyramid.KeptBytes()) / (kCount * 8.0);
}

}  // namespace

BENCHMARK(DecimationAgainstOnePass)->DenseRange(0, 3)->Iterations(5)->Unit(benchmark::kMillisecond);
// About 250 MB of ASCII, and 1e7 points × 10 vectors (800 MB) of binary.
BENCHMARK(AsciiReadAgainstFloor)->Arg(1'000'000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryReadAgainstFloor)->Arg(10'000'000)->Iterations(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
