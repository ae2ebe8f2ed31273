// Definitions, usages and completions of names, across an included file.

#include "NetlistFolder.h"

namespace {

const char* const kNetlist =
    "amplifier\n"                      // 0
    ".include lib/parts.lib\n"         // 1
    ".param gain=10\n"                 // 2
    "V1 in 0 1\n"                      // 3
    "X1 in out OpAmp\n"                // 4
    "D1 out 0 dfast\n"                 // 5
    ".subckt stage a b\n"              // 6
    ".param gain=3\n"                  // 7
    "E1 b 0 a 0 {gain*2}\n"            // 8
    ".ends\n"                          // 9
    "E2 out 0 in 0 {gain}\n"           // 10
    "X2 out 0 stage\n"                 // 11
    ".lib lib/parts.lib fast\n";       // 12

const char* const kLibrary =
    "* parts\n"                        // 0
    ".subckt opamp p n\n"              // 1
    "R1 p n 1meg\n"                    // 2
    ".ends\n"                          // 3
    ".lib fast\n"                      // 4
    ".model dfast d\n"                 // 5
    ".endl\n";                         // 6

class NetlistQueriesTest : public NetlistFolder {
protected:
    void SetUp() override {
        NetlistFolder::SetUp();
        analysis = Analyze({{"amp.cir", kNetlist}, {"lib/parts.lib", kLibrary}});
        netlist = Path("amp.cir");
        library = Path("lib/parts.lib");
    }
    std::string DefinitionOf(int line, int column) const {
        NetlistPlace found;
        if (!analysis->FindDefinition({netlist, line, column}, found))
            return "none";
        return (found.file == library ? "lib:" : "net:") + std::to_string(found.line) + ":" +
               std::to_string(found.column);
    }

    std::shared_ptr<const NetlistAnalysis> analysis;
    std::string netlist, library;
};

}  // namespace

TEST_F(NetlistQueriesTest, DefinitionsAreFoundAsTheSimulatorScopesThem) {
    EXPECT_EQ(DefinitionOf(4, 12), "lib:1:8");   // a subcircuit, case aside, in the include
    EXPECT_EQ(DefinitionOf(5, 9), "lib:5:7");    // a model in a .lib section
    EXPECT_EQ(DefinitionOf(10, 16), "net:2:7");  // a parameter at the top level
    EXPECT_EQ(DefinitionOf(8, 14), "net:7:7");   // the subcircuit's own parameter first
    EXPECT_EQ(DefinitionOf(11, 10), "net:6:8");  // a subcircuit of the netlist
    EXPECT_EQ(DefinitionOf(1, 12), "lib:0:0");   // an include goes to the file
    EXPECT_EQ(DefinitionOf(12, 20), "lib:4:0");  // a .lib line to its section
    EXPECT_EQ(DefinitionOf(3, 3), "none");       // a node has no definition
    EXPECT_EQ(DefinitionOf(0, 3), "none");       // nor has the title
}

TEST_F(NetlistQueriesTest, UsagesCoverTheIncludeAndKeepScopesApart) {
    std::vector<std::string> places;
    for (const NetlistUsage& usage : analysis->FindUsages({netlist, 4, 12}))
        places.push_back((usage.place.file == library ? "lib:" : "net:") +
                         std::to_string(usage.place.line) + ":" + usage.lineText);
    EXPECT_EQ(places, (std::vector<std::string>{"net:4:X1 in out OpAmp", "lib:1:.subckt opamp p n"}));
    std::vector<int> lines;
    for (const NetlistUsage& usage : analysis->FindUsages({netlist, 2, 8}))
        lines.push_back(usage.place.line);
    EXPECT_EQ(lines, (std::vector<int>{2, 10}));  // not the subcircuit's own gain
    lines.clear();
    for (const NetlistUsage& usage : analysis->FindUsages({netlist, 4, 7}))
        lines.push_back(usage.place.line);
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 10, 11}));  // the node "out"
}

TEST_F(NetlistQueriesTest, CompletionOffersWhatIsVisibleWithHints) {
    std::vector<std::string> offered;
    for (const NetlistCompletion& completion : analysis->CompletionsAt({netlist, 11, 0}, "o"))
        offered.push_back(completion.text + " | " + completion.hint);
    EXPECT_EQ(offered, (std::vector<std::string>{"opamp | подсхема: p n"}));
    offered.clear();
    for (const NetlistCompletion& completion : analysis->CompletionsAt({netlist, 8, 0}, "g"))
        offered.push_back(completion.text + " | " + completion.hint);
    EXPECT_EQ(offered, (std::vector<std::string>{"gain | = 3"}));
    offered.clear();
    for (const NetlistCompletion& completion : analysis->CompletionsAt({netlist, 3, 0}, ".su"))
        offered.push_back(completion.text);
    EXPECT_EQ(offered, (std::vector<std::string>{".subckt"}));
}

TEST_F(NetlistQueriesTest, OutlineListsWhatEachIncludeBringsUnderIt) {
    std::vector<std::string> entries;
    for (const OutlineItem& item : analysis->outline) {
        const std::string parent = item.parent < 0 ? "" : analysis->outline[item.parent].label + " > ";
        entries.push_back(parent + item.label + (item.file.empty() ? "" : " @lib:" + std::to_string(item.line)));
    }
    EXPECT_EQ(entries, (std::vector<std::string>{
                           "amplifier",
                           ".include lib/parts.lib",
                           ".include lib/parts.lib > opamp (p n) @lib:1",
                           ".include lib/parts.lib > dfast (d) @lib:5",
                           "gain = 10",
                           "stage (a b)",
                           "stage (a b) > gain = 3",
                           "stage (a b) > E1 b 0 a 0 {gain*2}",
                           ".lib lib/parts.lib fast",
                           ".lib lib/parts.lib fast > dfast (d) @lib:5",
                       }));
}
