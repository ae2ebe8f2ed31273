#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QString>

#include <ostream>
#include <string>

#include "LogFont.h"

namespace {

LogFont ViewDefault() {
    LogFont font;
    font.height = -15;
    font.weight = LogFont::kNormalWeight;
    font.charSet = LogFont::kRussianCharSet;
    font.faceName = "Courier New";
    return font;
}

struct FontCase {
    const char* name;
    int height;
    int weight;
    bool italic;
    int pixelSize;
    QFont::Weight qtWeight;
};

void PrintTo(const FontCase& c, std::ostream* out) {
    *out << c.name;
}

class LogFontToQFont : public ::testing::TestWithParam<FontCase> {};

TEST_P(LogFontToQFont, GivesSizeWeightAndStyle) {
    const FontCase& c = GetParam();
    LogFont logFont = ViewDefault();
    logFont.height = c.height;
    logFont.weight = c.weight;
    logFont.italic = c.italic;
    const QFont font = logFont.ToQFont();
    EXPECT_EQ(font.pixelSize(), c.pixelSize);
    EXPECT_EQ(font.weight(), c.qtWeight);
    EXPECT_EQ(font.italic(), c.italic);
    EXPECT_EQ(font.family(), QStringLiteral("Courier New"));
}

const FontCase kFontCases[] = {
    {"CharacterHeight13", -13, 400, false, 13, QFont::Normal},
    {"CharacterHeight15Bold", -15, 700, false, 15, QFont::Bold},
    {"CellHeightTakenAsPixels", 16, 400, true, 16, QFont::Normal},
    {"DontCareWeightIsNormal", -14, 0, false, 14, QFont::Normal},
    {"LightWeightKept", -14, 300, true, 14, QFont::Light},
};

INSTANTIATE_TEST_SUITE_P(Cases, LogFontToQFont, ::testing::ValuesIn(kFontCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogFont, CourierNewResolvesToAFixedPitchFace) {
    const QFontInfo matched(ViewDefault().ToQFont());
    EXPECT_TRUE(matched.family() == QStringLiteral("Liberation Mono") ||
                matched.family() == QStringLiteral("DejaVu Sans Mono"))
        << matched.family().toStdString();
    EXPECT_TRUE(matched.fixedPitch());
    EXPECT_EQ(matched.pixelSize(), 15);
}

TEST(LogFont, FixedPitchWithoutFaceGetsAMonospacedFace) {
    LogFont logFont;
    logFont.height = -12;
    logFont.pitchAndFamily = LogFont::kFixedPitch | LogFont::kFamilyModern;
    EXPECT_TRUE(QFontInfo(logFont.ToQFont()).fixedPitch());
}

TEST(LogFont, RoundTripKeepsWhatAQFontCarries) {
    LogFont original = ViewDefault();
    original.weight = LogFont::kBoldWeight;
    original.italic = 1;
    original.underline = 1;
    const LogFont back = LogFont::FromQFont(original.ToQFont());
    EXPECT_EQ(back.height, original.height);
    EXPECT_EQ(back.weight, original.weight);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 1);
    EXPECT_EQ(back.strikeOut, 0);
    EXPECT_EQ(back.charSet, LogFont::kRussianCharSet);
    EXPECT_EQ(back.faceName, original.faceName);
    EXPECT_EQ(back.pitchAndFamily & LogFont::kPitchMask, LogFont::kFixedPitch);
    EXPECT_EQ(back.pitchAndFamily & LogFont::kFamilyMask, LogFont::kFamilyModern);
}

TEST(LogFont, FontChosenInPointsComesBackInPixels) {
    QFont chosen(QStringLiteral("Liberation Mono"));
    chosen.setPointSize(12);
    const LogFont logFont = LogFont::FromQFont(chosen);
    EXPECT_EQ(logFont.height, -QFontInfo(chosen).pixelSize());
    EXPECT_LT(logFont.height, 0);
}

}  // namespace
