// Search in a view that shows its bytes as UTF-8: case folding of Cyrillic and other scripts,
// whole words judged by characters, the Find dialog without the code page's refusal, and a last
// search that follows the view into the other encoding.

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

#include "FindTextDlg.h"
#include "ScriptedModalHost.h"
#include "SettingsStore.h"
#include "TextViewHarness.h"

namespace {

class Utf8Search : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        CSettingsStore().remove(QStringLiteral("CorvelEdit/Find"));
    }

    void LoadIn(TextEncoding encoding, const std::string& text) {
        Load(text);
        view.SetEncoding(encoding);
    }

    // Where the first match from the text's start is, or (-1, -1).
    TextPosition Find(const std::string& pattern, FindFlags flags = FindFlags{}) {
        TextPosition found{-1, -1};
        if (!view.FindInText(pattern.c_str(), {0, 0}, flags, false, found))
            return {-1, -1};
        return found;
    }

    // Ctrl+F, the text typed and Find next pressed; the dialog closes either way.
    void FindInDialog(const QString& text, bool matchCase = false) {
        host.Then([text, matchCase](QDialog& dialog) {
            auto* find = qobject_cast<CFindTextDlg*>(&dialog);
            EXPECT_NE(find, nullptr);
            if (find == nullptr)
                return int(QDialog::Rejected);
            find->FindWhatEdit()->setText(text);
            find->MatchCaseCheck()->setChecked(matchCase);
            find->FindNextButton()->click();
            if (find->result() != int(QDialog::Accepted))
                find->CloseButton()->click();
            return find->result();
        });
        Key(Qt::Key_F, Qt::ControlModifier);
    }

    kivra_test::ScriptedModalHost host;
};

TEST_F(Utf8Search, CyrillicFoldsInBothEncodings) {
    // "привет" and "ПРИВЕТ" in each encoding's bytes.
    struct Case {
        const char* name;
        TextEncoding encoding;
        std::string lower;
        std::string upper;
    };
    const Case cases[] = {
        {"utf8", TextEncoding::Utf8, "привет", "ПРИВЕТ"},
        {"windows_1251", TextEncoding::Windows1251, "\xEF\xF0\xE8\xE2\xE5\xF2",
         "\xCF\xD0\xC8\xC2\xC5\xD2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadIn(c.encoding, "* " + c.upper + "\r\n" + c.lower);
        EXPECT_EQ(Find(c.lower), (TextPosition{2, 0}));
        EXPECT_EQ(Find(c.upper), (TextPosition{2, 0}));
        EXPECT_EQ(Find(c.lower, CaseSensitive), (TextPosition{0, 1}));
    }
}

TEST_F(Utf8Search, CaseFoldingInUtf8TakesWholeCharacters) {
    struct Case {
        const char* name;
        const char* line;
        const char* pattern;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {"yo and capital yo", "ёж ЁЖ", "ЁЖ", 0},
        {"greek omega", "8Ω ω", "ω", 1},
        {"ukrainian yi", "x Ї", "ї", 2},
        {"latin with accents", "CAFÉ", "café", 0},
        {"ascii among cyrillic", "RЖr", "rж", 0},
        // Folding keeps every byte where it was: the match offset is that of the line.
        {"offset after four byte characters", "😀😀ПРИВЕТ", "привет", 8},
        // The micro sign's capital is the Greek capital mu, as Unicode folds them.
        {"micro sign and greek mu fold alike", "10μF", "µf", 2},
        // A capital with a sequence of another length is not used: dotless i stays as it is.
        {"dotless i is not i", "ı", "I", -1},
        // Bytes that are no character stay as they are and match only themselves.
        {"a broken sequence", "\xD0 \xD0\xBF", "\xD0\x9F", 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadIn(TextEncoding::Utf8, c.line);
        TextPosition found = Find(c.pattern);
        EXPECT_EQ(found.x, c.expected);
    }
}

TEST_F(Utf8Search, UpwardSearchFoldsToo) {
    LoadIn(TextEncoding::Utf8, "Ом ом ОМ");
    TextPosition found{-1, -1};
    ASSERT_TRUE(view.FindInText("ом", {14, 0}, SearchUp, false, found));
    EXPECT_EQ(found, (TextPosition{10, 0}));
    ASSERT_TRUE(view.FindInText("ом", {10, 0}, SearchUp, false, found));
    EXPECT_EQ(found, (TextPosition{5, 0}));
}

TEST(FindInLineTextUtf8, WholeWordsAreJudgedByCharacters) {
    struct Case {
        const char* name;
        const char* text;
        const char* pattern;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {"a cyrillic letter before is a word character", "жab ab", "ab", 5},
        {"a cyrillic letter after is a word character", "abж ab", "ab", 5},
        {"a cyrillic word inside a longer one", "приветы привет", "привет", 15},
        {"a sign before is punctuation", "°ab", "ab", 2},
        {"a dash after is punctuation", "ab—", "ab", 0},
        {"a broken byte is no word character", "\xD0" "ab", "ab", 1},
        {"a digit of another script is a word character", "٣ab ab", "ab", 5},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int length = static_cast<int>(std::strlen(c.text));
        const int patternLength = static_cast<int>(std::strlen(c.pattern));
        EXPECT_EQ(CCorvelTextView::FindInLineText(c.text, length, 0, c.pattern, patternLength, true,
                                                  TextEncoding::Utf8),
                  c.expected);
    }
}

TEST(FindInLineTextUtf8, AnEmptyPatternIsFoundOnlyBetweenCharacters) {
    // Between "a" and "Ж" the letter before makes it no whole word; inside "Ж" is no place.
    EXPECT_EQ(CCorvelTextView::FindInLineText("aЖ", 3, 0, "", 0, true, TextEncoding::Utf8), -1);
    EXPECT_EQ(CCorvelTextView::FindInLineText("a—", 4, 0, "", 0, true, TextEncoding::Utf8), 4);
}

TEST_F(Utf8Search, TheFindDialogSearchesForCharactersTheCodePageLacks) {
    LoadIn(TextEncoding::Utf8, "C1 1 0 10μF\r\nR1 1 0 8Ω 😀");
    FindInDialog(QStringLiteral("8ω"));
    EXPECT_TRUE(host.messages.empty()) << "no refusal in UTF-8";
    EXPECT_EQ(view.SelectionStart(), (TextPosition{7, 1}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{10, 1}));
}

TEST_F(Utf8Search, FindNextFollowsTheViewIntoTheOtherEncoding) {
    // "Жук" in Windows-1251 bytes, then in UTF-8 bytes.
    LoadIn(TextEncoding::Windows1251, "\xC6\xF3\xEA Жук");
    FindInDialog(QStringLiteral("Жук"));
    ASSERT_EQ(view.SelectionEnd(), (TextPosition{3, 0}));

    // The same bytes read as UTF-8: Find next looks for the characters, not the old bytes.
    view.SetEncoding(TextEncoding::Utf8);
    Key(Qt::Key_F3);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{4, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{10, 0}));
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
