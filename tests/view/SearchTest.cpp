// The search routines of the text view: one line, a block, the whole text, forward and upward,
// with whole words and case folding in the Windows-1251 code page.

#include <string>
#include <vector>

#include "TextViewHarness.h"

namespace {

using Search = TextViewTest;

TEST(FindInLineText, FindsTheFirstAcceptedOccurrence) {
    struct Case {
        const char* name;
        const char* text;
        const char* pattern;
        bool wholeWord;
        int expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"plain occurrence inside a word", "xab ab", "ab", false, 1},
        {"followed by an underscore is not a whole word", "ab_cd ab", "ab", true, 6},
        {"preceded by a letter is not a whole word", "xab ab", "ab", true, 4},
        {"a rejected candidate still sees the real byte before it", "xaa", "a", true, -1},
        {"digits are word characters", "1a a", "a", true, 3},
        {"a Cyrillic letter before is not a word character", "\xE6" "ab", "ab", true, 1},
        {"a Cyrillic letter after is not a word character", "ab\xE6", "ab", true, 0},
        {"punctuation around a whole word", "(ab)", "ab", true, 1},
        {"pattern longer than the text", "ab", "abc", false, -1},
        {"occurrence at the very end", "xxab", "ab", true, -1},
        {"empty pattern at the start", "abc", "", false, 0},
        {"empty pattern as a whole word only at the terminating zero", "ab ", "", true, 3},
        {"empty pattern between word characters is no whole word", "ab", "", true, -1},
        {"empty pattern in an empty text", "", "", true, 0},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(CCorvelTextView::FindInLineText(each.text, each.pattern, each.wholeWord),
                  each.expected);
    }
}

TEST(FindInLineText, WholeWordFromInsideALineLooksAtTheByteBeforeTheStart) {
    // A search from column 1 of "xab ab" does not take the "ab" of "xab" for a word.
    EXPECT_EQ(CCorvelTextView::FindInLineText("xab ab", 6, 1, "ab", 2, true), 4);
    EXPECT_EQ(CCorvelTextView::FindInLineText("xab ab", 6, 1, "ab", 2, false), 1);
    EXPECT_EQ(CCorvelTextView::FindInLineText(" ab", 3, 1, "ab", 2, true), 1);
}

TEST(FindInLineText, ALineIsNotReadPastItsLength) {
    // "X" lies beyond the line: what comes before it is followed by the line's end.
    EXPECT_EQ(CCorvelTextView::FindInLineText("abX", 2, 0, "bX", 2, false), -1);
    EXPECT_EQ(CCorvelTextView::FindInLineText(" bX", 2, 0, "b", 1, true), 1);
    EXPECT_EQ(CCorvelTextView::FindInLineText("a X", 2, 0, "", 0, true), 2);
}

TEST_F(Search, CaseFoldingFollowsTheCodePage) {
    // Lower and upper case of every letter pair of Windows-1251.
    std::vector<std::pair<unsigned char, unsigned char>> pairs = {
        {0xB8, 0xA8}, {0xB3, 0xB2}, {0xBF, 0xAF}, {0xBA, 0xAA}, {0xA2, 0xA1}, {0xBC, 0xA3},
        {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0x90, 0x80}, {0x83, 0x81},
        {0x9D, 0x8D}, {0xBE, 0xBD}, {0xB4, 0xA5}, {'q', 'Q'},
    };
    for (int lower = 0xE0; lower <= 0xFF; ++lower)
        pairs.emplace_back(lower, lower - 0x20);
    for (auto [lower, upper] : pairs) {
        SCOPED_TRACE(testing::Message() << std::hex << int(lower));
        std::string line = std::string("x ") + char(upper);
        Load(line + "\r\n" + char(lower));
        const char pattern[] = {char(lower), '\0'};
        TextPosition found{-1, -1};
        ASSERT_TRUE(view.FindInText(pattern, {0, 0}, FindFlags{}, false, found));
        EXPECT_EQ(found, (TextPosition{2, 0}));
        ASSERT_TRUE(view.FindInText(pattern, {0, 0}, CaseSensitive, false, found));
        EXPECT_EQ(found, (TextPosition{0, 1}));
    }
}

TEST_F(Search, ForwardWithAndWithoutWrap) {
    Load("one two\r\n\r\nthree two\r\nfour");
    struct Case {
        const char* name;
        const char* pattern;
        TextPosition start;
        unsigned flags;
        bool wrap;
        bool expectFound;
        TextPosition expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"from the start", "two", {0, 0}, 0, false, true, {4, 0}},
        {"a match at the start position", "two", {4, 0}, 0, false, true, {4, 0}},
        {"past the first match", "two", {5, 0}, 0, false, true, {6, 2}},
        {"past the last match without wrap", "two", {7, 2}, 0, false, false, {}},
        {"past the last match wraps to the first", "two", {7, 2}, 0, true, true, {4, 0}},
        {"nothing anywhere", "five", {2, 1}, 0, true, false, {}},
        {"case folded", "THREE", {0, 0}, 0, false, true, {0, 2}},
        {"case sensitive", "THREE", {0, 0}, CaseSensitive, true, false, {}},
        {"start past a line's end", "four", {99, 2}, 0, false, true, {0, 3}},
        {"start past the last line wraps", "one", {0, 9}, 0, true, true, {0, 0}},
        {"empty pattern at a character", "", {2, 0}, 0, false, true, {2, 0}},
        {"empty pattern at a line end goes to the next line with characters", "", {7, 0}, 0,
         false, true, {0, 2}},
        {"empty pattern at the text's end wraps to the start", "", {4, 3}, 0, true, true, {0, 0}},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        TextPosition found{-1, -1};
        bool result =
            view.FindInText(each.pattern, each.start, FindFlags(each.flags), each.wrap, found);
        EXPECT_EQ(result, each.expectFound);
        if (each.expectFound) {
            EXPECT_EQ(found, each.expected);
        }
    }
}

TEST_F(Search, UpwardTakesTheNearestMatchBeforeTheStart) {
    Load("ab ab ab\r\nx\r\nab ab");
    struct Case {
        const char* name;
        TextPosition start;
        bool wrap;
        bool expectFound;
        TextPosition expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"on the start line, the last one that begins before the start", {4, 2}, false, true,
         {3, 2}},
        {"a match running over the start counts", {1, 2}, false, true, {0, 2}},
        {"a match at the start does not", {3, 2}, false, true, {0, 2}},
        {"at a line start, the last match of a line above", {0, 2}, false, true, {6, 0}},
        {"nothing before the text's start without wrap", {0, 0}, false, false, {}},
        {"wraps to the last match of the text", {0, 0}, true, true, {3, 2}},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        TextPosition found{-1, -1};
        bool result = view.FindInText("ab", each.start, SearchUp, each.wrap, found);
        EXPECT_EQ(result, each.expectFound);
        if (each.expectFound) {
            EXPECT_EQ(found, each.expected);
        }
    }
    TextPosition found;
    EXPECT_TRUE(view.FindInText("AB", {5, 2}, SearchUp | WholeWordOnly, false, found));
    EXPECT_EQ(found, (TextPosition{3, 2}));
    // The only match lies after the start on its line: found when the search wraps.
    Load("x ab");
    EXPECT_FALSE(view.FindInText("ab", {1, 0}, SearchUp, false, found));
    EXPECT_TRUE(view.FindInText("ab", {1, 0}, SearchUp, true, found));
    EXPECT_EQ(found, (TextPosition{2, 0}));
}

TEST_F(Search, ABlockBoundsWhereMatchesMayBegin) {
    Load("ab ab ab\r\nab ab");
    struct Case {
        const char* name;
        TextPosition start;
        TextPosition begin;
        TextPosition end;
        unsigned flags;
        bool wrap;
        bool expectFound;
        TextPosition expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"a start before the block begins at the block", {0, 0}, {1, 0}, {0, 1}, 0, false, true,
         {3, 0}},
        {"a match may run past the block's end", {0, 0}, {1, 0}, {4, 0}, 0, false, true, {3, 0}},
        {"a match beginning at the block's end is outside", {4, 0}, {1, 0}, {6, 0}, 0, false,
         false, {}},
        {"lines below the block's end are not searched", {7, 0}, {0, 0}, {8, 0}, 0, false, false,
         {}},
        {"wrap goes back to the block's begin", {7, 0}, {2, 0}, {0, 1}, 0, true, true, {3, 0}},
        {"an empty block holds nothing", {0, 0}, {3, 0}, {3, 0}, 0, true, false, {}},
        {"upward stops at the block's begin", {0, 1}, {4, 0}, {0, 1}, SearchUp, false, true,
         {6, 0}},
        {"upward ignores matches before the block's begin", {5, 0}, {4, 0}, {0, 1}, SearchUp,
         false, false, {}},
        {"upward wrap goes to the block's end", {5, 0}, {4, 0}, {5, 1}, SearchUp, true, true,
         {3, 1}},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        TextPosition found{-1, -1};
        bool result = view.FindInBlock("ab", each.start, each.begin, each.end,
                                       FindFlags(each.flags), each.wrap, found);
        EXPECT_EQ(result, each.expectFound);
        if (each.expectFound) {
            EXPECT_EQ(found, each.expected);
        }
    }
}

}  // namespace
