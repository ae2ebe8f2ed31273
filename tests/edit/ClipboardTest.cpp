// Cut, Copy and Paste through Qt's clipboard: enabling, undo steps, text from other programs, and
// the byte-exact round trip between Kivra's own views.

#include <QMimeData>

#include "EditCommandHarness.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

struct ClipboardContent {
    const char* name;
    QMimeData* (*make)();
    bool pasteEnabled;
};

void PrintTo(const ClipboardContent& c, std::ostream* out) {
    *out << c.name;
}

class PasteEnablingTest : public EditViewTest,
                          public ::testing::WithParamInterface<ClipboardContent> {};

TEST_P(PasteEnablingTest, PasteIsEnabledExactlyWhenTheClipboardOffersText) {
    Load("abc");
    if (QMimeData* data = GetParam().make())
        QApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(Enabled(ID_EDIT_PASTE), GetParam().pasteEnabled);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Clipboard, PasteEnablingTest,
    ::testing::Values(
        ClipboardContent{"empty", []() -> QMimeData* { return nullptr; }, false},
        ClipboardContent{"plain_text",
                         []() {
                             auto* data = new QMimeData;
                             data->setText(QStringLiteral("x"));
                             return data;
                         },
                         true},
        ClipboardContent{"html_only",
                         []() {
                             auto* data = new QMimeData;
                             data->setHtml(QStringLiteral("<b>x</b>"));
                             return data;
                         },
                         false},
        ClipboardContent{"kivra_bytes_only",
                         []() {
                             auto* data = new QMimeData;
                             data->setData(QStringLiteral("application/x-kivra-windows-1251"),
                                           QByteArray("x"));
                             return data;
                         },
                         true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, CutIsEnabledExactlyWhenTheSelectionIsNotEmpty) {
    Load("abc");
    Place({1, 0});
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    Place({1, 0}, {2, 0});
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
}

TEST_F(EditViewTest, CutThenPasteMovesTheText) {
    Load("hello world");
    Place({6, 0}, {0, 0});
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("world"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{0, 0}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("hello "));
    ASSERT_EQ(buffer->HistorySize(), 1);
    EXPECT_EQ(buffer->HistoryRecord(0).action, EditAction::Cut);

    Place({5, 0});
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("worldhello "));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{11, 0}));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("world"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("hello world"));
}

TEST_F(EditViewTest, ShiftDeleteCutsAndShiftInsertPastes) {
    Load("ab\r\ncd");
    Place({1, 0}, {1, 1});
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_THAT(Lines(), ElementsAre("ad"));
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_THAT(Lines(), ElementsAre("ab", "cd"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 1}));
    EXPECT_FALSE(view.OverwriteMode());
}

TEST_F(EditViewTest, CopyGivesOtherProgramsUtf8WithLineFeeds) {
    Load("a\xC6\r\n\x88 b\r\nc");
    Place({0, 0}, {1, 2});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("aЖ\n€ b\nc"));
    // Copying changes nothing, not even over a read-only text.
    QApplication::clipboard()->clear();
    buffer->MakeReadOnly(true);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("aЖ\n€ b\nc"));
    EXPECT_EQ(buffer->HistorySize(), 0);
}

TEST_F(EditViewTest, PasteReplacesTheSelectionInOneUndoStep) {
    Load("abcdef");
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    Place({4, 0}, {1, 0});
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("aXYef"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
    ASSERT_EQ(buffer->HistorySize(), 2);
    EXPECT_EQ(buffer->HistoryRecord(0).action, EditAction::DeleteSelection);
    EXPECT_EQ(buffer->HistoryRecord(1).action, EditAction::Paste);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("abcdef"));
    EXPECT_FALSE(buffer->CanStepBack());
}

TEST_F(EditViewTest, PasteWithNoTextOnTheClipboardStillDeletesTheSelection) {
    Load("abcdef");
    Place({1, 0}, {4, 0});
    // The menu and the keys refuse a disabled Paste; the command itself still runs its steps.
    view.OnEditPaste();
    EXPECT_THAT(Lines(), ElementsAre("aef"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
}

struct ForeignPasteCase {
    const char* name;
    QString clipboard;
    std::vector<std::string> lines;
    TextPosition caretAfter;
};

void PrintTo(const ForeignPasteCase& c, std::ostream* out) {
    *out << c.name;
}

class ForeignPasteTest : public EditViewTest,
                         public ::testing::WithParamInterface<ForeignPasteCase> {};

// Text another program put on the clipboard as plain text, pasted between "<" and ">".
TEST_P(ForeignPasteTest, PlainTextFromAnotherProgramArrivesAsLines) {
    const ForeignPasteCase& c = GetParam();
    Load("<>");
    Place({1, 0});
    QApplication::clipboard()->setText(c.clipboard);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
    EXPECT_EQ(view.CaretPosition(), c.caretAfter);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Clipboard, ForeignPasteTest,
    ::testing::Values(
        ForeignPasteCase{"line_feeds", QStringLiteral("one\ntwo\nthree"),
                         {"<one", "two", "three>"}, {5, 2}},
        ForeignPasteCase{"cr_lf", QStringLiteral("one\r\ntwo"), {"<one", "two>"}, {3, 1}},
        ForeignPasteCase{"mixed_breaks", QStringLiteral("a\r\nb\nc"), {"<a", "b", "c>"}, {1, 2}},
        ForeignPasteCase{"trailing_line_feed", QStringLiteral("x\n"), {"<x", ">"}, {0, 1}},
        ForeignPasteCase{"empty_lines", QStringLiteral("\n\n"), {"<", "", ">"}, {0, 2}},
        ForeignPasteCase{"cyrillic", QStringLiteral("Жук №1"), {"<\xC6\xF3\xEA \xB9" "1>"},
                         {7, 0}},
        ForeignPasteCase{"characters_without_a_byte_left_out", QStringLiteral("a✓b😀c"),
                         {"<abc>"}, {4, 0}},
        ForeignPasteCase{"tab_kept", QStringLiteral("\tx"), {"<\tx>"}, {3, 0}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct LostCharactersCase {
    const char* name;
    QString clipboard;
    std::vector<std::string> lines;
    QString message;
};

void PrintTo(const LostCharactersCase& c, std::ostream* out) {
    *out << c.name;
}

class LostCharactersPasteTest : public EditViewTest,
                                public ::testing::WithParamInterface<LostCharactersCase> {};

// What can be encoded is pasted; one message names, once each, the characters left out.
TEST_P(LostCharactersPasteTest, PasteNamesTheCharactersLeftOutInOneMessage) {
    const LostCharactersCase& c = GetParam();
    Load("<>");
    Place({1, 0});
    QApplication::clipboard()->setText(c.clipboard);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAreArray(c.lines));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, c.message);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Clipboard, LostCharactersPasteTest,
    ::testing::Values(
        LostCharactersCase{"greek_mu_in_a_value", QStringLiteral("C1 1 0 10μF"),
                           {"<C1 1 0 10F>"},
                           QStringLiteral("Символы, которых нет в кодировке Windows-1251, "
                                          "не вставлены: μ")},
        LostCharactersCase{"e_acute_and_an_emoji_twice", QStringLiteral("café 😀\nx😀"),
                           {"<caf ", "x>"},
                           QStringLiteral("Символы, которых нет в кодировке Windows-1251, "
                                          "не вставлены: é 😀")}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(EditViewTest, PasteOfOnlyCharactersWithoutAByteChangesNothingAndSaysSo) {
    Load("<ab>");
    Place({1, 0}, {3, 0});
    QApplication::clipboard()->setText(QStringLiteral("μ😀"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("<ab>"));
    EXPECT_EQ(buffer->HistorySize(), 0) << "no empty Paste step";
    EXPECT_FALSE(buffer->IsModified());
    EXPECT_EQ(OrderedStart(), (TextPosition{1, 0}));
    EXPECT_EQ(OrderedEnd(), (TextPosition{3, 0}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              QStringLiteral("Символы, которых нет в кодировке Windows-1251, не вставлены: μ 😀"));
}

// Every byte but the line breaks, 0x98 (which no Unicode character encodes to) among them.
std::string EveryByte() {
    std::string bytes;
    for (int byte = 1; byte <= 0xFF; ++byte) {
        if (byte != '\r' && byte != '\n')
            bytes += static_cast<char>(byte);
    }
    return bytes;
}

TEST_F(EditViewTest, CopyAndPasteInsideKivraKeepEveryByte) {
    const std::string bytes = EveryByte();
    Load(bytes + "\r\n" + bytes);
    Place({0, 0}, {static_cast<int>(bytes.size()), 1});
    Key(Qt::Key_C, Qt::ControlModifier);

    Load("");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre(bytes, bytes));
}

TEST_F(EditViewTest, CutAndPasteInsideKivraKeepALoneLineFeedInsideALine) {
    Load("a\nb\r\nc");  // a lone LF is a character of the first line
    ASSERT_EQ(buffer->LineTotal(), 2);
    Place({0, 0}, {1, 1});
    Key(Qt::Key_X, Qt::ControlModifier);
    ASSERT_THAT(Lines(), ElementsAre(""));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Lines(), ElementsAre("a\nb", "c"));
}

}  // namespace
