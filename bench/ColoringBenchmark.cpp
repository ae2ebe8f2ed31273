// Colouring every line of a large netlist, against a floor measured in the same run: one pass over
// the same bytes that counts token characters.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "NetlistColorizer.h"
#include "NetlistGenerator.h"
#include "Seconds.h"

namespace {

struct LineSpan {
    const char* text;
    int length;
};

// The lines of the text, split at CR LF, as the buffer would hold them.
std::vector<LineSpan> SplitLines(const std::string& text) {
    std::vector<LineSpan> lines;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find("\r\n", start)) != std::string::npos;
         start = found + 2) {
        lines.push_back({text.data() + start, static_cast<int>(found - start)});
    }
    lines.push_back({text.data() + start, static_cast<int>(text.size() - start)});
    return lines;
}

bool IsTokenByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.';
}

void ColoringAgainstFloor(benchmark::State& state) {
    const std::string text = GenerateNetlist(std::size_t{100} << 20);
    const std::vector<LineSpan> lines = SplitLines(text);
    std::vector<ColorRun> runs;
    double floor = 1e9, coloring = 1e9;
    for (auto _ : state) {
        long tokenBytes = 0;
        floor = std::min(floor, Seconds([&] {
                             for (const LineSpan& line : lines) {
                                 for (int index = 0; index < line.length; ++index) {
                                     tokenBytes += IsTokenByte(line.text[index]);
                                 }
                             }
                         }));
        benchmark::DoNotOptimize(tokenBytes);

        long runTotal = 0;
        coloring = std::min(coloring, Seconds([&] {
                                LineScanState scan = 0;
                                for (const LineSpan& line : lines) {
                                    if (runs.size() < 3 * static_cast<std::size_t>(line.length)) {
                                        runs.resize(3 * line.length);
                                    }
                                    int count = 0;
                                    scan = ClassifyNetlistLine(scan, line.text, line.length,
                                                               runs.data(), count);
                                    runTotal += count;
                                }
                            }));
        benchmark::DoNotOptimize(runTotal);
    }
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["coloring_ms"] = coloring * 1e3;
    state.counters["ratio"] = coloring / floor;
}
BENCHMARK(ColoringAgainstFloor)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
