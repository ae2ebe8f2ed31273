// Opening a UTF-8 netlist costs one more pass over its lines, to tell that it is UTF-8. The
// figure is the open with that pass against the same load without it, on the same file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "CorvelTextBuffer.h"
#include "EncodingDetection.h"
#include "NetlistGenerator.h"
#include "Windows1251.h"
#include "Seconds.h"

namespace {

constexpr std::size_t kLargeFileBytes = 100u << 20;

// The generated netlist, its Windows-1251 comments made UTF-8, in a file of its own.
const std::string& Utf8NetlistPath() {
    static const std::string path = [] {
        std::string bytes =
            Windows1251::Decode(GenerateNetlist(kLargeFileBytes)).toUtf8().toStdString();
        std::string file = (std::filesystem::temp_directory_path() /
                            ("kivra-bench-utf8-" + std::to_string(::getpid()) + ".cir"))
                               .string();
        std::ofstream(file, std::ios::binary).write(bytes.data(), bytes.size());
        std::atexit([] { std::filesystem::remove(Utf8NetlistPath()); });
        return file;
    }();
    return path;
}

void OpenUtf8AgainstLoadAlone(benchmark::State& state) {
    const std::string& path = Utf8NetlistPath();
    double alone = 1e9, detected = 1e9;
    for (auto _ : state) {
        CCorvelTextBuffer buffer;
        alone = std::min(alone,
                         Seconds([&] { buffer.LoadFile(path.c_str(), LineEndingStyle::Detect); }));
        buffer.Clear();
        TextEncoding encoding = TextEncoding::Windows1251;
        detected = std::min(detected, Seconds([&] {
                                buffer.LoadFile(path.c_str(), LineEndingStyle::Detect);
                                encoding = DetectEncoding(buffer);
                            }));
        if (encoding != TextEncoding::Utf8)
            state.SkipWithError("the UTF-8 netlist was not found to be UTF-8");
        buffer.Clear();
    }
    state.counters["load_ms"] = alone * 1e3;
    state.counters["open_utf8_ms"] = detected * 1e3;
    state.counters["ratio"] = detected / alone;
}
BENCHMARK(OpenUtf8AgainstLoadAlone)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
