#pragma once

// Shared pieces of the text view's layout and painting tests: a view that records its colouring
// calls, a buffer filled from lines, and readers of the pixels of a grabbed view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "NetlistColorizer.h"

namespace viewtest {

// Where there is no text; distinct from the white text background so that tests can tell them
// apart (both are the desktop's window colour by default).
inline const QColor kEmptyAreaColor(255, 255, 200);
inline const QColor kWhite(255, 255, 255);
inline const QColor kBlack(0, 0, 0);
inline const QColor kMarginColor(220, 220, 220);

enum class Colouring {
    None,      // the base view's hook: no runs, state 0
    Counting,  // no runs; the state is the previous one plus 1, so that the chain is visible
    Netlist,   // the netlist classifier
    Fixed,     // the runs in fixedRuns on every line
};

class CProbeView : public CCorvelTextView {
public:
    explicit CProbeView(QWidget* parent = nullptr) : CCorvelTextView(parent) {}

    struct HookCall {
        int line;
        bool withRuns;
    };

    Colouring colouring = Colouring::None;
    std::vector<ColorRun> fixedRuns;
    std::vector<HookCall> hookCalls;
    std::vector<std::pair<int, int>> marginCalls;  // (line, line number) per strip

    LineScanState ColorizeLine(LineScanState state, int line, ColorRun* runs,
                               int& runCount) override {
        hookCalls.push_back({line, runs != nullptr});
        switch (colouring) {
            case Colouring::None:
                return CCorvelTextView::ColorizeLine(state, line, runs, runCount);
            case Colouring::Counting:
                return state + 1;
            case Colouring::Netlist:
                return ClassifyNetlistLine(state, LineText(line), LineLength(line), runs, runCount);
            case Colouring::Fixed:
                if (runs != nullptr) {
                    std::copy(fixedRuns.begin(), fixedRuns.end(), runs);
                    runCount = static_cast<int>(fixedRuns.size());
                }
                return 0;
        }
        return 0;
    }

    QColor RoleColor(int role) const override {
        return role == EmptyArea ? kEmptyAreaColor : CCorvelTextView::RoleColor(role);
    }

    void PaintMargin(QPainter& painter, const QRect& rectangle, int line, int lineNumber) override {
        marginCalls.emplace_back(line, lineNumber);
        CCorvelTextView::PaintMargin(painter, rectangle, line, lineNumber);
    }

    void ShowSelectionUnfocused(bool shown) { selectionShownUnfocused = shown; }

    // Lines for which the hook was asked for the end state only (no run list).
    std::map<int, int> StateOnlyCalls() const {
        std::map<int, int> counts;
        for (const HookCall& call : hookCalls) {
            if (!call.withRuns)
                ++counts[call.line];
        }
        return counts;
    }
};

// The state at the end of every line of the buffer, coloured from the top by the netlist
// classifier: what any view's cache must hold.
inline std::vector<LineScanState> FreshStates(const CCorvelTextBuffer& buffer) {
    std::vector<LineScanState> states;
    LineScanState state = 0;
    for (int index = 0; index < buffer.LineTotal(); ++index) {
        int runCount = 0;
        state = ClassifyNetlistLine(state, buffer.LineText(index), buffer.LineLength(index),
                                    nullptr, runCount);
        states.push_back(state);
    }
    return states;
}

// Asks the view for every line's state, from line first to the end and then from the top, so
// that not only the lines in order are asked, against the fresh states.
inline ::testing::AssertionResult StatesMatch(CCorvelTextView& view,
                                              const std::vector<LineScanState>& fresh, int first) {
    int total = static_cast<int>(fresh.size());
    for (int step = 0; step < total; ++step) {
        int index = (first + step) % total;
        if (view.EndStateOfLine(index) != fresh[index])
            return ::testing::AssertionFailure() << "line " << index;
    }
    return ::testing::AssertionSuccess();
}

// Lines joined with CR LF: the buffer breaks lines there.
inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (index > 0)
            text += "\r\n";
        text += lines[index];
    }
    return text;
}

inline void FillBuffer(CCorvelTextBuffer& buffer, const std::vector<std::string>& lines) {
    buffer.Clear();
    buffer.CreateEmpty(LineEndingStyle::Win);
    std::string text = JoinLines(lines);
    int endLine = 0;
    int endCharacter = 0;
    ASSERT_TRUE(
        buffer.InsertAt(nullptr, 0, 0, text.c_str(), endLine, endCharacter, EditAction::Unknown));
}

inline std::vector<std::string> NumberedLines(int count, const std::string& stem = "line ") {
    std::vector<std::string> lines;
    for (int index = 0; index < count; ++index)
        lines.push_back(stem + std::to_string(index));
    return lines;
}

// Sizes the view so that its text area holds exactly this many lines and columns.
inline void SizeForText(CCorvelTextView& view, int lines, int columns) {
    QSize chrome = view.size() - view.ClientRect().size();
    view.resize(view.MarginWidth() + columns * view.CharWidth() + chrome.width(),
                lines * view.LineHeight() + chrome.height());
}

inline QScrollBar* OwnBar(CCorvelTextView& view, Qt::Orientation orientation) {
    for (QScrollBar* bar : view.findChildren<QScrollBar*>()) {
        if (bar->orientation() == orientation)
            return bar;
    }
    return nullptr;
}

inline void GiveFocus(CCorvelTextView& view) {
    QApplication::setActiveWindow(view.window());
    view.setFocus();
    if (!view.IsFocused()) {
        // Offscreen, the window may never become active: tell the view directly.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(&view, &focusIn);
    }
}

// --- Pixels

// The cell of a character column in a visible row of the text area.
inline QRect CellRect(CCorvelTextView& view, int row, int cell) {
    return {view.MarginWidth() + cell * view.CharWidth(), row * view.LineHeight(), view.CharWidth(),
            view.LineHeight()};
}

// The cells firstCell .. endCell - 1 of a visible row.
inline QRect CellSpan(CCorvelTextView& view, int row, int firstCell, int endCell) {
    QRect first = CellRect(view, row, firstCell);
    return {first.left(), first.top(), (endCell - firstCell) * view.CharWidth(), first.height()};
}

inline QRect MarginRect(CCorvelTextView& view, int row) {
    return {0, row * view.LineHeight(), view.MarginWidth(), view.LineHeight()};
}

inline int Distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// The most frequent colour in the rectangle: the background of a text cell.
inline QColor DominantColor(const QImage& image, const QRect& rectangle) {
    std::map<QRgb, int> counts;
    QRect inside = rectangle.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    }
    QRgb best = 0;
    int bestCount = -1;
    for (auto [rgb, count] : counts) {
        if (count > bestCount) {
            best = rgb;
            bestCount = count;
        }
    }
    return QColor::fromRgb(best);
}

// The pixel farthest from the background: the colour of the most fully covered glyph pixel, or
// the background itself when nothing was drawn on it.
inline QColor InkColor(const QImage& image, const QRect& rectangle, QColor background) {
    QColor ink = background;
    int farthest = 0;
    QRect inside = rectangle.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            int distance = Distance(pixel, background);
            if (distance > farthest) {
                farthest = distance;
                ink = pixel;
            }
        }
    }
    return ink;
}

inline bool HasInk(const QImage& image, const QRect& rectangle, QColor background) {
    return Distance(InkColor(image, rectangle, background), background) > 60;
}

// True when the colours agree within antialiasing's blending towards the background.
inline bool NearColor(QColor actual, QColor expected, int tolerance = 64) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

inline std::string Describe(QColor color) {
    return "rgb(" + std::to_string(color.red()) + ", " + std::to_string(color.green()) + ", " +
           std::to_string(color.blue()) + ")";
}

// A top-level window with the view inside it, so that resizing the view takes effect at once;
// the buffer outlives the view.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(1200, 900);
        view = new CProbeView(&host);
        host.show();
        view->show();
    }

    void Bind(const std::vector<std::string>& lines, int rows = 12, int columns = 40) {
        FillBuffer(buffer, lines);
        view->BindBuffer(&buffer);
        SizeForText(*view, rows, columns);
    }

    QImage Grab() { return view->grab().toImage(); }

    CCorvelTextBuffer buffer;
    QWidget host;
    CProbeView* view = nullptr;
};

}  // namespace viewtest
