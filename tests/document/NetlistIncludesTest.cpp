// The files a netlist includes, and telling by the simulator's repetition of a line which file
// holds it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "NetlistIncludes.h"

namespace {

using ::testing::ElementsAre;

TEST(NetlistIncludes, IncludeAndLibraryLinesNameTheirFilesInOrder) {
    const std::vector<std::string_view> netlist = {
        "title",
        ".include sub.inc",
        "  .INC 'load model.inc'",
        ".lib \"models/bjt.lib\" npn",
        ".Lib diodes.lib dmod",
        "\t.include\t/abs/path.inc  ",
        ".include",         // no name
        ".include \"open",  // unclosed quote
        "* .include commented.inc",
        ".includes not.inc",  // another keyword
        "r1 a b .include",
    };
    EXPECT_THAT(IncludedFiles(netlist), ElementsAre("sub.inc", "load model.inc", "models/bjt.lib",
                                                    "diodes.lib", "/abs/path.inc"));
}

TEST(NetlistIncludes, EchoedLineIsMatchedByItsFirstWordAtTheNumberedLine) {
    const std::vector<std::string_view> lines = {"* sub", "R5 A B 1k zz=3", "  .MODEL dm d", "",
                                                 "+ continued"};
    struct Case {
        const char* name;
        int lineNumber;
        const char* echoed;
        bool holds;
    };
    const Case cases[] = {
        {"lower-cased device line", 2, "r5 a b 1k zz=3", true},
        {"parameters substituted", 2, "r5 a b    2.000000000000000e+03", true},
        {"leading blanks in the file", 3, ".model dm d foo=3", true},
        {"another device", 2, "r6 a b 1k", false},
        {"a word that only begins the same", 2, "r55 a b 1k", false},
        {"the line before", 1, "r5 a b 1k zz=3", false},
        {"an empty line", 4, "r5 a b", false},
        {"no line zero", 0, "* sub", false},
        {"past the end", 6, "r5", false},
        {"nothing repeated", 2, "", false},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(HoldsEchoedLine(lines, each.lineNumber, each.echoed), each.holds);
    }
}

}  // namespace
