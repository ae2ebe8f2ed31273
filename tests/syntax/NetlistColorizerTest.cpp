#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ColorRole.h"
#include "NetlistColorizer.h"

namespace {

using Runs = std::vector<ColorRun>;

struct Result {
    Runs runs;
    LineScanState state;
};

Result Classify(LineScanState state, const std::string& line) {
    Runs runs(3 * line.size() + 1);
    int count = 0;
    LineScanState end =
        ClassifyNetlistLine(state, line.data(), static_cast<int>(line.size()), runs.data(), count);
    runs.resize(count);
    return {runs, end};
}

std::string Describe(const Runs& runs) {
    std::string text;
    for (const ColorRun& run : runs) {
        text += "(" + std::to_string(run.start) + ", " + std::to_string(run.role) + ") ";
    }
    return text;
}

struct LineCase {
    const char* name;
    LineScanState state;
    std::string line;
    Runs runs;
    LineScanState end;
};

class ClassifiedLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ClassifiedLine, GivesItsRunsAndEndState) {
    const LineCase& c = GetParam();
    Result result = Classify(c.state, c.line);
    EXPECT_EQ(result.runs, c.runs) << "got " << Describe(result.runs);
    EXPECT_EQ(result.state, c.end);
}

const LineCase kLineCases[] = {
    {"EmptyLineKeepsOnlyBlockComment",
     BlockComment | DoubleQuoted | ErrorTail,
     "",
     {},
     BlockComment},
    {"EmptyLineAfterBackslashEndsAString", DoubleQuoted, "", {}, 0},
    {"ElementLine",
     0,
     "R1 1 0 10k",
     {{0, NormalText},
      {2, NormalText},
      {3, Number},
      {4, NormalText},
      {5, Number},
      {6, NormalText},
      {7, Number}},
     0},
    {"KeywordsInAnyCase",
     0,
     ".TRAN 1n 100n UIC",
     {{0, NormalText},
      {0, Keyword},
      {5, NormalText},
      {6, Number},
      {8, NormalText},
      {9, Number},
      {13, NormalText},
      {14, Keyword}},
     0},
    {"StarCommentLine", 0, "* amplifier", {{0, NormalText}, {0, CommentLine}}, 0},
    {"DoubleStarLineIsDimmed", 0, "** old", {{0, NormalText}, {0, Dimmed}}, 0},
    {"IndentedStarCommentLine", 0, "   * indented", {{0, NormalText}, {3, CommentLine}}, 0},
    {"LoneStarIsACommentLine", 0, "*", {{0, NormalText}, {0, CommentLine}}, 0},
    {"StarHashIsACommandLine", 0, "*#load", {{0, NormalText}, {1, NormalText}}, 0},
    {"StarAfterTextIsNoComment",
     0,
     "x = 5 * 3",
     {{0, NormalText}, {1, NormalText}, {4, Number}, {5, NormalText}, {8, Number}},
     0},
    {"BlockCommentOpens", 0, "/* a", {{0, NormalText}, {0, Comment}}, BlockComment},
    {"BlockCommentCloses", BlockComment, "b */ c", {{0, Comment}, {4, NormalText}}, 0},
    {"BlockCommentInsideCommentLineReturnsToDimmed",
     0,
     "* c /* x */ d",
     {{0, NormalText}, {0, CommentLine}, {4, Comment}, {11, Dimmed}},
     0},
    {"StarAfterLeadingStringStillOpensCommentLine",
     0,
     "\"s\" * c",
     {{0, NormalText}, {0, String}, {3, NormalText}, {4, CommentLine}},
     0},
    {"StarAfterCarriedBlockCommentOpensCommentLine",
     BlockComment,
     "a */ * b",
     {{0, Comment}, {4, NormalText}, {5, CommentLine}},
     0},
    // The '/' of a leading block comment is examined as plain text, so it ends the line's
    // leading blanks and a '*' after the comment is an ordinary character.
    {"StarAfterLeadingBlockCommentIsNoComment",
     0,
     "/* c */ * x",
     {{0, NormalText}, {0, Comment}, {7, NormalText}},
     0},
    {"StringCarriesOverABackslash",
     0,
     "V1 \"abc\\",
     {{0, NormalText}, {2, NormalText}, {3, String}},
     DoubleQuoted},
    {"StringEndsWithTheLine", 0, "V1 \"abc", {{0, NormalText}, {2, NormalText}, {3, String}}, 0},
    {"EscapedQuoteDoesNotCloseAString",
     0,
     "\"a\\\"b\"",
     {{0, NormalText}, {0, String}, {6, NormalText}},
     0},
    {"SingleQuotedString",
     0,
     "'x' 5",
     {{0, NormalText}, {0, String}, {3, NormalText}, {4, Number}},
     0},
    {"QuoteAloneOpensAndEnds", 0, "\"", {{0, NormalText}, {0, String}}, 0},
    {"ErrorColoursTheRestOfTheLine", 0, "Error: node 3", {{0, NormalText}, {0, Comment}}, 0},
    {"LowerCaseErrorIsPlain",
     0,
     "error: node 3",
     {{0, NormalText}, {5, NormalText}, {11, NormalText}, {12, Number}},
     0},
    {"ErrorInsideAWord", 0, "SimError x", {{0, NormalText}, {3, Comment}}, 0},
    {"ErrorInsideACommentLine",
     0,
     "* Error here",
     {{0, NormalText}, {0, CommentLine}, {2, Comment}},
     0},
    {"ErrorInsideAStringIsPlain",
     0,
     "\"Error\"",
     {{0, NormalText}, {0, String}, {7, NormalText}},
     0},
    {"ErrorTailCarriesOverABackslash", 0, "Error \\", {{0, NormalText}, {0, Comment}}, ErrorTail},
    {"CarriedErrorTailColoursTheNextLine", ErrorTail, "abc", {{0, Comment}, {0, Comment}}, 0},
    {"CommentLineCarriesOverABackslash",
     0,
     "* a \\",
     {{0, NormalText}, {0, CommentLine}},
     StarComment},
    {"CarriedCommentLineIsDimmedAndNotFirst", StarComment, "* x", {{0, Dimmed}}, 0},
    {"HexNumber", 0, "0x1F", {{0, NormalText}, {0, Number}}, 0},
    {"TokenRunsThroughAString",
     0,
     "R1\"abc\" 5",
     {{0, NormalText}, {2, String}, {7, NormalText}, {7, NormalText}, {8, Number}},
     0},
    {"CyrillicBytesEndTokens", 0, "5\xC2\xF5", {{0, NormalText}, {0, Number}, {1, NormalText}}, 0},
};

INSTANTIATE_TEST_SUITE_P(Netlist, ClassifiedLine, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NetlistKeyword, MatchesWholeWordsIgnoringAsciiCase) {
    struct Case {
        const char* token;
        bool keyword;
    };
    const Case cases[] = {
        {".model", true},   {".MODEL", true},     {".Model", true},  {".models", false},
        {"x.model", false}, {".opt", true},       {".option", true}, {".options", true},
        {".optio", false},  {".optionss", false}, {"uic", true},     {"RUN", true},
        {"cross", true},    {".end", true},       {".ends", true},   {".en", false},
        {"", false},        {".\xCD\xC5", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNetlistKeyword(c.token, static_cast<int>(std::string(c.token).size())),
                  c.keyword)
            << c.token;
    }
}

TEST(NumericToken, StartsWithADigitOrIsLowerCaseHex) {
    struct Case {
        const char* token;
        bool number;
    };
    const Case cases[] = {
        {"0x1F", true}, {"0xff", true}, {"0xG1", false}, {"0X1F", true},   {"0x", true},
        {"10k", true},  {"2.5u", true}, {"1meg", true},  {"2n2222", true}, {"k10", false},
        {".5", false},  {"", false},    {"0xA.", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNumericToken(c.token, static_cast<int>(std::string(c.token).size())), c.number)
            << c.token;
    }
}

TEST(ColorRoles, FixedDefaultsAndSystemRoles) {
    EXPECT_FALSE(FixedRoleColor(EmptyArea).has_value());
    EXPECT_FALSE(FixedRoleColor(TextBackground).has_value());
    EXPECT_FALSE(FixedRoleColor(NormalText).has_value());
    EXPECT_EQ(FixedRoleColor(MarginBackground), MakeRgb(220, 220, 220));
    EXPECT_EQ(FixedRoleColor(SelectionBackground), MakeRgb(0, 0, 0));
    EXPECT_EQ(FixedRoleColor(SelectionText), MakeRgb(255, 255, 255));
    EXPECT_EQ(FixedRoleColor(Comment), MakeRgb(255, 0, 0));
    EXPECT_EQ(FixedRoleColor(String), MakeRgb(0, 0, 0));
    EXPECT_EQ(FixedRoleColor(Keyword), MakeRgb(0, 0, 255));
    EXPECT_EQ(FixedRoleColor(Number), MakeRgb(128, 0, 128));
    EXPECT_EQ(FixedRoleColor(Dimmed), MakeRgb(164, 164, 164));
    EXPECT_EQ(FixedRoleColor(CommentLine), MakeRgb(0, 128, 0));
    EXPECT_EQ(FixedRoleColor(9), MakeRgb(0, 0, 0));
    for (int role : {12, 15, 17, 19, 1000, -1}) {
        EXPECT_EQ(FixedRoleColor(role), MakeRgb(255, 0, 0)) << role;
    }
}

// Invariants of one classification, shared by the random and the corpus tests.
void ExpectSoundRuns(LineScanState state, const std::string& line, const std::string& where) {
    Result result = Classify(state, line);
    int length = static_cast<int>(line.size());
    ASSERT_LE(static_cast<int>(result.runs.size()), 3 * length) << where;
    for (std::size_t index = 0; index < result.runs.size(); ++index) {
        const ColorRun& run = result.runs[index];
        ASSERT_GE(run.start, 0) << where;
        ASSERT_LE(run.start, length) << where;
        if (index > 0) {
            ASSERT_GE(run.start, result.runs[index - 1].start) << where;
        }
    }
    ASSERT_EQ(result.state & ~kAllScanBits, 0u) << where;
    int unused = 0;
    ASSERT_EQ(ClassifyNetlistLine(state, line.data(), length, nullptr, unused), result.state)
        << where;
    ASSERT_EQ(unused, 0) << where;
}

TEST(NetlistColorizerProperties, RandomLinesOfEveryByteKeepTheInvariants) {
    std::mt19937 random(20261208);
    for (int trial = 0; trial < 20000; ++trial) {
        int length = static_cast<int>(random() % 80);
        std::string line(length, '\0');
        for (char& c : line) {
            // Half the lines draw from the characters the rules look at, so that strings,
            // comments and errors are common.
            c = (trial % 2 == 0) ? static_cast<char>(random() % 256)
                                 : "Error\"'*/#\\ .x0k\t"[random() % 17];
        }
        LineScanState state = random() % 32;
        ExpectSoundRuns(state, line, "trial " + std::to_string(trial));
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
