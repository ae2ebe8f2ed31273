// The view on texts that are long or wide: colouring states kept across edits in several views,
// states guessed far down and computed in idle time, lines of a million characters, margins for
// long texts, the caret over a selection.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <random>

#include "ViewPaintSupport.h"

namespace {

using namespace viewtest;

// The netlist colouring that colours only the window painting asks for, as the netlist view does.
class CWindowedView : public CProbeView {
public:
    using CProbeView::CProbeView;
    LineScanState ColorizeVisible(LineScanState state, int line, int from, int to, ColorRun* runs,
                                  int& runCount, bool wantEndState) override {
        return ClassifyNetlistLineWindow(state, LineText(line), LineLength(line), from, to, runs,
                                         runCount, wantEndState);
    }
};

class LargeTextTest : public ViewTest {
protected:
    // A second view of the same buffer, as the other pane of a split window.
    CProbeView* AddSecondView(int rows = 12, int columns = 40) {
        auto* second = new CProbeView(&host);
        second->move(0, 450);
        second->show();
        second->colouring = Colouring::Netlist;
        second->BindBuffer(&buffer);
        SizeForText(*second, rows, columns);
        return second;
    }
    void Type(int line, int character, const char* text) {
        int endLine = 0;
        int endCharacter = 0;
        ASSERT_TRUE(buffer.InsertAt(nullptr, line, character, text, endLine, endCharacter,
                                    EditAction::Typing));
    }
};

// --- Colouring states

TEST_F(LargeTextTest, TwoViewsKeepTheStatesOfAFreshColouringThroughRandomEdits) {
    view->colouring = Colouring::Netlist;
    Bind(NumberedLines(60, "R"), 12, 40);
    CProbeView* other = AddSecondView();
    std::mt19937 random(11);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> pieces = {
        "/*", "*/", "\"", "'", "\\", "* ", "Error ", "\r\n", "/* a\r\nb */", "\\\r\n", "x", "\r\n\r\n"};
    for (int step = 0; step < 400; ++step) {
        int line = pick(0, buffer.LineTotal() - 1);
        int character = pick(0, buffer.LineLength(line));
        int action = pick(0, 9);
        if (action < 5) {
            Type(line, character, pieces[pick(0, static_cast<int>(pieces.size()) - 1)].c_str());
        } else if (action < 8) {
            int endLine = std::min(buffer.LineTotal() - 1, line + pick(0, 3));
            int endCharacter = endLine == line ? pick(character, buffer.LineLength(endLine))
                                               : pick(0, buffer.LineLength(endLine));
            ASSERT_TRUE(buffer.DeleteRange(nullptr, line, character, endLine, endCharacter,
                                           EditAction::Delete));
        } else {
            buffer.ChangeLineFlag(line, Bookmark, pick(0, 1) == 1, false);
        }
        // Either view paints somewhere, or neither does before the next edit.
        CProbeView* painted = pick(0, 1) == 0 ? view : other;
        if (pick(0, 2) > 0) {
            painted->ScrollToTopLine(pick(0, buffer.LineTotal() - 1), true);
            painted->grab();
        }
        std::vector<LineScanState> fresh = FreshStates(buffer);
        for (CProbeView* each : {view, other})
            ASSERT_TRUE(StatesMatch(*each, fresh, pick(0, buffer.LineTotal() - 1)))
                << "step " << step;
    }
}

TEST_F(LargeTextTest, ABookmarkRecoloursNothing) {
    view->colouring = Colouring::Netlist;
    Bind(NumberedLines(40, "R"), 12, 40);
    view->grab();
    ASSERT_EQ(view->EndStateOfLine(39), FreshStates(buffer)[39]);
    view->hookCalls.clear();
    buffer.ChangeLineFlag(5, Bookmark, true, false);
    view->grab();
    EXPECT_TRUE(view->StateOnlyCalls().empty());
    EXPECT_EQ(view->EndStateOfLine(39), FreshStates(buffer)[39]);
    EXPECT_TRUE(view->StateOnlyCalls().empty());
}

TEST_F(LargeTextTest, TypingAtTheTopRecoloursOneLineForThePaneAtTheEnd) {
    view->colouring = Colouring::Netlist;
    Bind(NumberedLines(3000, "R1 1 2 10k "), 12, 40);
    CProbeView* bottom = AddSecondView();
    bottom->GoTextEnd(false);
    view->grab();
    bottom->grab();
    for (const char* text : {"x", " ", "R", "\r\n"}) {
        SCOPED_TRACE(text);
        bottom->hookCalls.clear();
        Type(5, 0, text);
        bottom->grab();
        std::map<int, int> expected{{5, 1}};
        if (text[0] == '\r')
            expected[6] = 1;  // the line broken off line 5 is new
        EXPECT_EQ(bottom->StateOnlyCalls(), expected);
    }
    // A block comment opened at the top reaches the end: that pane is coloured anew.
    Type(5, 0, "/*");
    QImage image = bottom->grab().toImage();
    bottom->FinishStatesForTesting();
    image = bottom->grab().toImage();
    QColor ink = InkColor(image, CellSpan(*bottom, 10, 0, 6), kWhite);
    EXPECT_TRUE(NearColor(ink, QColor(255, 0, 0))) << Describe(ink);
    EXPECT_EQ(bottom->EndStateOfLine(buffer.LineTotal() - 1),
              FreshStates(buffer)[buffer.LineTotal() - 1]);
}

TEST_F(LargeTextTest, AFarPaintGuessesItsStatesAndIdleTimePaintsTheExactColours) {
    view->colouring = Colouring::Netlist;
    // Everything below line 1 is inside a block comment that never ends.
    std::vector<std::string> lines = NumberedLines(60000, "R1 1 2 10k ");
    lines[1] = "/* opened here";
    Bind(lines, 12, 40);
    int paints = 0;
    struct PaintCounter : QObject {
        int* count;
        explicit PaintCounter(int* counter) : count(counter) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    view->installEventFilter(&counter);

    view->GoTextEnd(false);
    view->hookCalls.clear();
    view->grab();
    // The paint did not colour the whole text to reach its first line.
    EXPECT_LT(view->StateOnlyCalls().size(), 30000u);
    EXPECT_TRUE(view->StatesPending());
    // Painting one of those lines again (a caret's blink) uses the states it was painted with.
    view->hookCalls.clear();
    QPixmap strip(view->size());
    QRect third(0, 3 * view->LineHeight(), view->width(), view->LineHeight());
    view->render(&strip, QPoint(), QRegion(third));
    EXPECT_TRUE(view->StateOnlyCalls().empty());
    EXPECT_FALSE(view->hookCalls.empty());

    // Idle time computes the states in slices and paints the view again.
    paints = 0;
    QElapsedTimer clock;
    clock.start();
    while ((view->StatesPending() || paints == 0) && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(view->StatesPending());
    EXPECT_GT(paints, 0);
    QImage image = view->grab().toImage();
    int lastRow = buffer.LineTotal() - 1 - view->TopLine();
    QColor ink = InkColor(image, CellSpan(*view, lastRow, 0, 6), kWhite);
    EXPECT_TRUE(NearColor(ink, QColor(255, 0, 0))) << Describe(ink);
    EXPECT_EQ(view->EndStateOfLine(buffer.LineTotal() - 1), FreshStates(buffer).back());
    view->removeEventFilter(&counter);
}

// --- Long lines

struct LinePattern {
    const char* name;
    TextEncoding encoding;
    std::string period;  // ends at a tab stop: the line repeats itself every period
    int periodColumns;
};

const LinePattern kPatterns[] = {
    {"Windows1251", TextEncoding::Windows1251, "ab\t10k .op 'q'\t", 16},
    {"Utf8", TextEncoding::Utf8, "\xD0\x9E\xD0\xBC\t10k '\xD1\x8F'\t", 12},
};

std::string Repeat(const std::string& period, int times) {
    std::string line;
    line.reserve(period.size() * times);
    for (int index = 0; index < times; ++index)
        line += period;
    return line;
}

class LongLineTest : public LargeTextTest {
protected:
    // The strip of the visible row that shows line 1, at a horizontal offset, with the
    // selection given in characters of that line.
    QImage StripOfLine(CProbeView& shown, const std::string& line, TextEncoding encoding,
                       int offset, TextPosition selectFrom, TextPosition selectTo) {
        FillBuffer(buffer, {"title", line, "R2 1 0 5"});
        shown.BindBuffer(&buffer);
        shown.SetEncoding(encoding);
        SizeForText(shown, 6, 40);
        shown.ShowSelectionUnfocused(true);
        shown.SelectRange(selectFrom, selectTo);
        shown.ScrollToColumn(offset, true);
        QImage image = shown.grab().toImage();
        return image.copy(0, shown.LineHeight(), image.width(), shown.LineHeight());
    }
};

TEST_F(LongLineTest, AMillionCharacterLinePaintsAsAShortLineWithTheSameVisiblePart) {
    view->colouring = Colouring::Netlist;
    auto* windowed = new CWindowedView(&host);
    windowed->colouring = Colouring::Netlist;
    windowed->move(0, 450);
    windowed->show();
    for (const LinePattern& pattern : kPatterns) {
        SCOPED_TRACE(pattern.name);
        constexpr int kShortPeriods = 20;
        const int longPeriods = 1000000 / static_cast<int>(pattern.period.size()) + 1;
        const int bytes = static_cast<int>(pattern.period.size());
        std::string shortLine = Repeat(pattern.period, kShortPeriods);
        std::string longLine = Repeat(pattern.period, longPeriods);
        // The same phase of the pattern in both lines: at its start, in the middle and at the
        // end of the long line, and with part of the view selected.
        struct Place {
            const char* name;
            int shortPeriod;  // the first period shown of the short line
            int longPeriod;
        };
        const Place places[] = {
            {"start", 0, 0},
            {"middle", 3, longPeriods / 2},
            {"end", kShortPeriods - 3, longPeriods - 3},
        };
        for (const Place& place : places) {
            SCOPED_TRACE(place.name);
            auto strip = [&](CProbeView& shown, const std::string& line, int period) {
                TextPosition from{period * bytes + 1, 1};
                TextPosition to{(period + 1) * bytes + 3, 1};
                return StripOfLine(shown, line, pattern.encoding,
                                   period * pattern.periodColumns + 2, from, to);
            };
            QImage reference = strip(*view, shortLine, place.shortPeriod);
            ASSERT_EQ(view->HorizontalOffset(), place.shortPeriod * pattern.periodColumns + 2);
            // Coloured text and the selection are in the picture.
            QRect text(view->MarginWidth(), 0, 40 * view->CharWidth(), view->LineHeight());
            ASSERT_TRUE(HasInk(reference, text, kWhite));
            ASSERT_EQ(DominantColor(reference, text.adjusted(0, 0, -30 * view->CharWidth(), 0)),
                      kBlack);
            EXPECT_EQ(strip(*view, longLine, place.longPeriod), reference);
            EXPECT_EQ(strip(*windowed, longLine, place.longPeriod), reference);
            EXPECT_EQ(strip(*windowed, shortLine, place.shortPeriod), reference);
        }
    }
    windowed->UnbindBuffer();
}

TEST_F(LongLineTest, AHookWithManyRunsAtOnePlaceColoursANarrowWindow) {
    // The general hook may store any number of runs at one start, within three per character
    // of the line; a window of the line has room for three per character of the window.
    view->colouring = Colouring::Fixed;
    std::string line(300, 'x');
    view->fixedRuns.clear();
    for (int index = 0; index < 600; ++index)
        view->fixedRuns.push_back({200, index % 2 == 0 ? Keyword : Number});
    view->fixedRuns.push_back({100, Comment});  // out of order: dropped
    FillBuffer(buffer, {"title", line});
    view->BindBuffer(&buffer);
    SizeForText(*view, 4, 10);
    view->ScrollToColumn(195, true);
    QImage image = view->grab().toImage();
    // The last of the runs at 200 colours from there on; the characters before stay plain.
    QColor before = InkColor(image, CellSpan(*view, 1, 0, 5), kWhite);
    QColor after = InkColor(image, CellSpan(*view, 1, 5, 10), kWhite);
    EXPECT_TRUE(NearColor(before, view->RoleColor(NormalText))) << Describe(before);
    EXPECT_TRUE(NearColor(after, view->RoleColor(Number))) << Describe(after);
}

// The role that colours a position: that of the last run starting at or before it.
int RoleAt(const ColorRun* runs, int count, int position) {
    int role = NormalText;
    for (int index = 0; index < count && runs[index].start <= position; ++index)
        role = runs[index].role;
    return role;
}

TEST_F(LongLineTest, TheWindowedColouringKeepsTheRunsThatReachIntoTheWindow) {
    // Strings, a block comment, an error tail, and tokens long enough to reach across a window's
    // end, whose colour is decided only where they end.
    for (const std::string line : {"R1 10k \"a b\" .tran 1n /* x */ 5 Error here",
                                   "V1 .param long_token_name_here 2n2222 'q' .tran x"}) {
        SCOPED_TRACE(line);
        const int length = static_cast<int>(line.size());
        std::vector<ColorRun> whole(3 * line.size());
        int wholeCount = 0;
        LineScanState end = ClassifyNetlistLine(0, line.data(), length, whole.data(), wholeCount);
        ASSERT_GT(wholeCount, 4);
        // For every window, the runs are those of the whole line in force inside it, also when
        // the scan may stop early because the line's end state is not wanted.
        for (int from = 0; from <= length; ++from) {
            for (int to = from; to <= length; ++to) {
                for (bool wholeLine : {true, false}) {
                    std::vector<ColorRun> runs(3 * (to - from) + 1);
                    int count = 0;
                    LineScanState state = ClassifyNetlistLineWindow(
                        0, line.data(), length, from, to, runs.data(), count, wholeLine);
                    if (wholeLine) {
                        ASSERT_EQ(state, end);
                    }
                    for (int position = from; position < to; ++position)
                        ASSERT_EQ(RoleAt(runs.data(), count, position),
                                  RoleAt(whole.data(), wholeCount, position))
                            << from << ".." << to << " at " << position << " " << wholeLine;
                    for (int index = 0; index < count; ++index)
                        ASSERT_TRUE(runs[index].start >= from &&
                                    (runs[index].start < to || to == from))
                            << from << ".." << to;
                }
            }
        }
    }
}

// --- Widths

TEST(LineWidthCacheTest, TheWidestLineStaysKnownThroughChangesOfNarrowAndWideLines) {
    CLineWidthCache cache;
    cache.Create(50);
    std::vector<int> model(50, 0);
    std::mt19937 random(3);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int line = 0; line < 50; ++line)
        cache.Set(line, 0);
    for (int step = 0; step < 3000; ++step) {
        int line = pick(0, static_cast<int>(model.size()) - 1);
        int kind = pick(0, 9);
        // Mostly narrow lines, some far wider than the counting array.
        int width = kind < 7   ? pick(0, 120)
                    : kind < 8 ? pick(4000, 4200)
                    : kind < 9 ? pick(65530, 65540)
                               : pick(0, 1000000);
        if (pick(0, 5) == 0 && model.size() > 2) {
            cache.RemoveLines(line, 1);
            model.erase(model.begin() + line);
        } else if (pick(0, 5) == 0) {
            cache.InsertLines(line, 1);
            cache.Set(line, width);
            model.insert(model.begin() + line, width);
        } else {
            cache.Set(line, width);
            model[line] = width;
        }
        ASSERT_TRUE(cache.AllMeasured());
        ASSERT_EQ(cache.Widest(), *std::max_element(model.begin(), model.end())) << step;
        // Widths past what two bytes hold move with their lines.
        for (int index = 0; index < static_cast<int>(model.size()); ++index)
            ASSERT_EQ(cache.Get(index), model[index]) << "line " << index << ", step " << step;
    }
}

// --- The margin

TEST_F(LargeTextTest, TheMarginFitsTheLastLinesNumber) {
    Bind(NumberedLines(999), 12, 40);
    int cell = view->CharWidth();
    EXPECT_EQ(view->MarginWidth(), 3 * cell + cell / 5 + 1);
    int textLeft = view->TextToPoint({0, 0}).x();

    // The thousandth line widens the margin by one cell, and the text moves with it.
    view->GoTextEnd(false);
    Type(998, buffer.LineLength(998), "\r\n");
    EXPECT_EQ(view->MarginWidth(), 4 * cell + cell / 5 + 1);
    EXPECT_EQ(view->TextToPoint({0, 0}).x(), textLeft + cell);
    EXPECT_EQ(view->VisibleColumnCount(), 39);
    ASSERT_TRUE(buffer.DeleteRange(nullptr, 998, buffer.LineLength(998), 999, 0,
                                   EditAction::Delete));
    EXPECT_EQ(view->MarginWidth(), 3 * cell + cell / 5 + 1);
    EXPECT_EQ(view->VisibleColumnCount(), 40);

    // Seven digits stand whole in the margin.
    Bind(std::vector<std::string>(1000000, ""), 12, 40);
    view->GoTextEnd(false);
    QImage image = view->grab().toImage();
    int row = buffer.LineTotal() - 1 - view->TopLine();
    QRect margin = MarginRect(*view, row);
    int leftmost = margin.right(), rightmost = margin.left();
    for (int y = margin.top(); y <= margin.bottom(); ++y) {
        for (int x = margin.left(); x <= margin.right(); ++x) {
            // The digits are grey, darker than the margin and the white they stand on.
            if (image.pixelColor(x, y).red() < 200) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    QFontMetrics metrics(view->FontFor(false, false));
    int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_GT(rightmost - leftmost, 6 * digit - digit / 2) << leftmost << ".." << rightmost;
    EXPECT_GT(leftmost, margin.left());
}

TEST_F(LargeTextTest, AViewBoundWhileHiddenTakesItsScrollRangeWhenShown) {
    // A window being opened binds its view and sets its encoding before it shows: the range
    // of the horizontal bar is that of the encoding shown.
    QWidget hidden;
    auto* late = new CProbeView(&hidden);
    std::string cyrillic;
    for (int index = 0; index < 100; ++index)
        cyrillic += "\xD0\xAF";  // 100 characters in 200 bytes of UTF-8
    FillBuffer(buffer, {"title", cyrillic});
    late->BindBuffer(&buffer);
    late->SetEncoding(TextEncoding::Utf8);
    SizeForText(*late, 6, 40);
    hidden.show();
    QScrollBar* bar = OwnBar(*late, Qt::Horizontal);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 100 - late->VisibleColumnCount());
    EXPECT_TRUE(bar->isEnabled());
    late->UnbindBuffer();
}

// --- The caret

TEST_F(LargeTextTest, TheCaretShowsOverASelection) {
    Bind({"title", "abcdef ghijkl"}, 6, 40);
    GiveFocus(*view);
    // Selected leftwards: the caret stands on the first selected character.
    view->SetAnchorPoint({8, 1});
    view->PlaceCursor({2, 1});
    view->SelectRange({8, 1}, {2, 1});
    QRect caret = view->CaretRect();
    ASSERT_FALSE(caret.isEmpty());
    QImage image = view->grab().toImage();
    EXPECT_EQ(DominantColor(image, CellRect(*view, 1, 4)), kBlack);
    EXPECT_EQ(DominantColor(image, caret), kWhite);
    // With no selection under it, it is drawn in the text's colour.
    view->SelectRange({2, 1}, {2, 1});
    image = view->grab().toImage();
    EXPECT_EQ(DominantColor(image, view->CaretRect()), view->RoleColor(NormalText));
}

}  // namespace
