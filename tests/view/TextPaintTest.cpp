// Painting of the text view, read back from grabbed images: cells, colours, the selection, the
// margin with its numbers and icons, and the area below the text.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPalette>
#include <string>
#include <vector>

#include "MarginIcons.h"
#include "ViewPaintSupport.h"

namespace viewtest {
namespace {

using PaintTest = ViewTest;

// Where the margin icon of a row is drawn.
QRect IconRect(CCorvelTextView& view, int row) {
    return {2, row * view.LineHeight() + (view.LineHeight() - 16) / 2, 16, 16};
}

// --- The area below the text and the margin

TEST_F(PaintTest, BelowTheTextIsEmptyAreaWithPlainMarginStrips) {
    Bind({"title", "second", "third"}, 8, 30);
    QImage image = Grab();
    for (int row = 0; row < 8; ++row) {
        QRect text = CellSpan(*view, row, 0, 30);
        QRect margin = MarginRect(*view, row);
        if (row < 3) {
            EXPECT_EQ(DominantColor(image, CellSpan(*view, row, 0, 3)), kWhite) << row;
            EXPECT_TRUE(HasInk(image, margin, kMarginColor)) << "no number in row " << row;
        } else {
            EXPECT_EQ(InkColor(image, text, kEmptyAreaColor), kEmptyAreaColor) << row;
            EXPECT_EQ(InkColor(image, margin, kMarginColor), kMarginColor) << row;
        }
    }
}

TEST_F(PaintTest, StripsGetLineNumbersFromOne) {
    Bind(NumberedLines(20), 5, 30);
    view->marginCalls.clear();
    Grab();
    std::vector<std::pair<int, int>> top = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}};
    EXPECT_EQ(view->marginCalls, top);

    view->ScrollToTopLine(17, true);
    view->marginCalls.clear();
    Grab();
    std::vector<std::pair<int, int>> bottom = {{17, 18}, {18, 19}, {19, 20}, {-1, -1}, {-1, -1}};
    EXPECT_EQ(view->marginCalls, bottom);
}

TEST_F(PaintTest, LineNumbersAreRightAlignedFourPixelsInside) {
    Bind(NumberedLines(12), 12, 30);
    QImage image = Grab();
    int digit = QFontMetrics(view->FontFor(false, false)).horizontalAdvance(QLatin1Char('0'));
    int right = view->MarginWidth() - 4;  // one past the last pixel of the digits
    // Ink: anything but the margin's fill and the white cells the digits stand in.
    auto inkColumns = [&](int row) {
        QRect margin = MarginRect(*view, row);
        int left = -1;
        int last = -1;
        for (int x = margin.left(); x <= margin.right(); ++x) {
            for (int y = margin.top(); y <= margin.bottom(); ++y) {
                QColor pixel = image.pixelColor(x, y);
                if (pixel != kMarginColor && pixel != kWhite) {
                    if (left < 0)
                        left = x;
                    last = x;
                    break;
                }
            }
        }
        return std::pair(left, last);
    };
    auto [oneLeft, oneLast] = inkColumns(0);  // "1"
    auto [tenLeft, tenLast] = inkColumns(9);  // "10"
    ASSERT_GE(oneLeft, 0);
    ASSERT_GE(tenLeft, 0);
    EXPECT_LT(oneLast, right);
    EXPECT_LT(tenLast, right);
    EXPECT_GE(oneLeft, right - digit);
    EXPECT_GE(tenLeft, right - 2 * digit);
    EXPECT_LT(tenLeft, oneLeft - digit / 2);
}

// --- Colours

TEST_F(PaintTest, TitleLineIsTealEvenWhenItLooksLikeAComment) {
    view->colouring = Colouring::Netlist;
    Bind({"* amplifier stage", "* a comment line", "R1 1 0 10k"}, 5, 30);
    QImage image = Grab();
    QColor title = InkColor(image, CellSpan(*view, 0, 1, 17), kWhite);
    QColor comment = InkColor(image, CellSpan(*view, 1, 1, 16), kWhite);
    EXPECT_TRUE(NearColor(title, QColor(0, 128, 128))) << Describe(title);
    EXPECT_TRUE(NearColor(comment, QColor(0, 128, 0))) << Describe(comment);
}

TEST_F(PaintTest, RunsColourTheirCharacters) {
    view->colouring = Colouring::Netlist;
    Bind({"title", ".tran 1n 100n", "/* block", "still */ R1", "R2 4 5"}, 6, 30);
    QImage image = Grab();
    struct Case {
        int row;
        int firstCell;
        int endCell;
        QColor expected;
    };
    const Case cases[] = {
        {1, 0, 5, QColor(0, 0, 255)},    // keyword
        {1, 6, 8, QColor(128, 0, 128)},  // number
        {2, 3, 8, QColor(255, 0, 0)},    // block comment
        {3, 0, 5, QColor(255, 0, 0)},    // ... carried into the next line
        {3, 9, 11, QColor(0, 0, 0)},     // plain text after it
        {4, 0, 2, QColor(0, 0, 0)},      // an element name
    };
    for (const Case& c : cases) {
        QColor ink = InkColor(image, CellSpan(*view, c.row, c.firstCell, c.endCell), kWhite);
        EXPECT_TRUE(NearColor(ink, c.expected))
            << "row " << c.row << " cell " << c.firstCell << ": " << Describe(ink);
    }
}

TEST_F(PaintTest, AnEditOnOneLineRecoloursTheLinesBelowIt) {
    view->colouring = Colouring::Netlist;
    Bind(NumberedLines(30, "R"), 10, 30);
    view->ScrollToTopLine(5, true);
    ASSERT_TRUE(NearColor(InkColor(Grab(), CellSpan(*view, 6, 0, 3), kWhite), kBlack));

    view->hookCalls.clear();
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(buffer.InsertAt(nullptr, 10, 0, "/*", endLine, endCharacter, EditAction::Typing));
    QImage image = Grab();

    // Line 11 is now inside the block comment; nothing above line 10 was coloured again for its
    // end state.
    QColor ink = InkColor(image, CellSpan(*view, 6, 0, 3), kWhite);
    EXPECT_TRUE(NearColor(ink, QColor(255, 0, 0))) << Describe(ink);
    for (auto [line, count] : view->StateOnlyCalls())
        EXPECT_GE(line, 10);
}

TEST_F(PaintTest, LineHighlightOverridesTheLineColours) {
    class CHighlightView : public CProbeView {
    public:
        using CProbeView::CProbeView;
        void LineHighlight(int line, std::optional<QColor>& background, std::optional<QColor>& text,
                           bool& fillAfterText) const override {
            CProbeView::LineHighlight(line, background, text, fillAfterText);
            if (line == 0 || line == 2) {
                background = QColor(200, 220, 255);
                text = QColor(255, 0, 0);
                fillAfterText = true;
            }
        }
    };
    delete view;
    view = new CHighlightView(&host);
    view->show();
    Bind({"title", "plain", "marked"}, 5, 20);
    QImage image = Grab();
    const QColor highlight(200, 220, 255);
    for (int row : {0, 2}) {
        EXPECT_EQ(DominantColor(image, CellSpan(*view, row, 0, 5)), highlight) << row;
        EXPECT_EQ(DominantColor(image, CellSpan(*view, row, 7, 20)), highlight) << row;
        QColor ink = InkColor(image, CellSpan(*view, row, 0, 5), highlight);
        EXPECT_TRUE(NearColor(ink, QColor(255, 0, 0))) << row << ": " << Describe(ink);
    }
    EXPECT_EQ(DominantColor(image, CellSpan(*view, 1, 7, 20)), kEmptyAreaColor);
}

TEST(PaintRoleColor, SystemRolesFollowThePalette) {
    CCorvelTextView view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Text, QColor(200, 100, 50));
    view.setPalette(palette);
    EXPECT_EQ(view.RoleColor(EmptyArea), QColor(10, 20, 30));
    EXPECT_EQ(view.RoleColor(TextBackground), QColor(10, 20, 30));
    EXPECT_EQ(view.RoleColor(NormalText), QColor(200, 100, 50));
    EXPECT_EQ(view.RoleColor(MarginBackground), kMarginColor);
    EXPECT_EQ(view.RoleColor(9), kBlack);
    EXPECT_EQ(view.RoleColor(19), QColor(255, 0, 0));
}

// --- Cells

TEST_F(PaintTest, CharactersStandInCellsOfTheFixedWidth) {
    Bind({"title", "a\tb", std::string(40, 'X')}, 4, 45);
    view->SelectRange({30, 2}, {31, 2});
    GiveFocus(*view);
    ASSERT_TRUE(view->IsFocused());
    QImage image = Grab();

    // A tab is blank up to the next stop.
    EXPECT_TRUE(HasInk(image, CellRect(*view, 1, 0), kWhite));
    EXPECT_FALSE(HasInk(image, CellSpan(*view, 1, 1, 4), kWhite));
    EXPECT_TRUE(HasInk(image, CellRect(*view, 1, 4), kWhite));

    // The selected cell of character 30 starts exactly 30 cells right of the margin.
    int top = 2 * view->LineHeight();
    int left = view->MarginWidth() + 30 * view->CharWidth();
    EXPECT_EQ(image.pixelColor(left - 1, top), kWhite);
    EXPECT_EQ(image.pixelColor(left, top), kBlack);
    EXPECT_EQ(image.pixelColor(left + view->CharWidth() - 1, top), kBlack);
    EXPECT_EQ(image.pixelColor(left + view->CharWidth(), top), kWhite);
}

TEST_F(PaintTest, AVeryLongLineScrolledFarRightDrawsItsVisibleCharacters) {
    std::string longLine(9000, ' ');
    longLine[8195] = 'X';
    longLine[8200] = 'X';
    Bind({"title", longLine}, 3, 20);
    view->ScrollToColumn(8190, true);
    QImage image = Grab();
    for (int cell = 0; cell < 20; ++cell) {
        bool expected = cell == 5 || cell == 10;
        EXPECT_EQ(HasInk(image, CellRect(*view, 1, cell), kWhite), expected) << "cell " << cell;
    }
}

// --- The selection

struct SelectionCell {
    int row;
    int cell;
    bool selected;
};

// The selection from the middle of line 3 to the middle of line 5.
const SelectionCell kSelectionCells[] = {
    // line 3 "abcdef": from character 3 on, and the cell after its end
    {3, 2, false},
    {3, 3, true},
    {3, 5, true},
    {3, 6, true},
    {3, 7, false},
    // line 4 ".end 42": all of it, and the cell after its end
    {4, 0, true},
    {4, 6, true},
    {4, 7, true},
    {4, 8, false},
    // line 5 "klmnop": up to character 3, no cell after its end
    {5, 0, true},
    {5, 2, true},
    {5, 3, false},
    {5, 5, false},
    {5, 6, false},
};

class SelectionPaintTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        view->colouring = Colouring::Netlist;
        Bind({"title", "one", "two", "abcdef", ".end 42", "klmnop", "after"}, 8, 20);
        view->SelectRange({3, 3}, {3, 5});
    }
};

TEST_F(SelectionPaintTest, FocusedViewPaintsTheSelectedCells) {
    GiveFocus(*view);
    ASSERT_TRUE(view->IsFocused());
    QImage image = Grab();
    for (const SelectionCell& c : kSelectionCells) {
        QColor background = DominantColor(image, CellRect(*view, c.row, c.cell));
        EXPECT_EQ(background == kBlack, c.selected)
            << "row " << c.row << " cell " << c.cell << ": " << Describe(background);
    }
}

TEST_F(SelectionPaintTest, SelectedTextIsWhiteWhateverItsRole) {
    GiveFocus(*view);
    QImage image = Grab();
    QRect line = CellSpan(*view, 4, 0, 7);
    for (int y = line.top(); y <= line.bottom(); ++y) {
        for (int x = line.left(); x <= line.right(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            ASSERT_LE(std::abs(pixel.red() - pixel.blue()), 8) << x << ", " << y;
            ASSERT_LE(std::abs(pixel.green() - pixel.blue()), 8) << x << ", " << y;
        }
    }
    QColor ink = InkColor(image, line, kBlack);
    EXPECT_TRUE(NearColor(ink, kWhite)) << Describe(ink);
}

TEST_F(SelectionPaintTest, UnfocusedViewPaintsNoSelection) {
    QImage image = Grab();
    ASSERT_FALSE(view->IsFocused());
    for (const SelectionCell& c : kSelectionCells) {
        QColor background = DominantColor(image, CellRect(*view, c.row, c.cell));
        EXPECT_NE(background, kBlack) << "row " << c.row << " cell " << c.cell;
    }
    QColor keyword = InkColor(image, CellSpan(*view, 4, 0, 4), kWhite);
    EXPECT_TRUE(NearColor(keyword, QColor(0, 0, 255))) << Describe(keyword);
}

TEST_F(SelectionPaintTest, SelectionShownUnfocusedIsPaintedWithoutFocus) {
    view->ShowSelectionUnfocused(true);
    QImage image = Grab();
    for (const SelectionCell& c : kSelectionCells) {
        QColor background = DominantColor(image, CellRect(*view, c.row, c.cell));
        EXPECT_EQ(background == kBlack, c.selected) << "row " << c.row << " cell " << c.cell;
    }
}

TEST_F(SelectionPaintTest, SelectionFromLineEndToLineEndSelectsOnlyTheFirstLineBreak) {
    view->SelectRange({6, 3}, {6, 5});
    GiveFocus(*view);
    QImage image = Grab();
    const SelectionCell cells[] = {
        {3, 5, false}, {3, 6, true},  {3, 7, false},  // only the cell after line 3's end
        {4, 0, true},  {4, 7, true},  {4, 8, false},  // all of line 4 and its break
        {5, 5, true},  {5, 6, false},                 // line 5's break is not selected
    };
    for (const SelectionCell& c : cells) {
        QColor background = DominantColor(image, CellRect(*view, c.row, c.cell));
        EXPECT_EQ(background == kBlack, c.selected) << "row " << c.row << " cell " << c.cell;
    }
}

TEST_F(PaintTest, EmptyLineInsideTheSelectionShowsOneSelectedCell) {
    Bind({"title", "text", "", "more"}, 5, 20);
    view->SelectRange({2, 1}, {2, 3});
    GiveFocus(*view);
    QImage image = Grab();
    EXPECT_EQ(DominantColor(image, CellRect(*view, 2, 0)), kBlack);
    EXPECT_EQ(DominantColor(image, CellSpan(*view, 2, 1, 20)), kEmptyAreaColor);
}

// --- Margin icons

// The digits of a line number stand on the background of the line painted above them; a paint
// of only some lines must give them the same cells as a paint of the whole window.
TEST_F(PaintTest, APartialPaintGivesTheDigitsTheBackgroundOfTheLineAbove) {
    class CTintedView : public CProbeView {
    public:
        using CProbeView::CProbeView;
        void LineHighlight(int line, std::optional<QColor>& background, std::optional<QColor>& text,
                           bool& fillAfterText) const override {
            CProbeView::LineHighlight(line, background, text, fillAfterText);
            background = QColor(200, 220, 255);
        }
    };
    delete view;
    view = new CTintedView(&host);
    view->show();
    Bind(NumberedLines(8), 8, 20);
    const QColor tint(200, 220, 255);
    // The cells of the digits: right of the icon place, left of the 4 pixels inside the edge.
    auto digitCells = [&](int row) {
        QRect margin = MarginRect(*view, row);
        return QRect(margin.right() - 3 - view->CharWidth(), margin.top() + 1, 3,
                     margin.height() - 2);
    };
    QImage whole = Grab();
    ASSERT_EQ(DominantColor(whole, digitCells(4)), tint);

    QPixmap part(view->size());
    part.fill(Qt::black);
    view->render(&part, MarginRect(*view, 4).topLeft(), QRegion(MarginRect(*view, 4)));
    EXPECT_EQ(DominantColor(part.toImage(), digitCells(4)), tint);
}

// Between the view's own two scroll bars nothing is left unpainted.
TEST_F(PaintTest, TheCornerBetweenTheScrollBarsIsPainted) {
    Bind(NumberedLines(3), 5, 20);
    QPixmap image(view->size());
    image.fill(QColor(1, 2, 3));
    view->render(&image);
    QRect client = view->ClientRect();
    QPoint corner(client.right() + 2, client.bottom() + 2);
    EXPECT_NE(image.toImage().pixelColor(corner), QColor(1, 2, 3));
}

TEST(MarginIconIndex, FirstMaskOfTheTableWins) {
    struct Case {
        std::uint32_t flags;
        int icon;
    };
    const Case cases[] = {
        {0, -1},
        {NumberedBookmark(1), 3},
        {NumberedBookmark(9), 11},
        {NumberedBookmark(0), 12},
        {Bookmark, 13},
        {Bookmark | NumberedBookmark(0), 12},
        {NumberedBookmark(0) | NumberedBookmark(4), 6},
        {0x10000, 0},
        {0x100000, 14},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarginIconIndex(c.flags), c.icon) << std::hex << c.flags;
}

TEST_F(PaintTest, BookmarkedLinesShowTheirIconInTheMargin) {
    Bind({"title", "plain", "bookmark", "numbered 3", "both", "numbered 0"}, 7, 20);
    buffer.ChangeLineFlag(2, Bookmark, true, false);
    buffer.ChangeLineFlag(3, NumberedBookmark(3), true, false);
    buffer.ChangeLineFlag(4, NumberedBookmark(3), true, false);
    buffer.ChangeLineFlag(4, Bookmark, true, false);
    buffer.ChangeLineFlag(5, NumberedBookmark(0), true, false);
    QImage image = Grab();

    EXPECT_EQ(InkColor(image, IconRect(*view, 1), kMarginColor), kMarginColor);
    for (int row : {2, 3, 4, 5})
        EXPECT_TRUE(HasInk(image, IconRect(*view, row), kMarginColor)) << row;
    EXPECT_NE(image.copy(IconRect(*view, 2)), image.copy(IconRect(*view, 3)));
    EXPECT_NE(image.copy(IconRect(*view, 3)), image.copy(IconRect(*view, 5)));
    // A line with a plain and a numbered bookmark shows the numbered one.
    EXPECT_EQ(image.copy(IconRect(*view, 4)), image.copy(IconRect(*view, 3)));
}

// --- Fonts

TEST_F(PaintTest, StripsFollowTheLineHeightOfANewFont) {
    Bind({"title", "a", "b"}, 20, 20);
    Grab();  // the line bitmap now has the old height
    LogFont larger = view->ViewLogFont();
    larger.height = 2 * larger.height;
    view->ApplyFont(larger);
    QImage image = Grab();
    int bottom = 3 * view->LineHeight();  // the first row below the text
    int x = CellRect(*view, 2, 0).center().x();
    EXPECT_EQ(image.pixelColor(x, bottom - 1), kWhite);
    EXPECT_EQ(image.pixelColor(x, bottom), kEmptyAreaColor);
    EXPECT_TRUE(HasInk(image, MarginRect(*view, 2), kMarginColor));
    EXPECT_EQ(InkColor(image, MarginRect(*view, 3), kMarginColor), kMarginColor);
}

TEST(PaintWithoutBuffer, ShowsLineOneAndEmptyArea) {
    QWidget host;
    host.resize(400, 300);
    CProbeView* view = new CProbeView(&host);
    host.show();
    view->show();
    SizeForText(*view, 3, 10);
    QImage image = view->grab().toImage();
    EXPECT_TRUE(HasInk(image, MarginRect(*view, 0), kMarginColor));
    EXPECT_EQ(InkColor(image, MarginRect(*view, 1), kMarginColor), kMarginColor);
    EXPECT_EQ(DominantColor(image, CellSpan(*view, 0, 0, 10)), kEmptyAreaColor);
}

}  // namespace
}  // namespace viewtest
