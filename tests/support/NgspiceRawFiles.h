#pragma once

// Raw files as ngspice itself writes them, for the readers and the charts of the waveforms: a
// folder of the test's own, a netlist in it, and ngspice run on it in batch mode.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace kivra_test {

class NgspiceRawFolder : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("kivra-raw-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The raw file ngspice writes for the netlist, "binary" or "ascii".
    std::filesystem::path Simulate(const std::string& netlist, const std::string& format) {
        const std::filesystem::path raw = folder / (format + ".raw");
        WriteBytes(folder / "deck.cir", netlist);
        const std::string command = "cd '" + folder.string() + "' && ngspice -b -D filetype=" +
                                    format + " -r '" + raw.string() + "' deck.cir >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return raw;
    }

    std::filesystem::path folder;
};

// An RC low-pass with a transient, an AC and a DC analysis: three plots, one of them complex.
inline const char kThreeAnalysesNetlist[] = R"(rc with three analyses
v1 in 0 pulse(0 1 0 1n 1n 5u 10u) ac 1
r1 in out 1k
c1 out 0 1n
.tran 0.1u 20u
.ac dec 5 1k 10meg
.dc v1 0 1 0.5
.end
)";

}  // namespace kivra_test
