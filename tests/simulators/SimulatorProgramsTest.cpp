// The two simulator programs against the real ngspice, without Kivra's windows: the first program
// on netlists in both styles (dot analyses, analyses inside ".control"), then the second program,
// without a display, on the deck Kivra's own deck writer makes of the netlist.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "SimulationRun.h"
#include "SimulatorTestSupport.h"

#ifndef KIVRA_SIMULATORS_DIR
#error "KIVRA_SIMULATORS_DIR must name the folder of the simulator scripts"
#endif

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using kivra_test::Lines;
using kivra_test::Quoted;
using kivra_test::ReadFile;
using kivra_test::WriteFile;

// The plots of a raw file, as "Plotname (points)".
std::vector<std::string> Plots(const std::string& raw) {
    std::vector<std::string> plots;
    std::regex plot("Plotname: ([^\\n]*)\\n(?:[^\\n]*\\n)*?No\\. Points: *([0-9]+)");
    for (auto match = std::sregex_iterator(raw.begin(), raw.end(), plot);
         match != std::sregex_iterator(); ++match)
        plots.push_back((*match)[1].str() + " (" + (*match)[2].str() + ")");
    return plots;
}

int Points(const std::string& plot) {
    return std::stoi(plot.substr(plot.rfind('(') + 1));
}

class SimulatorProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v ngspice >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
        char pattern[] = "/tmp/kivra-programs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        // Blanks, a quote and Cyrillic letters in every folder the programs see.
        programs = root / "про грамма's";
        netlists = root / "мои \"схемы\"";
        fs::create_directories(programs / "Murin");
        fs::create_directories(programs / "Talvex");
        fs::create_directories(netlists);
    }
    void TearDown() override {
        if (!root.empty())
            fs::remove_all(root);
    }

    fs::path Netlist(const std::string& name, std::string_view text) {
        fs::path path = netlists / name;
        WriteFile(path, text);
        return path;
    }

    // The first program as Kivra starts it, in its folder.
    void RunFirst(const fs::path& netlist) {
        std::string command = "cd " + Quoted((programs / "Murin").string()) + " && " +
                              Quoted(KIVRA_SIMULATORS_DIR "/Murin/Murin1.exe") +
                              " -t datanet3 " + Quoted(netlist.string()) + " >/dev/null 2>&1";
        std::system(command.c_str());
        raw = ReadFile(programs / "Murin" / "kivra.raw");
        log = ReadFile(programs / "Murin" / "kivra.log");
    }

    // The second program without a display, on the deck Kivra writes for the netlist; returns
    // what ngspice printed. Its status is ngspice's, which batch mode makes 1 for a netlist
    // whose analyses all run in its block.
    std::string RunSecond(const fs::path& netlist) {
        std::string text = ReadFile(netlist);
        ControlDeck deck = BuildControlDeck(Lines(text));
        WriteFile(programs / "Talvex" / "temp.cir", ControlDeckText(deck));
        std::string command = "cd " + Quoted((programs / "Talvex").string()) +
                              " && env -u DISPLAY " +
                              Quoted(KIVRA_SIMULATORS_DIR "/Talvex/Talvex.exe") +
                              " temp.cir >/dev/null 2>&1";
        std::system(command.c_str());
        return ReadFile(programs / "Talvex" / "talvex.log");
    }

    fs::path root;
    fs::path programs;
    fs::path netlists;
    std::string raw;
    std::string log;
};

TEST_F(SimulatorProgramsTest, TwoDotAnalysesGiveAPlotEachWithData) {
    RunFirst(Netlist("two.cir",
                     "two analyses\nV1 in 0 pulse(0 1 0 1u 1u 1m 2m) ac 1\nR1 in out 1k\n"
                     "C1 out 0 1u\n.ac dec 10 1 1meg\n.tran 10u 3m\n.end\n"));

    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 2u) << raw.substr(0, 200);
    EXPECT_THAT(plots[0], HasSubstr("AC Analysis"));
    EXPECT_THAT(plots[1], HasSubstr("Transient Analysis"));
    for (const auto& plot : plots)
        EXPECT_GT(Points(plot), 10) << plot;
    EXPECT_THAT(log, Not(HasSubstr("Error"))) << log;
}

// Half of real netlists keep their analyses in the control block; what the block prints is in
// the log, and every plot it made is in the raw file, the constants left out.
TEST_F(SimulatorProgramsTest, AnalysesInsideTheControlBlockRunAndWhatItPrintsIsLogged) {
    RunFirst(Netlist("block.cir",
                     "block\nV1 in 0 pulse(0 1 0 1u 1u 1m 2m) ac 1\nR1 in out 1k\nC1 out 0 1u\n"
                     ".control\ntran 10u 3m\nmeas tran top max v(out)\necho marker-from-block\n"
                     "plot v(out)\nac dec 10 1 1meg\nprint v(out)[2]\nquit\n.endc\n.end\n"));

    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 2u) << log;
    EXPECT_THAT(plots[0], HasSubstr("Transient Analysis"));
    EXPECT_THAT(plots[1], HasSubstr("AC Analysis"));
    EXPECT_THAT(log, HasSubstr("marker-from-block"));
    EXPECT_THAT(log, HasSubstr("top"));
    EXPECT_THAT(log, HasSubstr("v(out)[2] = "));
    EXPECT_THAT(log, Not(HasSubstr("Error"))) << log;
}

TEST_F(SimulatorProgramsTest, ALoopThatAltersTheCircuitLeavesAPlotPerRun) {
    RunFirst(Netlist("loop.cir",
                     "loop\nV1 in 0 1\nR1 in out 1k\nR2 out 0 1k\n.control\n"
                     "foreach value 1k 2k 3k\n  alter R1 $value\n  op\n  print v(out)\nend\n"
                     ".endc\n.end\n"));

    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 3u) << log;
    for (const auto& plot : plots)
        EXPECT_THAT(plot, HasSubstr("Operating Point"));
    // 1 V over 1k and 1k, 2k, 3k above it.
    EXPECT_THAT(log, HasSubstr("v(out) = 5.000000e-01"));
    EXPECT_THAT(log, HasSubstr("v(out) = 2.500000e-01"));
}

// ngspice gives .print, .measure and .four output only without a raw file; the log has it all
// the same, and the raw file every plot.
TEST_F(SimulatorProgramsTest, PrintMeasureAndFourLinesOfAPlainNetlistReachTheLog) {
    RunFirst(Netlist("printed.cir",
                     "printed\nV1 in 0 sin(0 1 1k)\nR1 in out 1k\nC1 out 0 100n\n"
                     ".tran 10u 3m\n.print tran v(out)\n.measure tran peak max v(out)\n"
                     ".four 1k v(out)\n.end\n"));

    EXPECT_THAT(log, HasSubstr("Index   time"));
    EXPECT_THAT(log, HasSubstr("peak"));
    EXPECT_THAT(log, HasSubstr("Fourier analysis for v(out)"));
    EXPECT_THAT(log, Not(HasSubstr("ignored"))) << log;
    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 1u);
    EXPECT_THAT(plots[0], HasSubstr("Transient Analysis"));
}

// A block that leaves the dot analyses to batch mode, as some netlists written for both modes do,
// and frees its plots at the end: the log is as batch mode gives it, and the plots are written.
TEST_F(SimulatorProgramsTest, ABlockThatLeavesTheAnalysesToBatchModeStillGivesTheirPlots) {
    RunFirst(Netlist("both modes.cir",
                     "both modes\nV1 in 0 1\nR1 in out 1k\nR2 out 0 1k\n.dc V1 0 2 0.5\n"
                     ".print dc v(out)\n.control\nif $?batchmode\n  echo marker-batch\nelse\n"
                     "  run\n  plot v(out)\nend\ndestroy all\n.endc\n.end\n"));

    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 1u) << log;
    EXPECT_THAT(plots[0], HasSubstr("DC transfer characteristic"));
    EXPECT_EQ(Points(plots[0]), 5);
    EXPECT_THAT(log, HasSubstr("marker-batch"));
    EXPECT_THAT(log, HasSubstr("Index   v-sweep"));
    EXPECT_THAT(log, Not(HasSubstr("Error"))) << log;
}

// Line breaks of every style, control lines blanked rather than removed: the error names the
// user's own line.
TEST_F(SimulatorProgramsTest, ErrorLinesCountTheUsersLinesInEveryLineEndingStyle) {
    const std::vector<std::pair<const char*, const char*>> styles = {
        {"lf", "\n"}, {"crlf", "\r\n"}, {"cr", "\r"}};
    for (const auto& [name, end] : styles) {
        std::string text;
        for (const char* line : {"bad", "*# plot v(out)", ".control", "run", ".endc",
                                 "V1 in 0 1", "R1 in out xyz zz", ".op", ".end"})
            text += std::string(line) + end;
        RunFirst(Netlist(std::string("bad ") + name + ".cir", text));
        EXPECT_THAT(log, HasSubstr("Error on line 7 ")) << name << "\n" << log;
    }
}

// The band-pass example end to end: its "*#" lines plot a Bode plot and the time response from the
// loaded results, and its block re-runs the circuit and measures the AC peak.
TEST_F(SimulatorProgramsTest, BandPassExampleMeasuresItsPeakInTheSecondStage) {
    fs::path netlist = netlists / "band pass.cir";
    fs::copy_file(KIVRA_EXAMPLES_DIR "/active_bandpass.cir", netlist);
    RunFirst(netlist);
    ASSERT_EQ(Plots(raw).size(), 2u) << log;

    std::string printed = RunSecond(netlist);

    std::smatch peak;
    ASSERT_TRUE(std::regex_search(printed, peak, std::regex("peak = ([0-9.e+-]+)"))) << printed;
    // A gain of about 10 at the centre: 20 dB.
    EXPECT_NEAR(std::stod(peak[1].str()), 20.0, 1.0);
    EXPECT_THAT(printed, Not(HasSubstr("no such vector")));
    EXPECT_THAT(printed, Not(HasSubstr("failed")));
    EXPECT_THAT(printed, Not(HasSubstr("out of range")));
    // The marker that tells a display session the deck has run is gone with the run.
    for (const auto& entry : fs::directory_iterator(programs / "Talvex"))
        EXPECT_THAT(entry.path().filename().string(), Not(HasSubstr("ready")));
}

// The second stage has the circuit as well as the results: a block that changes it and runs it
// again works there.
TEST_F(SimulatorProgramsTest, SecondStageRunsTheCircuitAgainAfterAnAlteration) {
    fs::path netlist = Netlist("divider.cir",
                               "divider\nV1 in 0 1\nR1 in out 1k\nR2 out 0 1k\n.control\nop\n"
                               "print v(out)\nalter R1 3k\nop\nprint v(out)\n.endc\n.end\n");
    RunFirst(netlist);
    ASSERT_EQ(Plots(raw).size(), 2u) << log;
    std::string printed = RunSecond(netlist);

    // Both from runs of the second stage: before and after R1 is altered.
    size_t before = printed.find("v(out) = 5.000000e-01");
    size_t after = printed.find("v(out) = 2.500000e-01");
    ASSERT_NE(before, std::string::npos) << printed;
    ASSERT_NE(after, std::string::npos) << printed;
    EXPECT_LT(before, after);
}

// A corpus netlist whose only analysis sits inside its control block, with a display command
// there too.
TEST_F(SimulatorProgramsTest, CorpusNetlistWithItsAnalysisInsideTheBlockGivesAPlot) {
    fs::path netlist = KIVRA_CORPUS_DIR "/ngspice-examples/mos/ro-meas.cir";
    if (!fs::exists(netlist))
        GTEST_SKIP() << "the corpus is not beside the repository";
    RunFirst(netlist);

    std::vector<std::string> plots = Plots(raw);
    ASSERT_EQ(plots.size(), 1u) << log;
    EXPECT_THAT(plots[0], HasSubstr("Transient Analysis"));
    EXPECT_GT(Points(plots[0]), 100);
    EXPECT_THAT(log, Not(HasSubstr("Error")));
}

}  // namespace
