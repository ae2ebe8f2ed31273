#pragma once

// A shown, focused text view over a buffer of its own, driven with Qt Test's key and mouse events.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CorvelTextBuffer.h"
#include "CorvelTextView.h"
#include "ViewTestSupport.h"

inline void PrintTo(const TextPosition& position, std::ostream* out) {
    *out << "(" << position.x << ", " << position.y << ")";
}

// A text view that shows the tests its mouse-selection state and counts the drags it would begin.
class CProbeTextView : public CCorvelTextView {
public:
    bool MouseSelecting() const { return mouseSelecting; }
    bool WordSelecting() const { return wordSelecting; }
    bool LineSelecting() const { return lineSelecting; }
    bool AutoScrollRunning() const { return scrollTimer.isActive(); }
    bool DragPending() const { return dragPending; }
    int dragsBegun = 0;

protected:
    // Counts the drags the view begins and lets none run: a real drag waits for the mouse.
    QMimeData* MakeDragData() override {
        ++dragsBegun;
        return nullptr;
    }
};

// The text as lines "line 0" ... joined by CR LF.
inline std::string NumberedLines(int count) {
    std::string text;
    for (int line = 0; line < count; ++line) {
        if (line > 0)
            text += "\r\n";
        text += "line " + std::to_string(line);
    }
    return text;
}

class TextViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        kivra_test::Show(view);
        kivra_test::Focus(view);
        // The auto-scroll timer reads this point instead of the mouse's: inside, it scrolls
        // nothing.
        view.autoScrollPointForTesting = view.ClientRect().center();
    }

    void TearDown() override { view.UnbindBuffer(); }

    static void Focus(CCorvelTextView& target) { kivra_test::Focus(target); }

    // Text with CR LF breaks, bound to the view; the caret at (0, 0).
    CCorvelTextBuffer& Load(const std::string& text, CCorvelTextView& target,
                            LineEndingStyle style = LineEndingStyle::Win) {
        auto fresh = std::make_unique<CCorvelTextBuffer>();
        fresh->CreateEmpty(style);
        int endLine = 0, endCharacter = 0;
        EXPECT_TRUE(
            fresh->InsertAt(nullptr, 0, 0, text.c_str(), endLine, endCharacter, EditAction::Paste));
        target.BindBuffer(fresh.get());
        buffers.push_back(std::move(fresh));
        return *buffers.back();
    }
    CCorvelTextBuffer& Load(const std::string& text, LineEndingStyle style = LineEndingStyle::Win) {
        return Load(text, view, style);
    }

    // Caret at caret, selection from anchor to it, as a keyboard selection would leave them.
    void Place(TextPosition anchor, TextPosition caret) { kivra_test::Place(view, anchor, caret); }
    void Place(TextPosition caret) { Place(caret, caret); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&view, key, modifiers);
    }

    // The left edge of the character's cell, halfway down its line.
    QPoint At(TextPosition position) {
        return view.TextToPoint(position) + QPoint(0, view.LineHeight() / 2);
    }
    // In the selection margin, halfway down the line.
    QPoint InMargin(int line) { return QPoint(view.MarginWidth() / 2, At({0, line}).y()); }

    TextPosition OrderedStart() {
        TextPosition start, end;
        view.SelectionBounds(start, end);
        return start;
    }
    TextPosition OrderedEnd() {
        TextPosition start, end;
        view.SelectionBounds(start, end);
        return end;
    }

    bool Enabled(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui);
        return ui.IsEnabled();
    }
    std::string PaneText(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui, false);
        return ui.Text();
    }

    std::vector<std::unique_ptr<CCorvelTextBuffer>> buffers;
    CProbeTextView view;
};
