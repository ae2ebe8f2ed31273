// The caret, the selection and the mouse over multibyte characters: in a UTF-8 view a well-formed
// sequence is one character in one cell and every stray byte one of its own; a Windows-1251 view
// of the same bytes keeps one character per byte.

#include "TextViewHarness.h"

namespace {

// The bytes of the characters used below.
#define MICRO "\xC2\xB5"                                           // U+00B5, 2 bytes
#define OHM "\xE2\x84\xA6"                                         // U+2126, 3 bytes
#define PRIVET "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"  // six Cyrillic letters
#define GRIN "\xF0\x9F\x98\x80"                                    // U+1F600, 4 bytes

constexpr auto kNone = Qt::NoModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto k1251 = TextEncoding::Windows1251;

class Utf8Caret : public TextViewTest {
protected:
    void Load(const std::string& text, TextEncoding encoding) {
        TextViewTest::Load(text);
        view.SetEncoding(encoding);
    }
    void Click(QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, point);
    }
    // Just inside the left edge of a cell, counted from the line's first cell: independent of
    // the view's own column arithmetic.
    QPoint Cell(int cell, int line) {
        return {view.MarginWidth() + cell * view.CharWidth() + 1,
                line * view.LineHeight() + view.LineHeight() / 2};
    }
};

struct KeyCase {
    const char* name;
    TextEncoding encoding;
    const char* text;
    TextPosition anchor;
    TextPosition caret;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    TextPosition expectedCaret;
    TextPosition expectedAnchor;
};

class Utf8KeyTable : public Utf8Caret {
protected:
    void Check(const std::vector<KeyCase>& cases) {
        for (const KeyCase& each : cases) {
            SCOPED_TRACE(each.name);
            Load(each.text, each.encoding);
            Place(each.anchor, each.caret);
            Key(each.key, each.modifiers);
            EXPECT_EQ(view.CaretPosition(), each.expectedCaret);
            EXPECT_EQ(view.SelectionStart(), each.expectedAnchor);
            EXPECT_EQ(view.SelectionEnd(), each.expectedCaret);
        }
    }
};

TEST_F(Utf8KeyTable, CharacterStepsTakeASequenceAtOnce) {
    // clang-format off
    Check({
        {"Right over a 2-byte character", kUtf8, "a" MICRO "b", {1, 0}, {1, 0}, Qt::Key_Right,
         kNone, {3, 0}, {3, 0}},
        {"Left over a 2-byte character", kUtf8, "a" MICRO "b", {3, 0}, {3, 0}, Qt::Key_Left, kNone,
         {1, 0}, {1, 0}},
        {"Right over a 3-byte character", kUtf8, OHM "x", {0, 0}, {0, 0}, Qt::Key_Right, kNone,
         {3, 0}, {3, 0}},
        {"Right over a 4-byte character", kUtf8, "x" GRIN "y", {1, 0}, {1, 0}, Qt::Key_Right,
         kNone, {5, 0}, {5, 0}},
        {"Shift+Right selects the whole character", kUtf8, MICRO "x", {0, 0}, {0, 0},
         Qt::Key_Right, kShift, {2, 0}, {0, 0}},
        {"Shift+Left selects the whole character", kUtf8, "x" GRIN, {5, 0}, {5, 0}, Qt::Key_Left,
         kShift, {1, 0}, {5, 0}},
        {"a stray byte is a character of its own", kUtf8, "a\xB5" "b", {1, 0}, {1, 0},
         Qt::Key_Right, kNone, {2, 0}, {2, 0}},
        {"a cut sequence is one character per byte", kUtf8, "\xE2\x84x", {1, 0}, {1, 0},
         Qt::Key_Right, kNone, {2, 0}, {2, 0}},
        {"a sequence after a stray byte is whole", kUtf8, "\xB5" MICRO, {1, 0}, {1, 0},
         Qt::Key_Right, kNone, {3, 0}, {3, 0}},
        {"Windows-1251: Right steps one byte", k1251, "a" MICRO "b", {1, 0}, {1, 0}, Qt::Key_Right,
         kNone, {2, 0}, {2, 0}},
    });
    // clang-format on
}

TEST_F(Utf8KeyTable, WordStepsTakeNonAsciiLettersAsWordCharacters) {
    // clang-format off
    Check({
        {"Ctrl+Right over a Cyrillic word", kUtf8, "x" PRIVET " y", {0, 0}, {0, 0}, Qt::Key_Right,
         kCtrl, {14, 0}, {14, 0}},
        {"Ctrl+Left over a Cyrillic word", kUtf8, "y " PRIVET "x", {15, 0}, {15, 0}, Qt::Key_Left,
         kCtrl, {2, 0}, {2, 0}},
        {"a unit sign belongs to its number", kUtf8, "C1 10" MICRO "F", {3, 0}, {3, 0},
         Qt::Key_Right, kCtrl, {8, 0}, {8, 0}},
        {"Windows-1251: the same bytes are punctuation", k1251, "x" PRIVET " y", {0, 0}, {0, 0},
         Qt::Key_Right, kCtrl, {1, 0}, {1, 0}},
    });
    // clang-format on
}

TEST_F(Utf8Caret, VerticalStepsKeepTheScreenColumn) {
    // Column 4 is after "abcd", after four Cyrillic letters, and at the x behind "µµµ" and a tab.
    Load("abcdef\r\n" PRIVET "\r\n" MICRO MICRO MICRO "\tx\r\n" MICRO OHM GRIN "xyz", kUtf8);
    Place({4, 0});
    const TextPosition down[] = {{8, 1}, {7, 2}, {10, 3}};
    for (TextPosition expected : down) {
        Key(Qt::Key_Down);
        EXPECT_EQ(view.CaretPosition(), expected);
    }
    const TextPosition up[] = {{7, 2}, {8, 1}, {4, 0}};
    for (TextPosition expected : up) {
        Key(Qt::Key_Up);
        EXPECT_EQ(view.CaretPosition(), expected);
    }
    // In Windows-1251 every byte is a cell: column 4 is after two of the µ.
    view.SetEncoding(k1251);
    Key(Qt::Key_Down, kNone, 2);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 2}));
}

TEST_F(Utf8Caret, PagingKeepsTheNumberOfCharactersBeforeTheCaret) {
    std::string text = "abcdef";
    for (int line = 1; line < 100; ++line)
        text += "\r\n" PRIVET;
    Load(text, kUtf8);
    int page = view.VisibleLineCount();
    ASSERT_GT(page, 3);
    Place({3, 0});
    Key(Qt::Key_PageDown);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{6, page - 1}));
    Key(Qt::Key_PageUp, kShift);
    EXPECT_EQ(view.CaretPosition(), (TextPosition{3, 0}));
    EXPECT_EQ(view.Anchor(), (TextPosition{6, page - 1}));
}

TEST_F(Utf8Caret, PositionPaneCountsCharacters) {
    Load(PRIVET "\r\n\xE2\x84" MICRO, kUtf8);
    Key(Qt::Key_End);
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 1, Col 7");
    Key(Qt::Key_End, kCtrl);  // two stray bytes and one sequence
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 2, Col 4");
    view.SetEncoding(k1251);
    EXPECT_EQ(PaneText(ID_INDICATOR_POSITION), "Ln 2, Col 5");
}

TEST_F(Utf8Caret, ClickPlacesTheCaretAtTheCharacterOfTheCell) {
    // Cells: a, µ, Ω, the emoji, b, a tab of three cells, x; then a stray byte, Ω, a cut
    // sequence of two bytes and y on the second line.
    Load("a" MICRO OHM GRIN "b\tx\r\n\xB5" OHM "\xE2\x84y", kUtf8);
    struct Case {
        int cell;
        int line;
        TextPosition expected;
    };
    const Case cases[] = {
        {0, 0, {0, 0}},  {1, 0, {1, 0}},  {2, 0, {3, 0}},  {3, 0, {6, 0}}, {4, 0, {10, 0}},
        {5, 0, {11, 0}}, {8, 0, {12, 0}}, {9, 0, {13, 0}}, {0, 1, {0, 1}}, {1, 1, {1, 1}},
        {2, 1, {4, 1}},  {3, 1, {5, 1}},  {4, 1, {6, 1}},  {5, 1, {7, 1}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE("cell " + std::to_string(each.cell) + " line " + std::to_string(each.line));
        Click(Cell(each.cell, each.line));
        EXPECT_EQ(view.CaretPosition(), each.expected);
        EXPECT_EQ(view.TextToPoint(each.expected).x(), Cell(each.cell, each.line).x() - 1);
    }
    // The same bytes in Windows-1251: one cell per byte, up to the first line's tab.
    view.SetEncoding(k1251);
    for (int cell = 0; cell <= 11; ++cell) {
        Click(Cell(cell, 0));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{cell, 0})) << "Windows-1251 cell " << cell;
    }
}

TEST_F(Utf8Caret, DoubleClickSelectsACyrillicWord) {
    Load("R1 " PRIVET " 1k", kUtf8);
    QPoint point = Cell(5, 0);
    QTest::mouseClick(&view, Qt::LeftButton, kNone, point);
    QTest::mouseDClick(&view, Qt::LeftButton, kNone, point);
    QTest::mouseRelease(&view, Qt::LeftButton, kNone, point);
    EXPECT_EQ(view.SelectionStart(), (TextPosition{3, 0}));
    EXPECT_EQ(view.SelectionEnd(), (TextPosition{15, 0}));
}

}  // namespace
