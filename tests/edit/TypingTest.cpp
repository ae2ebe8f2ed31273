// Typing into the edit view: printable characters, Enter with automatic indentation, overwrite
// mode, the undo steps typing leaves, and text that arrives as Unicode.

#include <QInputMethodEvent>

#include "EditCommandHarness.h"
#include "StatusTipRecorder.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

struct EnterCase {
    const char* name;
    const char* text;
    TextPosition caret;
    std::vector<std::string> lines;
    TextPosition caretAfter;
};

void PrintTo(const EnterCase& c, std::ostream* out) {
    *out << c.name;
}

class AutoIndentTest : public EditViewTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(AutoIndentTest, EnterCopiesTheWhiteSpaceLeftOfTheCaret) {
    const EnterCase& c = GetParam();
    Load(c.text);
    Place(c.caret);
    Key(Qt::Key_Return);
    EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
    EXPECT_EQ(view.CaretPosition(), c.caretAfter);
    EXPECT_FALSE(view.HasSelection());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Enter, AutoIndentTest,
    ::testing::Values(
        EnterCase{"between_b_and_c", "    abc", {6, 0}, {"    ab", "    c"}, {4, 1}},
        // Only what stands left of the caret is copied; the rest moves down unchanged.
        EnterCase{"inside_the_indentation", "    abc", {2, 0}, {"  ", "    abc"}, {2, 1}},
        EnterCase{"at_column_0", "    abc", {0, 0}, {"", "    abc"}, {0, 1}},
        EnterCase{"tabs_stay_tabs", "\t \tx", {4, 0}, {"\t \tx", "\t \t"}, {3, 1}},
        EnterCase{"vertical_tab_and_form_feed", "\v\fx", {3, 0}, {"\v\fx", "\v\f"}, {2, 1}},
        EnterCase{"no_indentation", "abc", {1, 0}, {"a", "bc"}, {0, 1}},
        // A no-break space of the upper half of the code page is not white space here.
        EnterCase{"upper_half_space_not_copied", "\xA0x", {2, 0}, {"\xA0x", ""}, {0, 1}},
        // The line above is the one the caret was on, not the first line of the text.
        EnterCase{"second_line", "a\r\n  b", {3, 1}, {"a", "  b", "  "}, {2, 2}},
        EnterCase{"whitespace_only_line", "   ", {3, 0}, {"   ", "   "}, {3, 1}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, EnterWithASelectionReplacesItByTheIndentedBreak) {
    Load("  abcdef");
    Place({3, 0}, {6, 0});
    Key(Qt::Key_Return);
    EXPECT_THAT(Lines(), ElementsAre("  a", "  ef"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 1}));
}

TEST_F(EditViewTest, EnterIsUndoneIndentationFirstThenTheBreak) {
    Load("    abc");
    Place({6, 0});
    Key(Qt::Key_Return);
    ASSERT_THAT(Lines(), ElementsAre("    ab", "    c"));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("    ab", "c"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 1}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("    abc"));
    EXPECT_FALSE(buffer->CanStepBack());

    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("    ab", "    c"));
}

TEST_F(EditViewTest, EnterRecordsTheBreakAsTypingAndTheIndentationAsAutoIndent) {
    Load("  x");
    Place({3, 0});
    Key(Qt::Key_Return);
    ASSERT_EQ(buffer->HistorySize(), 2);
    EXPECT_EQ(buffer->HistoryRecord(0).action, EditAction::Typing);
    EXPECT_STREQ(buffer->HistoryRecord(0).Text(), "\r\n");
    EXPECT_EQ(buffer->HistoryRecord(1).action, EditAction::AutoIndent);
    EXPECT_STREQ(buffer->HistoryRecord(1).Text(), "  ");
    EXPECT_TRUE(buffer->HistoryRecord(1).StartsGroup());
}

TEST_F(EditViewTest, EnterInOverwriteModeMovesToTheNextLineWithoutChange) {
    Load("  ab\r\n  cd");
    Place({3, 0});
    Key(Qt::Key_Insert);
    ASSERT_TRUE(view.OverwriteMode());
    Key(Qt::Key_Return);
    EXPECT_THAT(Lines(), ElementsAre("  ab", "  cd"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 1}));
    EXPECT_EQ(buffer->HistorySize(), 0);
    EXPECT_FALSE(buffer->IsModified());
}

TEST_F(EditViewTest, EnterInOverwriteModeOnTheLastLineBreaksItWithoutIndentation) {
    Load("x\r\n    ab");
    Place({2, 1});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Return);
    EXPECT_THAT(Lines(), ElementsAre("x", "  ", "  ab"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 2}));
    EXPECT_EQ(buffer->HistorySize(), 1);
}

TEST_F(EditViewTest, KeypadEnterBreaksTheLineLikeReturn) {
    Load("ab");
    Place({1, 0});
    QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_THAT(Lines(), ElementsAre("a", "b"));
}

TEST_F(EditViewTest, CtrlEnterTypesNothing) {
    Load("  ab");
    Place({3, 0});
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("  ab"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

TEST_F(EditViewTest, AltEnterTypesNothing) {
    Load("  ab");
    Place({3, 0});
    Key(Qt::Key_Return, Qt::AltModifier);
    EXPECT_THAT(Lines(), ElementsAre("  ab"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

// A group closed with nothing new hands the hook the last record; with a typed line break there
// and the caret on the first line, there is no line above to copy from.
TEST_F(EditViewTest, EmptyGroupAfterATypedBreakWithTheCaretOnLine0ChangesNothing) {
    Load("ab\r\n  cd");
    Place({2, 0});
    Key(Qt::Key_Return);  // no indentation to copy: the last record is the typed CR LF
    ASSERT_STREQ(buffer->HistoryRecord(buffer->HistorySize() - 1).Text(), "\r\n");
    ASSERT_EQ(buffer->HistoryRecord(buffer->HistorySize() - 1).action, EditAction::Typing);
    Place({1, 0});
    const std::vector<std::string> before = Lines();
    const int records = buffer->HistorySize();

    buffer->OpenUndoGroup(true);
    buffer->CloseUndoGroup(&view);

    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(buffer->HistorySize(), records);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
}

TEST_F(EditViewTest, TypedWordsAreUndoneOneStepPerSpace) {
    Load("");
    Type("ab cd");
    ASSERT_THAT(Lines(), ElementsAre("ab cd"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{5, 0}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("ab"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre(""));
    EXPECT_FALSE(buffer->CanStepBack());
}

TEST_F(EditViewTest, TypingReplacesTheSelectionInOneUndoStep) {
    Load("abcd\r\nefgh");
    Place({3, 1}, {1, 0});
    Type("X");
    EXPECT_THAT(Lines(), ElementsAre("aXh"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{2, 0}));
    ASSERT_EQ(buffer->HistorySize(), 2);
    EXPECT_EQ(buffer->HistoryRecord(0).action, EditAction::DeleteSelection);
    EXPECT_EQ(buffer->HistoryRecord(1).action, EditAction::Typing);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("abcd", "efgh"));
}

struct OverwriteCase {
    const char* name;
    const char* text;
    TextPosition caret;
    const char* typed;
    std::vector<std::string> lines;
};

void PrintTo(const OverwriteCase& c, std::ostream* out) {
    *out << c.name;
}

class OverwriteTypingTest : public EditViewTest,
                            public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTypingTest, ReplacesOneCharacterPerKeyAndAppendsAtTheLineEnd) {
    const OverwriteCase& c = GetParam();
    Load(c.text);
    Place(c.caret);
    Key(Qt::Key_Insert);
    Type(c.typed);
    EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
    EXPECT_EQ(view.CaretPosition(),
              (TextPosition{c.caret.x + static_cast<int>(std::strlen(c.typed)), c.caret.y}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Overwrite, OverwriteTypingTest,
    ::testing::Values(OverwriteCase{"middle", "abcde", {1, 0}, "XY", {"aXYde"}},
                      OverwriteCase{"at_the_end", "abc", {3, 0}, "XY", {"abcXY"}},
                      OverwriteCase{"runs_past_the_end", "abc", {2, 0}, "XYZ", {"abXYZ"}},
                      // The line break is never overwritten: the lines stay apart.
                      OverwriteCase{"never_joins_lines", "ab\r\ncd", {1, 0}, "XYZ",
                                    {"aXYZ", "cd"}},
                      OverwriteCase{"over_a_tab", "a\tb", {1, 0}, "X", {"aXb"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, OverwrittenCharacterComesBackWithUndo) {
    Load("abc");
    Place({1, 0});
    Key(Qt::Key_Insert);
    Type("X");
    ASSERT_THAT(Lines(), ElementsAre("aXc"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("abc"));
}

TEST_F(EditViewTest, OverwriteTypingReplacesASelectionWithoutEatingTheNextCharacter) {
    Load("abcdef");
    Place({1, 0}, {3, 0});
    Key(Qt::Key_Insert);
    Type("X");
    EXPECT_THAT(Lines(), ElementsAre("aXdef"));
}

struct UnicodeCase {
    const char* name;
    QString typed;
    const char* bytes;  // what reaches the line
};

void PrintTo(const UnicodeCase& c, std::ostream* out) {
    *out << c.name;
}

class UnicodeTypingTest : public EditViewTest, public ::testing::WithParamInterface<UnicodeCase> {};

TEST_P(UnicodeTypingTest, KeyTextIsTypedAsItsCodePageByte) {
    const UnicodeCase& c = GetParam();
    Load("ab");
    Place({1, 0});
    TypeUnicode(c.typed);
    EXPECT_EQ(Lines().front(), std::string("a") + c.bytes + "b");
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1 + static_cast<int>(std::strlen(c.bytes)), 0}));
    EXPECT_EQ(buffer->HistorySize(), std::strlen(c.bytes) == 0 ? 0 : 1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Keys, UnicodeTypingTest,
    ::testing::Values(UnicodeCase{"cyrillic_zhe", QStringLiteral("Ж"), "\xC6"},
                      UnicodeCase{"cyrillic_small_ya", QStringLiteral("я"), "\xFF"},
                      UnicodeCase{"euro_sign", QStringLiteral("€"), "\x88"},
                      UnicodeCase{"numero_sign", QStringLiteral("№"), "\xB9"},
                      UnicodeCase{"delete_character", QString(QChar(0x7F)), "\x7F"},
                      UnicodeCase{"check_mark_has_no_byte", QStringLiteral("✓"), ""},
                      UnicodeCase{"latin_e_acute_has_no_byte", QStringLiteral("é"), ""},
                      UnicodeCase{"replacement_character_has_no_byte", QStringLiteral("\uFFFD"),
                                  ""},
                      UnicodeCase{"astral_character_has_no_byte", QStringLiteral("😀"), ""},
                      UnicodeCase{"escape_is_no_character", QStringLiteral("\x1b"), ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, InputMethodCommitTypesEveryCharacterThatHasAByte) {
    Load("");
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("Жx✓я"));
    QApplication::sendEvent(&view, &event);
    EXPECT_THAT(Lines(), ElementsAre("\xC6x\xFF"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
}

TEST_F(EditViewTest, TypingWithoutABufferDoesNothing) {
    view.UnbindBuffer();
    Type("ab");
    Key(Qt::Key_Return);
    TypeUnicode(QStringLiteral("Ж"));
    EXPECT_EQ(view.Buffer(), nullptr);
}

TEST_F(EditViewTest, NothingIsTypedWhileAMouseButtonIsHeld) {
    Load("abc");
    const QPoint inText = view.TextToPoint({3, 0}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, inText);
    Type("x");
    Key(Qt::Key_Return);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, inText);
    EXPECT_THAT(Lines(), ElementsAre("abc"));
    Type("y");
    EXPECT_THAT(Lines(), ElementsAre("abcy"));
}

struct MissingByteCase {
    const char* name;
    QString typed;
    QString prompt;
};

void PrintTo(const MissingByteCase& c, std::ostream* out) {
    *out << c.name;
}

class MissingByteTypingTest : public EditViewTest,
                              public ::testing::WithParamInterface<MissingByteCase> {};

// "10μF" must not quietly become "10F", which a simulator reads as 10 femtofarads.
TEST_P(MissingByteTypingTest, KeyWithoutAByteIsNamedInTheStatusBarAndChangesNothing) {
    const MissingByteCase& c = GetParam();
    Load("10F");
    Place({2, 0});
    kivra_test::StatusTipRecorder recorder(view);
    TypeUnicode(c.typed);
    EXPECT_THAT(Lines(), ElementsAre("10F"));
    EXPECT_EQ(buffer->HistorySize(), 0);
    EXPECT_FALSE(buffer->IsModified());
    EXPECT_THAT(recorder.prompts, ElementsAre(c.prompt));
    EXPECT_TRUE(host.messages.empty()) << "typing does not stop for a message box";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Keys, MissingByteTypingTest,
    ::testing::Values(
        MissingByteCase{"greek_mu", QStringLiteral("μ"),
                        QStringLiteral("Символа «μ» нет в кодировке Windows-1251")},
        MissingByteCase{"latin_e_acute", QStringLiteral("é"),
                        QStringLiteral("Символа «é» нет в кодировке Windows-1251")},
        MissingByteCase{"emoji_as_one_character", QStringLiteral("😀"),
                        QStringLiteral("Символа «😀» нет в кодировке Windows-1251")}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, InputMethodCommitNamesEachCharacterLeftOutOnce) {
    Load("");
    kivra_test::StatusTipRecorder recorder(view);
    QInputMethodEvent event;
    // The micro sign, unlike the Greek mu, is in the code page.
    event.setCommitString(QStringLiteral("10μF😀μ µ"));
    QApplication::sendEvent(&view, &event);
    EXPECT_THAT(Lines(), ElementsAre("10F \xB5"));
    EXPECT_THAT(recorder.prompts,
                ElementsAre(QStringLiteral("Символов «μ 😀» нет в кодировке Windows-1251")));
}

}  // namespace
