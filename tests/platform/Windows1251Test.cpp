#include <gtest/gtest.h>
#include <iconv.h>

#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "Windows1251.h"

namespace {

// The C library's converter as an independent reference: the character of one byte, or nothing
// when it calls the byte invalid.
std::optional<char32_t> ReferenceDecode(unsigned char byte) {
    iconv_t converter = iconv_open("UTF-32LE", "CP1251");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* inPointer = in;
    char* outPointer = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = 4;
    const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || outLeft != 0)
        return std::nullopt;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 |
           char32_t(out[3]) << 24;
}

TEST(Windows1251, EveryByteDecodesAsTheReferenceSaysAndEncodesBack) {
    ASSERT_EQ(ReferenceDecode(0xC0), U'А') << "no CP1251 converter in the C library";
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        SCOPED_TRACE(value);
        const std::optional<char32_t> reference = ReferenceDecode(byte);
        if (!reference) {
            EXPECT_EQ(value, 0x98);
            continue;
        }
        EXPECT_EQ(Windows1251::ToUnicode(byte), *reference);
        char encoded = 0;
        ASSERT_TRUE(Windows1251::FromUnicode(*reference, encoded));
        EXPECT_EQ(static_cast<unsigned char>(encoded), byte);
    }
}

TEST(Windows1251, UnassignedByteDecodesToTheReplacementAndNothingEncodesToIt) {
    EXPECT_EQ(Windows1251::ToUnicode(0x98), Windows1251::kUnassigned);
    int encodable = 0;
    for (char32_t character = 0; character <= 0x10FFFF; ++character) {
        char byte = 0;
        if (!Windows1251::FromUnicode(character, byte))
            continue;
        ++encodable;
        ASSERT_NE(static_cast<unsigned char>(byte), 0x98)
            << std::hex << static_cast<std::uint32_t>(character);
        ASSERT_EQ(Windows1251::ToUnicode(static_cast<unsigned char>(byte)), character);
    }
    EXPECT_EQ(encodable, 255);
}

struct CharacterCase {
    const char* name;
    char32_t character;
    unsigned char byte;
};

void PrintTo(const CharacterCase& c, std::ostream* out) {
    *out << c.name;
}

class Windows1251Character : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(Windows1251Character, HasItsByte) {
    const CharacterCase& c = GetParam();
    char byte = 0;
    ASSERT_TRUE(Windows1251::FromUnicode(c.character, byte));
    EXPECT_EQ(static_cast<unsigned char>(byte), c.byte);
    EXPECT_EQ(Windows1251::ToUnicode(c.byte), c.character);
}

const CharacterCase kCharacterCases[] = {
    {"CapitalA", U'А', 0xC0},         {"CapitalYa", U'Я', 0xDF},
    {"SmallA", U'а', 0xE0},           {"SmallYa", U'я', 0xFF},
    {"CapitalYo", U'Ё', 0xA8},        {"SmallYo", U'ё', 0xB8},
    {"NumeroSign", U'№', 0xB9},       {"Euro", U'€', 0x88},
    {"LeftGuillemet", U'«', 0xAB},    {"RightGuillemet", U'»', 0xBB},
    {"LeftDoubleQuote", U'“', 0x93},  {"RightDoubleQuote", U'”', 0x94},
    {"LowDoubleQuote", U'„', 0x84},   {"LeftSingleQuote", U'‘', 0x91},
    {"RightSingleQuote", U'’', 0x92}, {"EnDash", U'–', 0x96},
    {"EmDash", U'—', 0x97},           {"NoBreakSpace", U'\u00A0', 0xA0},
    {"UkrainianYi", U'ї', 0xBF},      {"TradeMark", U'™', 0x99},
};

INSTANTIATE_TEST_SUITE_P(Cases, Windows1251Character, ::testing::ValuesIn(kCharacterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1251, DecodesARunOfMixedBytes) {
    const std::string bytes =
        "R1 1 0 10k * \xD0\xE5\xE7\xE8\xF1\xF2\xEE\xF0 \xB9"
        "1\x98";
    EXPECT_EQ(Windows1251::Decode(bytes), QStringLiteral("R1 1 0 10k * Резистор №1\uFFFD"));
}

TEST(Windows1251, EncodesTextThatTheCodePageHolds) {
    bool allEncoded = false;
    EXPECT_EQ(Windows1251::Encode(QStringLiteral("Ёлка — «ель»\r\n"), &allEncoded),
              "\xA8\xEB\xEA\xE0 \x97 \xAB\xE5\xEB\xFC\xBB\r\n");
    EXPECT_TRUE(allEncoded);
}

TEST(Windows1251, CharactersWithoutAByteBecomeOneQuestionMarkEach) {
    bool allEncoded = true;
    // A CJK character, a character outside the BMP (a surrogate pair), a lone surrogate and the
    // replacement character.
    const QString text = QStringLiteral("a\u65E5b") + QString::fromUcs4(U"\U0001F600") +
                         QChar(0xD800) + QChar(0xFFFD) + QStringLiteral("c");
    EXPECT_EQ(Windows1251::Encode(text, &allEncoded), "a?b???c");
    EXPECT_FALSE(allEncoded);
}

}  // namespace
