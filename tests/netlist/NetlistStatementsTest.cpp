// Netlist text read into statements as the simulator reads it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetlistStatements.h"
#include "NetlistText.h"

namespace {

struct StatementCase {
    const char* name;
    const char* text;
    // Each statement as "FIRST-LAST kind: token|token|..." (lines from 0).
    std::vector<std::string> expected;
};

const char* KindName(StatementKind kind) {
    switch (kind) {
    case StatementKind::Title: return "title";
    case StatementKind::Element: return "element";
    case StatementKind::Dot: return "dot";
    case StatementKind::Control: return "control";
    }
    return "?";
}

const StatementCase kCases[] = {
    {"TitleThenElementsAndCommands", "my title\nR1 a b 1k\n.tran 1n 1u\n",
     {"0-0 title: ", "1-1 element: R1|a|b|1k", "2-2 dot: .tran|1n|1u"}},
    {"ContinuationsAcrossCommentsAndBlankLines", "t\nX1 a\n* note\n\n+ b sub\n  + p=1\nR2 1 0 1\n",
     {"0-0 title: ", "1-5 element: X1|a|b|sub|p=1", "6-6 element: R2|1|0|1"}},
    {"InlineComments", "t\nR1 a b 1k ; semicolon\nR2 a b 2k $ dollar\nR3 a b 3k // slashes\n"
                       "R4 a$b c 1\n",
     {"0-0 title: ", "1-1 element: R1|a|b|1k", "2-2 element: R2|a|b|2k", "3-3 element: R3|a|b|3k",
      "4-4 element: R4|a$b|c|1"}},
    {"QuotesAndBracesAreOneToken", "t\nB1 o 0 v={ a + b ; c }\nR1 a b 'x * 2'\n",
     {"0-0 title: ", "1-1 element: B1|o|0|v={ a + b ; c }", "2-2 element: R1|a|b|'x * 2'"}},
    {"AssignmentsWithBlanksStayOne", "t\n.param a = 1 b =2 c= 3\n.model d d(is=1e-14, n=2)\n",
     {"0-0 title: ", "1-1 dot: .param|a = 1|b =2|c= 3", "2-2 dot: .model|d|d|is=1e-14|n=2"}},
    {"ControlBlockLinesAreCommands", "t\n.CONTROL\nrun ; a\n+ not a continuation\n.endc\n.op\n",
     {"0-0 title: ", "1-1 dot: .CONTROL", "2-2 control: run", "3-3 control: +",
      "4-4 control: .endc", "5-5 dot: .op"}},
    {"ALeadingContinuationHasNothingToContinue", "t\n+ R1 a b\n* only\n", {"0-0 title: "}},
};

class NetlistStatementsTest : public ::testing::TestWithParam<StatementCase> {};

}  // namespace

TEST_P(NetlistStatementsTest, ReadsAsTheSimulatorDoes) {
    const NetlistText text = NetlistText::FromBytes(GetParam().text);
    StatementReader reader(text, true);
    NetlistStatement statement;
    std::vector<std::string> found;
    while (reader.Next(statement)) {
        std::string tokens;
        for (std::size_t i = 0; i < statement.tokens.size(); ++i) {
            if (statement.kind == StatementKind::Title)
                break;
            tokens += (i == 0 ? "" : "|") + std::string(statement.tokens[i].text);
        }
        found.push_back(std::to_string(statement.firstLine) + "-" +
                        std::to_string(statement.lastLine) + " " + KindName(statement.kind) + ": " +
                        tokens);
    }
    EXPECT_EQ(found, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, NetlistStatementsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NetlistTextTest, SplitsAtEveryLineBreakAndKeepsLongLinesWhole) {
    const std::string longLine(5u << 20, 'x');  // longer than a block of the copy
    const NetlistText text = NetlistText::FromBytes("a\r\nb\rc\n\n" + longLine + "\nend");
    ASSERT_EQ(text.LineCount(), 6);
    EXPECT_EQ(text.Line(0), "a");
    EXPECT_EQ(text.Line(1), "b");
    EXPECT_EQ(text.Line(2), "c");
    EXPECT_EQ(text.Line(3), "");
    EXPECT_EQ(text.Line(4), longLine);
    EXPECT_EQ(text.Line(5), "end");
    EXPECT_EQ(text.Line(6), "");
    EXPECT_EQ(text.Line(-1), "");
}
