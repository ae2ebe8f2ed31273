#pragma once

#include <functional>
#include <string>
#include <vector>

// Work a benchmark runs in a fresh process of its own binary: nothing the benchmark process did
// before (its peak memory, its warm caches) counts there, and work that may take minutes can be
// stopped at a deadline. A plain fork would not do: Qt paints large areas on threads of a pool,
// and a forked child has none of them, so its first such paint never ends.
namespace BenchmarkChild {

// Hands one figure from the child to the benchmark.
using Send = std::function<void(long)>;
using Work = std::function<void(const std::string& argument, const Send& send)>;

// Makes work known under a name; call it at static initialisation. Returns true.
bool Register(const char* name, Work work);

// For the binary's main, once its QApplication exists: when the command line is
// "--benchmark-child NAME ARGUMENT", runs that work and returns true, and main should return.
bool RunIfAsked(int argc, char** argv);

struct Figures {
    std::vector<long> figures;
    bool finished = false;  // all figures came before the deadline
    long peakKib = 0;       // the child's peak resident set when it was stopped
};

// Starts the binary again on the named work and collects count figures. The first says that
// the child's set-up is done and starts the deadline; a child that has not sent all figures by
// then is stopped, its peak resident set read just before.
Figures Run(const char* name, const std::string& argument, int count, int deadlineMs);

}  // namespace BenchmarkChild
