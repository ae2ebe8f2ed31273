// Columns and painting of multibyte characters: in a UTF-8 view a well-formed sequence is one
// character in one cell and every stray byte a replacement cell of its own; a Windows-1251 view
// of the same bytes keeps one cell per byte.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Utf8.h"
#include "ViewPaintSupport.h"

namespace viewtest {
namespace {

#define MICRO "\xC2\xB5"                                           // U+00B5, 2 bytes
#define OHM "\xE2\x84\xA6"                                         // U+2126, 3 bytes
#define PRIVET "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"  // six Cyrillic letters
#define GRIN "\xF0\x9F\x98\x80"                                    // U+1F600, 4 bytes
#define REPLACEMENT "\xEF\xBF\xBD"                                 // U+FFFD

class Utf8Layout : public ViewTest {
protected:
    void Bind(const std::vector<std::string>& lines, TextEncoding encoding, int rows = 6,
              int columns = 40) {
        ViewTest::Bind(lines, rows, columns);
        view->SetEncoding(encoding);
    }

    // The pixels of a text row, margin included, from the cells of its line.
    QImage Row(int row, int cells = 16) {
        return Grab().copy(0, row * view->LineHeight(),
                           view->MarginWidth() + cells * view->CharWidth(), view->LineHeight());
    }
};

// Random lines of ASCII, tabs, sequences of every length and broken ones: every boundary has
// the column of the cells before it, CharAtColumn gives it back, a click on any cell lands on
// the character of that cell, and no answer lies inside a sequence.
TEST_F(Utf8Layout, ColumnsAndCellsAgreeOnRandomLines) {
    const std::vector<std::string> pieces = {"a",  " ",    "\t",       MICRO,  OHM,
                                             GRIN, "\xB5", "\xE2\x84", "\xD0", "\xF0\x9F\x98"};
    std::mt19937 random(16);
    std::vector<std::string> lines = {"title"};
    for (int line = 0; line < 40; ++line) {
        std::string text;
        int count = static_cast<int>(random() % 12);
        for (int piece = 0; piece < count; ++piece)
            text += pieces[random() % pieces.size()];
        lines.push_back(text);
    }
    Bind(lines, TextEncoding::Utf8, 45, 60);
    int widest = 0;
    for (int line = 1; line < static_cast<int>(lines.size()); ++line) {
        SCOPED_TRACE("line " + std::to_string(line));
        const std::string& text = lines[line];
        int length = static_cast<int>(text.size());
        // The reference: boundaries from the decoder, a tab to the next stop, anything else one
        // cell.
        std::vector<int> starts;
        std::vector<int> columns;
        int column = 0;
        for (int index = 0; index < length;
             index = Utf8::NextBoundary(text.data(), length, index)) {
            starts.push_back(index);
            columns.push_back(column);
            column = text[index] == '\t' ? column + 4 - column % 4 : column + 1;
        }
        starts.push_back(length);
        columns.push_back(column);
        widest = std::max(widest, column);
        EXPECT_EQ(view->LineColumns(line), column);
        for (std::size_t k = 0; k < starts.size(); ++k) {
            EXPECT_EQ(view->ColumnOfChar(line, starts[k]), columns[k]) << "index " << starts[k];
            EXPECT_EQ(view->CharAtColumn(line, columns[k]), starts[k]) << "column " << columns[k];
        }
        for (int cell = 0; cell <= column + 2; ++cell) {
            int index = view->CharAtColumn(line, cell);
            EXPECT_EQ(Utf8::BoundaryAtOrBefore(text.data(), length, index), index)
                << "column " << cell;
            QPoint point(view->MarginWidth() + cell * view->CharWidth() + 1,
                         (line - view->TopLine()) * view->LineHeight() + 1);
            // The character whose cells hold the column, or the line's end.
            std::size_t k = 0;
            while (k + 1 < starts.size() && columns[k + 1] <= cell)
                ++k;
            EXPECT_EQ(view->PointToText(point), (TextPosition{starts[k], line})) << "cell " << cell;
        }
    }
    EXPECT_EQ(view->WidestLineColumns(), widest);
}

// --- Painting

// Each line is drawn as the reference line, which shows the same characters in cells of its own.
TEST_F(Utf8Layout, AUtf8LineIsDrawnAsTheCharactersItEncodes) {
    struct Case {
        const char* name;
        const char* line;
        const char* reference;
        TextEncoding referenceEncoding;
    };
    const Case cases[] = {
        {"Cyrillic and a unit sign", "R1 " PRIVET " 10" MICRO, "R1 \xCF\xF0\xE8\xE2\xE5\xF2 10\xB5",
         TextEncoding::Windows1251},
        {"stray bytes, one replacement cell each",
         "a\xB5\xE2\x84"
         "b",
         "a" REPLACEMENT REPLACEMENT REPLACEMENT "b", TextEncoding::Utf8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bind({"title", c.reference}, c.referenceEncoding);
        QImage expected = Row(1);
        Bind({"title", c.line}, TextEncoding::Windows1251);
        QImage bytewise = Row(1);
        Bind({"title", c.line}, TextEncoding::Utf8);
        EXPECT_EQ(Row(1), expected);
        EXPECT_NE(Row(1), bytewise);
    }
}

TEST_F(Utf8Layout, AColourRunStartingInsideACharacterColoursItWhole) {
    view->colouring = Colouring::Fixed;
    view->fixedRuns = {{0, Keyword}};
    Bind({"title", MICRO "ab"}, TextEncoding::Utf8);
    QImage expected = Row(1);
    view->fixedRuns = {{0, NormalText}, {1, Keyword}};  // the run begins at the µ's second byte
    view->update();
    QImage image = Grab();
    EXPECT_EQ(Row(1), expected);
    EXPECT_EQ(DominantColor(image, CellRect(*view, 1, 3)), kEmptyAreaColor);
}

TEST_F(Utf8Layout, TheSelectionCoversWholeCells) {
    Bind({"title", "a" MICRO "b", "x" GRIN "y"}, TextEncoding::Utf8);
    GiveFocus(*view);
    ASSERT_TRUE(view->IsFocused());
    struct Case {
        TextPosition start;
        TextPosition end;
        int row;
        std::vector<bool> selectedCells;
    };
    const Case cases[] = {
        {{1, 1}, {3, 1}, 1, {false, true, false, false}},  // the µ alone
        {{1, 2}, {5, 2}, 2, {false, true, false, false}},  // the emoji alone, in one cell
    };
    for (const Case& c : cases) {
        view->SelectRange(c.start, c.end);
        QImage image = Grab();
        for (int cell = 0; cell < static_cast<int>(c.selectedCells.size()); ++cell) {
            EXPECT_EQ(DominantColor(image, CellRect(*view, c.row, cell)) == kBlack,
                      c.selectedCells[cell])
                << "row " << c.row << " cell " << cell;
        }
    }
}

}  // namespace
}  // namespace viewtest
