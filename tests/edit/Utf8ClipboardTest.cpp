// The clipboard and drag data of a UTF-8 view: other programs get the characters, views of the
// same encoding every byte, and a view of the other encoding the same characters in its bytes.

#include <QMimeData>

#include "EditCommandHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class Utf8ClipboardTest : public EditViewTest {
protected:
    void LoadIn(TextEncoding encoding, const std::string& text) {
        Load(text);
        view.SetEncoding(encoding);
    }
    // The whole text selected and copied.
    void CopyAll() {
        view.SelectWholeText();
        Key(Qt::Key_C, Qt::ControlModifier);
    }
    void Paste() { Key(Qt::Key_V, Qt::ControlModifier); }
};

TEST_F(Utf8ClipboardTest, CopyGivesOtherProgramsTheCharactersOnce) {
    LoadIn(TextEncoding::Utf8, "C1 1 0 10µF Ω\r\n* Жук 😀");
    CopyAll();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("C1 1 0 10µF Ω\n* Жук 😀"));
}

TEST_F(Utf8ClipboardTest, PlainTextFromAnotherProgramIsPastedAsUtf8Lines) {
    LoadIn(TextEncoding::Utf8, "<>");
    Place({1, 0});
    QApplication::clipboard()->setText(QStringLiteral("C1 1 0 10μF\nЖ😀é"));
    Paste();
    EXPECT_THAT(Lines(), ElementsAre("<C1 1 0 10μF", "Ж😀é>"));
    EXPECT_EQ(view.CaretPosition(), (TextPosition{8, 1}));
    EXPECT_THAT(host.messages, IsEmpty()) << "nothing was left out";
}

struct CrossCase {
    const char* name;
    TextEncoding from;
    std::string copied;
    TextEncoding to;
    std::vector<std::string> pasted;
};

void PrintTo(const CrossCase& c, std::ostream* out) {
    *out << c.name;
}

class CrossEncodingPasteTest : public Utf8ClipboardTest,
                               public ::testing::WithParamInterface<CrossCase> {};

// Copied in a view of one encoding and pasted into a view of the other: the same characters,
// and a lone LF inside a line stays a character of the line.
TEST_P(CrossEncodingPasteTest, KeepsTheCharacters) {
    const CrossCase& c = GetParam();
    LoadIn(c.from, c.copied);
    CopyAll();
    LoadIn(c.to, "");
    Paste();
    EXPECT_EQ(Lines(), c.pasted);
    EXPECT_THAT(host.messages, IsEmpty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Clipboard, CrossEncodingPasteTest,
    ::testing::Values(
        CrossCase{"utf8_to_1251", TextEncoding::Utf8, "Жук №1 µ\r\na\nб",
                  TextEncoding::Windows1251, {"\xC6\xF3\xEA \xB9" "1 \xB5", "a\n\xE1"}},
        CrossCase{"1251_to_utf8", TextEncoding::Windows1251, "\xC6\xF3\xEA \xB9" "1 \xB5\r\na\n\xE1",
                  TextEncoding::Utf8, {"Жук №1 µ", "a\nб"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(Utf8ClipboardTest, CharactersTheCodePageLacksAreNamedWhenPastedInto1251) {
    LoadIn(TextEncoding::Utf8, "10μF Ω😀");
    CopyAll();
    LoadIn(TextEncoding::Windows1251, "");
    Paste();
    EXPECT_THAT(Lines(), ElementsAre("10F "));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              QStringLiteral("Символы, которых нет в кодировке Windows-1251, не вставлены: μ Ω 😀"));
}

TEST_F(Utf8ClipboardTest, DataOfEitherEncodingAloneIsTextForBoth) {
    struct Case {
        const char* name;
        TextEncoding made;
        std::string bytes;
        TextEncoding read;
        std::string expected;
    };
    const Case cases[] = {
        {"utf8_bytes_into_utf8", TextEncoding::Utf8, "\xD0\x96\xD0", TextEncoding::Utf8,
         "\xD0\x96\xD0"},
        {"utf8_bytes_into_1251", TextEncoding::Utf8, "\xD0\x96", TextEncoding::Windows1251, "\xC6"},
        {"1251_bytes_into_utf8", TextEncoding::Windows1251, "\xC6", TextEncoding::Utf8, "\xD0\x96"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QMimeData> made(CCorvelTextView::MakeTextData(c.bytes, c.made));
        // Only the private form, as a program that offers no plain text would leave it.
        QMimeData data;
        for (const QString& format : made->formats()) {
            if (format != QStringLiteral("text/plain"))
                data.setData(format, made->data(format));
        }
        ASSERT_FALSE(data.hasText());
        EXPECT_TRUE(CCorvelTextView::HasTextData(&data));
        std::string text;
        ASSERT_TRUE(CCorvelTextView::TextOfData(&data, c.read, text));
        EXPECT_EQ(text, c.expected);
    }
}

TEST_F(Utf8ClipboardTest, DroppedDataIsInsertedInTheViewsEncoding) {
    LoadIn(TextEncoding::Windows1251, "ab");
    std::unique_ptr<QMimeData> data(CCorvelTextView::MakeTextData("Жук", TextEncoding::Utf8));
    ASSERT_TRUE(view.InsertDroppedText(
        data.get(), view.TextToPoint({1, 0}) + QPoint(1, view.LineHeight() / 2)));
    EXPECT_THAT(Lines(), ElementsAre("a\xC6\xF3\xEA"
                                     "b"));
}

}  // namespace
