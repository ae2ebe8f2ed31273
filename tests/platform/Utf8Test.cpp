// UTF-8 as documents are read: well-formed sequences are one character each, every other byte a
// character of its own that decodes to U+FFFD and is never merged with its neighbours.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextEncoding.h"
#include "Utf8.h"

namespace {

// The character boundaries of the text, stepping forward.
std::vector<int> ForwardBoundaries(const std::string& text) {
    std::vector<int> boundaries{0};
    const int length = static_cast<int>(text.size());
    for (int index = 0; index < length;) {
        index = Utf8::NextBoundary(text.data(), length, index);
        boundaries.push_back(index);
    }
    return boundaries;
}

std::vector<int> BackwardBoundaries(const std::string& text) {
    const int length = static_cast<int>(text.size());
    std::vector<int> boundaries{length};
    for (int index = length; index > 0;) {
        index = Utf8::PreviousBoundary(text.data(), length, index);
        boundaries.insert(boundaries.begin(), index);
    }
    return boundaries;
}

struct BoundaryCase {
    const char* name;
    std::string bytes;
    std::vector<int> boundaries;
};

class Utf8BoundaryTest : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(Utf8BoundaryTest, StepsForwardAndBackMeetTheSameCharacters) {
    const BoundaryCase& test = GetParam();
    EXPECT_EQ(ForwardBoundaries(test.bytes), test.boundaries);
    EXPECT_EQ(BackwardBoundaries(test.bytes), test.boundaries);
    // From inside a character, the start of that character.
    const int length = static_cast<int>(test.bytes.size());
    for (std::size_t at = 0; at + 1 < test.boundaries.size(); ++at) {
        for (int inside = test.boundaries[at]; inside < test.boundaries[at + 1]; ++inside) {
            EXPECT_EQ(Utf8::BoundaryAtOrBefore(test.bytes.data(), length, inside),
                      test.boundaries[at])
                << inside;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8BoundaryTest,
    ::testing::Values(
        BoundaryCase{"Ascii", "R1 a", {0, 1, 2, 3, 4}},
        BoundaryCase{"MicroSign", "1\xC2\xB5"
                                  "F",
                     {0, 1, 3, 4}},
        BoundaryCase{"Ohm", "\xE2\x84\xA6!", {0, 3, 4}},
        BoundaryCase{"Cyrillic", "\xD0\x9F\xD1\x80", {0, 2, 4}},
        BoundaryCase{"FourBytes", "a\xF0\x9F\x98\x80"
                                  "b",
                     {0, 1, 5, 6}},
        // Each byte that is not part of a well-formed sequence stands alone.
        BoundaryCase{"LoneContinuation", "a\x80"
                                         "b",
                     {0, 1, 2, 3}},
        BoundaryCase{"Windows1251Word", "\xCF\xF0\xE8", {0, 1, 2, 3}},
        BoundaryCase{"CutSequence", "\xE2\x84"
                                    "x",
                     {0, 1, 2, 3}},
        BoundaryCase{"Overlong", "\xC0\xAF", {0, 1, 2}},
        BoundaryCase{"Surrogate", "\xED\xA0\x80", {0, 1, 2, 3}},
        BoundaryCase{"AboveTheLast", "\xF4\x90\x80\x80", {0, 1, 2, 3, 4}},
        BoundaryCase{"CutAtTheEnd", "ab\xF0\x9F\x98", {0, 1, 2, 3, 4, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8Test, ValidityAndTheNonAsciiRuleOfDetection) {
    EXPECT_TRUE(Utf8::IsValid(""));
    EXPECT_TRUE(Utf8::IsValid("plain ascii"));
    constexpr TextEncoding kUtf8 = TextEncoding::Utf8;
    EXPECT_NE(TextCodec::Detect("plain ascii"), kUtf8);
    EXPECT_EQ(TextCodec::Detect("* \xD0\x9A\xD0\xBE\xD0\xBC\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82"), kUtf8);
    EXPECT_NE(TextCodec::Detect("* \xCA\xEE\xEC\xEC\xE5\xED\xF2"), kUtf8);  // the same in cp1251
    EXPECT_NE(TextCodec::Detect("ok \xC2\xB5 then \xB5"), kUtf8);
    // In pieces, as a text's lines come: one piece that is no UTF-8 decides.
    TextCodec::EncodingVote vote;
    EXPECT_TRUE(vote.Take("\xD0\x9A"));
    EXPECT_FALSE(vote.Take("\xB5"));
    EXPECT_FALSE(vote.Take("\xD0\x9A"));
    EXPECT_NE(vote.Result(), kUtf8);
}

TEST(Utf8Test, DecodeGivesOneReplacementPerStrayByteAndEncodeRoundTrips) {
    EXPECT_EQ(Utf8::Decode("a\xC2\xB5\xE2\x84\xA6\xF0\x9F\x98\x80"),
              QString::fromUtf8("a\xC2\xB5\xE2\x84\xA6\xF0\x9F\x98\x80"));
    EXPECT_EQ(Utf8::Decode("a\xE2\x84z\x80"), QStringLiteral("a\uFFFD\uFFFDz\uFFFD"));
    const QString text = QString::fromUtf8("10\xCE\xBC" "F \xD0\x9F \xF0\x9F\x98\x80 caf\xC3\xA9");
    EXPECT_EQ(Utf8::Encode(text), text.toUtf8().toStdString());
    EXPECT_EQ(Utf8::Decode(Utf8::Encode(text)), text);
    // A lone surrogate has no form of its own.
    EXPECT_EQ(Utf8::Encode(QString(QChar(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
