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

#include <sys/stat.h>

#include "SimulationRun.h"
#include "SimulatorTestSupport.h"

#ifndef KIVRA_SIMULATORS_DIR
#error "KIVRA_SIMULATORS_DIR must name the folder of the simulator scripts"
#endif

namespace {

namespace fs = std::filesystem;
using kivra_test::Lines;
using kivra_test::Quoted;
using kivra_test::ReadBytesOrEmpty;
using kivra_test::WriteBytes;
using ::testing::HasSubstr;
using ::testing::Not;

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
        // Blanks, a quote, a backslash and Cyrillic letters in every folder the programs see.
        programs = root / "про грамма's \\ x";
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
        WriteBytes(path, text);
        return path;
    }

    // The first program as Kivra starts it, in its folder.
    void RunFirst(const fs::path& netlist) {
        std::string command = "cd " + Quoted((programs / "Murin").string()) + " && " +
                              Quoted(KIVRA_SIMULATORS_DIR "/Murin/Murin1.exe") + " -t datanet3 " +
                              Quoted(netlist.string()) + " >/dev/null 2>&1";
        std::system(command.c_str());
        raw = ReadBytesOrEmpty(programs / "Murin" / "kivra.raw");
        log = ReadBytesOrEmpty(programs / "Murin" / "kivra.log");
    }

    // The second program without a display, on the deck Kivra writes for the netlist; returns
    // what ngspice printed. Its status is ngspice's, which batch mode makes 1 for a netlist
    // whose analyses all run in its block.
    std::string RunSecond(const fs::path& netlist) {
        std::string text = ReadBytesOrEmpty(netlist);
        ControlDeck deck = BuildControlDeck(Lines(text));
        WriteBytes(programs / "Talvex" / "temp.cir", ControlDeckText(deck));
        std::string command =
            "cd " + Quoted((programs / "Talvex").string()) + " && env -u DISPLAY " +
            Quoted(KIVRA_SIMULATORS_DIR "/Talvex/Talvex.exe") + " temp.cir >/dev/null 2>&1";
        std::system(command.c_str());
        return ReadBytesOrEmpty(programs / "Talvex" / "talvex.log");
    }

    // What ngspice itself gives for the netlist, run in batch mode in a folder of its own that
    // holds a copy of the netlist's folder: its log (with -o, as the first stage keeps it), and
    // what it prints.
    struct Oracle {
        fs::path folder;
        std::string log;
        std::string printed;
    };
    Oracle RunNgspice(const fs::path& netlist) {
        Oracle oracle{root / "oracle", {}, {}};
        fs::remove_all(oracle.folder);
        fs::copy(netlist.parent_path(), oracle.folder, fs::copy_options::recursive);
        const std::string copy = (oracle.folder / netlist.filename()).string();
        const std::string in = "cd " + Quoted(oracle.folder.string()) + " && ";
        std::system(
            (in + "ngspice -b -o ../oracle.log " + Quoted(copy) + " >/dev/null 2>&1").c_str());
        fs::remove_all(oracle.folder);
        fs::copy(netlist.parent_path(), oracle.folder, fs::copy_options::recursive);
        std::system((in + "ngspice -b " + Quoted(copy) + " >../oracle.out 2>&1").c_str());
        oracle.log = ReadBytesOrEmpty(root / "oracle.log");
        oracle.printed = ReadBytesOrEmpty(root / "oracle.out");
        return oracle;
    }

    fs::path root;
    fs::path programs;
    fs::path netlists;
    std::string raw;
    std::string log;
};

// The lines of ngspice's output that are the same in every run: no times, sizes or dates, and
// no empty lines.
std::vector<std::string> SteadyLines(const std::string& text) {
    static const std::regex changing(
        "time \\(seconds\\)|time = |DRAM|program size|pages =|Stack =|^Date:|"
        "[A-Z][a-z]{2} [A-Z][a-z]{2} +[0-9]+ [0-9:]+ +[0-9]{4}");
    std::vector<std::string> lines;
    for (std::string_view line : Lines(text)) {
        std::string kept(line);
        if (kept.find_first_not_of(" \t") != std::string::npos &&
            !std::regex_search(kept, changing))
            lines.push_back(kept);
    }
    return lines;
}

// Whether every line of the part stands in the whole, in the same order.
bool InOrder(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    size_t found = 0;
    for (const std::string& line : whole)
        found += found < part.size() && line == part[found] ? 1 : 0;
    return found == part.size();
}

int CountOf(const std::string& text, const std::string& word) {
    int count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

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
        for (const char* line : {"bad", "*# plot v(out)", ".control", "run", ".endc", "V1 in 0 1",
                                 "R1 in out xyz zz", ".op", ".end"})
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

// Netlists whose control blocks ngspice runs in a way of its own: both stages give what
// `ngspice -b` gives, the first in its log, the second in what it prints, and the files a block
// writes hold what ngspice writes, under the names written.
struct NgspiceCase {
    const char* name;
    const char* text;
    std::vector<const char*> printed;  // in the log and in what the second stage prints
    std::vector<const char*> absent;   // in neither
    std::vector<const char*> files;    // written beside the netlist, as ngspice writes them
};

void PrintTo(const NgspiceCase& c, std::ostream* out) {
    *out << c.name;
}

class AsNgspiceGivesIt : public SimulatorProgramsTest,
                         public ::testing::WithParamInterface<NgspiceCase> {};

TEST_P(AsNgspiceGivesIt, BothStagesPrintAndWriteWhatNgspiceDoes) {
    const NgspiceCase& c = GetParam();
    fs::create_directories(netlists / "Results");
    const fs::path netlist = Netlist(std::string(c.name) + ".cir", c.text);
    const Oracle oracle = RunNgspice(netlist);
    RunFirst(netlist);
    const std::string printed = RunSecond(netlist);

    EXPECT_EQ(SteadyLines(log), SteadyLines(oracle.log)) << log;
    EXPECT_TRUE(InOrder(SteadyLines(oracle.printed), SteadyLines(printed)))
        << "ngspice:\n"
        << oracle.printed << "\nsecond stage:\n"
        << printed;
    ASSERT_FALSE(Plots(raw).empty()) << log;
    for (const char* text : c.printed) {
        EXPECT_THAT(log, HasSubstr(text));
        EXPECT_THAT(printed, HasSubstr(text));
    }
    for (const char* text : c.absent) {
        EXPECT_THAT(log, Not(HasSubstr(text)));
        EXPECT_THAT(printed, Not(HasSubstr(text)));
    }
    for (const char* file : c.files) {
        const std::string written = ReadBytesOrEmpty(netlists / file);
        EXPECT_FALSE(written.empty()) << file;
        EXPECT_EQ(written, ReadBytesOrEmpty(oracle.folder / file)) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Netlists, AsNgspiceGivesIt,
    ::testing::Values(
        NgspiceCase{"MixedCase",
                    "Mixed Case\nV1 In 0 1\nR1 In Out 1k\nR2 Out 0 3k\n.control\nop\n"
                    "echo Hello World\nwrdata Results/MyData.TXT v(Out)\n  print v(Out)\n"
                    ".endc\n.end\n",
                    {"Hello World", "v(out) = 7.500000e-01"},
                    {"hello world", "rror"},
                    {"Results/MyData.TXT"}},
        NgspiceCase{"QuitInIf",
                    "quit in a branch\nV1 1 0 1\nR1 1 0 1k\n.control\nop\nlet x = 1\n"
                    "if x = 1\n  echo \"INFO: ok\"\n  quit 0\nelse\n"
                    "  echo \"ERROR: Test failure\"\nend\necho after-the-branch\n.endc\n.end\n",
                    {"INFO: ok"},
                    {"Test failure", "after-the-branch"},
                    {}},
        NgspiceCase{"LetInALoop",
                    "a sweep with let\nR1 1 2 1k\nR2 2 0 1k\nVDD 1 0 DC 1\n.dc VDD 0 1 .5\n"
                    ".control\nlet r_act = 1k\nwhile r_act le 3k\n  alter r1 r_act\n  run\n"
                    "  write sweep.out v(2)\n  set appendwrite\n  let r_act = r_act + 1k\nend\n"
                    "print dc3.v(2)\n.endc\n.end\n",
                    {"dc3.v(2)"},
                    {"rror", "invalid"},
                    {}},
        NgspiceCase{"ControlInTitleAndComment",
                    "RC test, no .control block used here\n* the .control block below is real\n"
                    "V1 in 0 pulse(0 1 0 1u 1u 1m 2m)\nR1 in out 1k\nC1 out 0 1u\n.tran 10u 2m\n"
                    "* and .endc here closes nothing\n.control\nrun\nmeas tran top max v(out)\n"
                    ".endc\n.end\n",
                    {"top"},
                    {"rror", "Nesting", "No circuit"},
                    {}},
        NgspiceCase{"PrintAndMeasureSimulatedOnce",
                    "printed once\nV1 in 0 sin(0 1 1k)\nR1 in out 1k\nC1 out 0 100n\n"
                    ".tran 10u 3m\n.print tran v(out)\n.measure tran peak max v(out)\n"
                    ".four 1k v(out)\n.end\n",
                    {"Index   time", "peak", "Fourier analysis for v(out)"},
                    {"ignored", "rror"},
                    {}},
        NgspiceCase{"EndcontrolAndAStrayEndc",
                    "longer words\nV1 1 0 1\nR1 1 0 1k\n.control\nop\nprint v(1)\n.endcontrol\n"
                    ".endc\n.end\n",
                    {"v(1) = 1.000000e+00"},
                    {"Error", "No circuit"},
                    {}},
        NgspiceCase{"OperatingPointReport",
                    "op report\nV1 1 0 2\nR1 1 2 1k\nR2 2 0 1k\n.op\n.end\n",
                    {"Source\tCurrent", "resistance"},
                    {"rror", "No matching"},
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The parameter sweep of ngspice's examples: ten runs of one block, each plot in the raw file
// and in the file the block writes, and nothing in error.
TEST_F(SimulatorProgramsTest, ParameterSweepOfTheExamplesRunsEveryPass) {
    const fs::path source = KIVRA_CORPUS_DIR "/ngspice-examples/various/param_sweep.cir";
    if (!fs::exists(source))
        GTEST_SKIP() << "the corpus is not beside the repository";
    const fs::path netlist = netlists / "param_sweep.cir";
    fs::copy_file(source, netlist);
    RunFirst(netlist);
    EXPECT_EQ(Plots(raw).size(), 10u) << log;
    fs::remove(netlists / "dc-sweep.out");
    const std::string printed = RunSecond(netlist);

    EXPECT_THAT(printed, Not(HasSubstr("rror"))) << printed;
    EXPECT_EQ(CountOf(ReadBytesOrEmpty(netlists / "dc-sweep.out"), "Plotname:"), 10);
}

// A .spiceinit beside the netlist runs only when it is the user's and nobody else may change
// it; otherwise the log says it was skipped and why.
TEST_F(SimulatorProgramsTest, SpiceInitBesideTheNetlistRunsOnlyWhenTrusted) {
    struct InitCase {
        const char* name;
        mode_t mode;
        bool otherOwner;
        bool runs;
    };
    const std::vector<InitCase> cases = {{"own", 0644, false, true},
                                         {"group-writable", 0664, false, false},
                                         {"world-writable", 0666, false, false},
                                         {"someone else's", 0644, true, false}};
    for (const InitCase& c : cases) {
        if (c.otherOwner && geteuid() != 0)
            continue;  // only root may give a file away
        fs::path folder = netlists / c.name;
        fs::create_directories(folder);
        fs::path init = folder / ".spiceinit";
        WriteBytes(init, "echo Init-Ran-Here\n");
        ASSERT_EQ(chmod(init.c_str(), c.mode), 0);
        if (c.otherOwner) {
            ASSERT_EQ(chown(init.c_str(), 65534, 65534), 0);
        }
        fs::path netlist = folder / "divider.cir";
        WriteBytes(netlist,
                   "divider\nV1 1 0 1\nR1 1 2 1k\nR2 2 0 1k\n.control\nop\n"
                   "print v(2)\nwrdata out.txt v(2)\n.endc\n.end\n");
        RunFirst(netlist);
        const std::string printed = RunSecond(netlist);

        EXPECT_EQ(log.find("Init-Ran-Here") != std::string::npos, c.runs) << c.name << "\n" << log;
        EXPECT_EQ(printed.find("Init-Ran-Here") != std::string::npos, c.runs) << c.name;
        EXPECT_EQ(log.find(".spiceinit of") != std::string::npos, !c.runs) << c.name;
        // Where ngspice starts does not change where the block writes.
        EXPECT_TRUE(fs::exists(folder / "out.txt")) << c.name;
        EXPECT_THAT(log, HasSubstr("v(2) = 5.000000e-01")) << c.name;
        EXPECT_THAT(log, Not(HasSubstr("Current directory"))) << c.name;
    }
}

// What the programs keep of the user's netlist is the user's alone; the files the netlist's
// block writes get the user's usual mode; nothing private is left behind.
TEST_F(SimulatorProgramsTest, RunFilesArePrivateAndNothingIsLeftBehind) {
    const mode_t mask = umask(022);
    // Private folders left by this test's runs hold a copy of its netlist, titled as no other.
    const std::string title = "modes " + root.filename().string();
    auto leftBehind = [&title] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator("/tmp")) {
            const std::string name = entry.path().filename().string();
            for (const char* copy : {"kivra-deck.cir", "talvex.cir"}) {
                if ((name.starts_with("kivra-run.") || name.starts_with("kivra-plot.")) &&
                    ReadBytesOrEmpty(entry.path() / copy).starts_with(title))
                    ++count;
            }
        }
        return count;
    };
    const fs::path netlist = Netlist("modes.cir", title +
                                                      "\nV1 1 0 1\nR1 1 0 1k\n.control\nop\n"
                                                      "wrdata written.txt v(1)\n.endc\n.end\n");
    RunFirst(netlist);
    RunSecond(netlist);
    umask(mask);

    auto modeOf = [](const fs::path& path) {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0u;
    };
    for (const char* file : {"kivra.log", "kivra.raw", "kivra.source"})
        EXPECT_EQ(modeOf(programs / "Murin" / file), 0600u) << file;
    EXPECT_EQ(modeOf(programs / "Talvex" / "talvex.log"), 0600u);
    EXPECT_EQ(modeOf(netlists / "written.txt"), 0644u);
    EXPECT_EQ(leftBehind(), 0);
}
