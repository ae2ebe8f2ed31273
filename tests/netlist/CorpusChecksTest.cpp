// The checks never call a mistake what the simulator runs: every corpus netlist they find an
// error in is one that ngspice, run in a copy of the netlist's folder, reports an error for too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

#include "NetlistAnalysis.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

bool IsNetlistName(const fs::path& path) {
    static const std::set<std::string> extensions = {".cir", ".sp", ".spi", ".spice", ".net", ".ckt"};
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extensions.count(extension) != 0;
}

// Whether ngspice, in batch mode in a copy of the netlist's folder, reports an error: its log
// holds "Error", or it fails for another reason than having nothing to simulate.
bool NgspiceReportsAnError(const fs::path& netlist, const fs::path& scratch) {
    fs::remove_all(scratch);
    fs::copy(netlist.parent_path(), scratch, fs::copy_options::recursive);
    const fs::path log = scratch / "kivra-check.log";
    const std::string command = "cd '" + scratch.string() + "' && timeout 60 ngspice -b -o '" +
                                log.string() + "' '" + netlist.filename().string() +
                                "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const std::string text = kivra_test::ReadBytesOrEmpty(log);
    const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (text.find("Error") != std::string::npos)
        return true;
    return exitCode != 0 && !(exitCode == 1 && text.find("no simulations run") != std::string::npos);
}

}  // namespace

TEST(CorpusChecks, NoErrorInANetlistTheSimulatorRuns) {
    const fs::path corpus = KIVRA_CORPUS_DIR;
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no corpus at " << corpus << "; this case needs ../shared/corpus";
    if (std::system("command -v ngspice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ngspice is not installed";
    const fs::path scratch = fs::temp_directory_path() / ("kivra-corpus-" + std::to_string(::getpid()));
    int netlists = 0, flagged = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || !IsNetlistName(entry.path()))
            continue;
        ++netlists;
        const auto analysis = AnalyzeNetlist(
            entry.path().string(), NetlistText::FromBytes(kivra_test::ReadBytes(entry.path())));
        const NetlistFinding* error = nullptr;
        for (const NetlistFinding& finding : analysis->findings) {
            if (finding.level == FindingLevel::Error && error == nullptr)
                error = &finding;
        }
        if (error == nullptr)
            continue;
        ++flagged;
        EXPECT_TRUE(NgspiceReportsAnError(entry.path(), scratch))
            << entry.path().string() << ":" << error->place.line + 1 << ": " << error->text;
    }
    fs::remove_all(scratch);
    EXPECT_GT(netlists, 400);
    RecordProperty("flagged", flagged);
}
