// The checks of a netlist before a run: for each small netlist, every finding expected as
// "FILE:LINE:COLUMN: LEVEL" (lines and columns from 1), and nothing else.

#include <sstream>

#include "NetlistCheckCommand.h"
#include "NetlistFolder.h"

namespace {

struct CheckCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // the netlist first
    std::vector<std::string> expected;
};

const CheckCase kCases[] = {
    // Blocks
    {"SubcircuitWithoutEnds", {{"a.cir", "t\n.subckt amp in out\nR1 in out 1k\n.end\n"}},
     {"a.cir:2:9: error"}},
    {"EndsWithoutSubcircuit", {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1k\n.ends\n"}}, {"a.cir:4:1: error"}},
    {"ControlWithoutEndc", {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1k\n.control\nrun\n"}}, {"a.cir:4:1: warning"}},
    {"EndcWithoutControl", {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1k\n.endc\n"}}, {"a.cir:4:1: warning"}},
    {"OnlyTheFirstTokenOpensOrClosesABlock",
     {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1k\n* .control\n.print dc v(1) ; .endc\n.control\necho .endc\n.endc\n"}},
     {}},
    // Subcircuits
    {"UndefinedSubcircuit", {{"a.cir", "t\nV1 1 0 1\nX1 1 0 opamq\n.subckt opamp a b\nR1 a b 1\n.ends\n"}},
     {"a.cir:3:8: error"}},
    {"NodeCountOfASubcircuit",
     {{"a.cir", "t\nV1 1 0 1\nX1 1 2 0 amp\nR2 2 0 1\n.subckt amp a b\nR1 a b 1\n.ends\n"}},
     {"a.cir:3:1: error"}},
    {"CaseParametersAndDefinitionAfterUse",
     {{"a.cir", "t\nV1 1 0 1\nX1 1 0 AMP params: g=2\nX2 1 0 amp g=3\n"
                ".SUBCKT Amp a b params: g=1\nR1 a b {g}\n.ENDS Amp\n"}},
     {}},
    {"NestedSubcircuitIsLocal",
     {{"a.cir", "t\nV1 1 0 1\nX1 1 0 inner\nX2 1 0 outer\n.subckt outer a b\nX3 a b inner\n"
                ".subckt inner c d\nR1 c d 1\n.ends\n.ends\n"}},
     {"a.cir:3:8: error"}},
    {"MistakeInAnUnusedSubcircuitIsAWarning",
     {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1\n.subckt spare a b\nD1 a b nomodel\n.ends\n"}},
     {"a.cir:5:8: warning"}},
    // Models
    {"UndefinedModel", {{"a.cir", "t\nV1 1 0 1\nD1 1 0 dx\nQ1 1 1 0 qx\n.model qx npn\n"}},
     {"a.cir:3:8: error"}},
    {"ModelFromIncludeSectionAndBins",
     {{"a.cir", "t\nV1 1 0 1\n.include \"lib/d.mod\"\n.lib lib/m.lib tt\nD1 1 0 DMOD\n"
                "M1 1 1 0 0 nch w=1u l=1u\nM2 1 1 0 0 pch\n"},
      {"lib/d.mod", ".model dmod d\n.include sub/more.mod\n"},
      {"lib/sub/more.mod", "* nothing but a comment\n"},
      {"lib/m.lib", ".lib tt\n.model nch.1 nmos\n.endl\n.lib ff\n.model pch pmos\n.endl\n"}},
     {"a.cir:7:12: error"}},
    {"SemiconductorResistorAndPlainValues",
     {{"a.cir", "t\nV1 1 0 1\nR1 1 0 rmod l=1u\nR2 1 0 1k ac=2k\nC1 1 0 1p ic=0\n"
                "R3 1 0 rbad\n.model rmod r\n"}},
     {"a.cir:6:8: error"}},
    // Element lines
    {"DuplicateNamesInOneScope",
     {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1\nr1 1 0 2\n.subckt s a b\nR1 a b 1\n.ends\n"
                ".if (1)\nR5 1 0 1\n.else\nR5 1 0 2\n.endif\n"}},
     {"a.cir:4:1: error"}},
    {"TooFewFields", {{"a.cir", "t\nV1 1 0\nR1 1\nM1 1 1 0\nV2 1\n"}},
     {"a.cir:3:1: error", "a.cir:4:1: error", "a.cir:5:1: error"}},
    {"ContinuationLinesAndComments",
     {{"a.cir", "t\nV1 1 0 1\nX1 1\n* a comment between\n+ 0 amp ; the rest\n"
                ".subckt amp a\n+ b\nR1 a b 1\n.ends\n"}},
     {}},
    {"ShapesTheSimulatorAlsoAccepts",
     {{"a.cir", "t\nV1 1 0 1\nX1 1 0 g\nX2 1 0 1 g\n.subckt g a b optional: p=5\nR1 a b 1\n.ends\n"
                "M1 1 1 0 vd\n.model vd vdmos\nD1 1 0 tj dm thermal\nRt tj 0 1\n.model dm d\n"
                "U1 nand(2) 1 0 $G_DPWR io_std\n"}},
     {}},
    {"LineOfNoKnownKind", {{"a.cir", "t\nV1 1 0 1\nR1 1 0 1\n# not a comment here\n"}},
     {"a.cir:4:1: error"}},
    // Includes
    {"MissingIncludeAndSection",
     {{"a.cir", "t\nV1 1 0 1\n.include nothere.inc\n.lib 'm.lib' ss\nD1 1 0 dx\n"},
      {"m.lib", ".lib tt\n.model dx d\n.endl tt\n"}},
     {"a.cir:3:10: error", "a.cir:4:14: error"}},
    {"IncludeCycleIsReadOnce",
     {{"a.cir", "t\nV1 1 0 1\n.include b.inc\nD1 1 0 db\n"},
      {"b.inc", ".include a.cir\n.include b.inc\n.model db d\n"}},
     {}},
    // Nodes
    {"NodeWithOneConnection",
     {{"a.cir", "t\nV1 1 0 1\nR1 1 2 1k\nC1 2 3 1p\n"}}, {"a.cir:4:6: warning"}},
    {"NodesThatAreNotDangling",
     {{"a.cir", "t\n.global vdd\nV1 in GND 1\nR1 in 0 1\nR2 vdd 0 1\nV2 sig 0 1\n"
                "B1 out 0 v=v(ctl)*2\nR3 out 0 1\nE1 ctl 0 in 0 2\n"
                "X1 in 0 s\n.subckt s a b\nR1 a x 1\nR2 x b 1\nC1 a c 1p\n.ends\n"}},
     {"a.cir:14:6: warning"}},
    {"CodeModelPortsAndThermalNodes",
     {{"a.cir", "t\na1 [d1 ~d2] y gate\n.model gate d_and\nV1 in 0 1\nR1 in 0 1\n"
                "D1 in 0 tj dm thermal\nRtj tj 0 1\n.model dm d\n"}}, {}},
};

class NetlistChecksTest : public NetlistFolder, public ::testing::WithParamInterface<CheckCase> {};

std::string Short(const NetlistFinding& finding, const std::filesystem::path& folder) {
    const std::string file = std::filesystem::relative(finding.place.file, folder).string();
    return file + ":" + std::to_string(finding.place.line + 1) + ":" +
           std::to_string(finding.place.column + 1) + ": " +
           (finding.level == FindingLevel::Error ? "error" : "warning");
}

}  // namespace

TEST_P(NetlistChecksTest, FindsWhatTheSimulatorWouldStopAtAndNothingElse) {
    const auto analysis = Analyze(GetParam().files);
    std::vector<std::string> found;
    std::string texts;
    for (const NetlistFinding& finding : analysis->findings) {
        found.push_back(Short(finding, folder));
        texts += "\n  " + finding.text;
        EXPECT_FALSE(finding.text.empty());
    }
    EXPECT_EQ(found, GetParam().expected) << texts;
}

INSTANTIATE_TEST_SUITE_P(Netlists, NetlistChecksTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class NetlistCheckCommandTest : public NetlistFolder {};

TEST_F(NetlistCheckCommandTest, PrintsFindingsAsCompilersDoAndExitsOneOnAnError) {
    const std::string clean = Write("clean.cir", "t\nV1 1 0 1\nR1 1 0 1k\n");
    const std::string warned = Write("warned.cir", "t\nV1 1 0 1\nC1 1 2 1p\n");
    const std::string wrong = Write("wrong.cir", "t\r\nV1 1 0 1\r\nD1 1 0 nodiode\r\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunNetlistCheck({clean, warned}, out, err), 0);
    EXPECT_EQ(out.str(), warned + ":3:6: warning: узел «2» подключён только к элементу «C1»\n");
    out.str("");
    EXPECT_EQ(RunNetlistCheck({wrong}, out, err), 1);
    EXPECT_EQ(out.str(), wrong + ":3:8: error: модель «nodiode» нигде не определена\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(RunNetlistCheck({Path("none.cir"), folder.string()}, out, err), 1);
    EXPECT_EQ(err.str(), Path("none.cir") + ": error: не удалось прочитать файл\n" +
                             folder.string() + ": error: не удалось прочитать файл\n");
}
