// The first stage of a run against ngspice alone: Murin1.exe on a netlist of a few seconds of
// simulation, against `ngspice -b` on the same netlist in the same folder, the faster of three
// runs each. A netlist with .print and .measure lines is run as batch mode prints them (the
// first stage must simulate it once, as ngspice does); one without is run with ngspice's raw
// file, as the first stage then runs it.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef KIVRA_SIMULATORS_DIR
#error "KIVRA_SIMULATORS_DIR must name the folder of the simulator scripts"
#endif

namespace {

namespace fs = std::filesystem;

// An RC filter driven by a fast sine: a transient of some seconds on these machines.
constexpr char kCircuit[] =
    "rc filter for the benchmark\nV1 in 0 sin(0 1 1meg)\nR1 in mid 1k\nC1 mid 0 1n\n"
    "R2 mid out 1k\nC2 out 0 1n\n.tran 1n 1.5m\n";

double Seconds(const std::string& command) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0 && command.find("ngspice -b") == std::string::npos)
        std::abort();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void FirstStageAgainstNgspice(benchmark::State& state, const char* printedLines,
                              const char* ngspiceOptions) {
    const fs::path folder = fs::temp_directory_path() /
                            ("kivra-simulation-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Murin");
    const fs::path netlist = folder / "rc.cir";
    std::ofstream(netlist) << kCircuit << printedLines << ".end\n";
    const std::string in = "cd '" + folder.string() + "' && ";

    double alone = 1e9, first = 1e9;
    for (auto _ : state) {
        alone = std::min(alone, Seconds(in + "ngspice -b " + ngspiceOptions +
                                        " -o alone.log rc.cir >/dev/null 2>&1"));
        first = std::min(first, Seconds(in + "cd Murin && " KIVRA_SIMULATORS_DIR
                                        "/Murin/Murin1.exe -t datanet3 '" +
                                        netlist.string() + "' >/dev/null 2>&1"));
    }
    fs::remove_all(folder);
    state.counters["ngspice_s"] = alone;
    state.counters["first_stage_s"] = first;
    state.counters["ratio"] = first / alone;
}

void PrintedNetlist(benchmark::State& state) {
    FirstStageAgainstNgspice(state, ".print tran v(out)\n.measure tran top max v(out)\n", "");
}
BENCHMARK(PrintedNetlist)->Iterations(3)->Unit(benchmark::kMillisecond);

void PlainNetlist(benchmark::State& state) {
    FirstStageAgainstNgspice(state, "", "-r alone.raw");
}
BENCHMARK(PlainNetlist)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
