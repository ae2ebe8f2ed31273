// Typing and deleting in a view that shows its bytes as UTF-8: every character is written as its
// sequence, and Backspace, Delete and overwrite take whole characters, never a byte of one.

#include "EditCommandHarness.h"
#include "StatusTipRecorder.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class Utf8EditTest : public EditViewTest {
protected:
    CCorvelTextBuffer& LoadUtf8(const std::string& text) {
        CCorvelTextBuffer& loaded = Load(text);
        view.SetEncoding(TextEncoding::Utf8);
        return loaded;
    }
};

struct Character {
    const char* name;
    QString typed;
    const char* bytes;
};

// Characters of one, two, three and four bytes, among them those a Windows-1251 view refuses.
const Character kCharacters[] = {
    {"micro_sign", QStringLiteral("µ"), "\xC2\xB5"},
    {"greek_mu", QStringLiteral("μ"), "\xCE\xBC"},
    {"ohm_as_omega", QStringLiteral("Ω"), "\xCE\xA9"},
    {"cyrillic_zhe", QStringLiteral("Ж"), "\xD0\x96"},
    {"cyrillic_small_ya", QStringLiteral("я"), "\xD1\x8F"},
    {"euro_sign", QStringLiteral("€"), "\xE2\x82\xAC"},
    {"emoji", QStringLiteral("😀"), "\xF0\x9F\x98\x80"},
};

TEST_F(Utf8EditTest, TypedCharactersAreStoredAsTheirUtf8Sequences) {
    for (const Character& c : kCharacters) {
        SCOPED_TRACE(c.name);
        LoadUtf8("ab");
        Place({1, 0});
        kivra_test::StatusTipRecorder prompts(view);
        TypeUnicode(c.typed);
        const int length = static_cast<int>(std::strlen(c.bytes));
        EXPECT_EQ(Lines().front(), std::string("a") + c.bytes + "b");
        EXPECT_EQ(view.CaretPosition(), (TextPosition{1 + length, 0}));
        EXPECT_EQ(buffer->HistorySize(), 1);
        EXPECT_THAT(prompts.prompts, IsEmpty()) << "nothing was left out";
    }
}

TEST_F(Utf8EditTest, BackspaceAndDeleteRemoveExactlyOneCharacter) {
    for (const Character& c : kCharacters) {
        SCOPED_TRACE(c.name);
        const int length = static_cast<int>(std::strlen(c.bytes));
        const std::string line = std::string("a") + c.bytes + c.bytes + "b";
        LoadUtf8(line);
        Place({1 + 2 * length, 0});
        Key(Qt::Key_Backspace);
        EXPECT_THAT(Lines(), ElementsAre(std::string("a") + c.bytes + "b"));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{1 + length, 0}));

        LoadUtf8(line);
        Place({1, 0});
        Key(Qt::Key_Delete);
        EXPECT_THAT(Lines(), ElementsAre(std::string("a") + c.bytes + "b"));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
    }
}

TEST_F(Utf8EditTest, BrokenBytesGoOneAtATimeAndTheCharacterBeforeThemWhole) {
    // A stray continuation byte after "Ж", and a lead byte without its continuation after "я".
    LoadUtf8(
        "aЖ\x80я\xD0"
        "b");
    Place({4, 0});
    Key(Qt::Key_Backspace, Qt::NoModifier, 2);
    EXPECT_THAT(Lines(), ElementsAre("aя\xD0"
                                     "b"));
    Key(Qt::Key_Delete, Qt::NoModifier, 2);
    EXPECT_THAT(Lines(), ElementsAre("ab"));
}

TEST_F(Utf8EditTest, OverwriteReplacesOneWholeCharacter) {
    struct Case {
        const char* name;
        const char* line;
        QString typed;
        const char* after;
    };
    const Case cases[] = {
        {"ascii_over_cyrillic", "aЖb", QStringLiteral("x"), "axb"},
        {"omega_over_cyrillic", "aЖb", QStringLiteral("Ω"), "aΩb"},
        {"cyrillic_over_emoji", "a😀b", QStringLiteral("я"), "aяb"},
        {"emoji_over_ascii", "axb", QStringLiteral("😀"), "a😀b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadUtf8(c.line);
        Place({1, 0});
        Key(Qt::Key_Insert);
        TypeUnicode(c.typed);
        Key(Qt::Key_Insert);
        EXPECT_THAT(Lines(), ElementsAre(c.after));
    }
}

TEST_F(Utf8EditTest, TabStopsAreReachedOverCharactersNotBytes) {
    // Tab stops every 4 columns, one column per character. Overwrite mode's Tab from column 1
    // steps over three characters.
    LoadUtf8("aЖяΩb");
    Place({1, 0});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Insert);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{7, 0}));
    EXPECT_THAT(Lines(), ElementsAre("aЖяΩb"));

    // Shift+Tab from column 5 goes back to column 4, before "µ".
    LoadUtf8("Ж😀яΩµ");
    Place({12, 0});
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{10, 0}));
}

}  // namespace
