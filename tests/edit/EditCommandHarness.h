#pragma once

// A shown, focused edit view over a buffer of its own, driven with Qt Test's key events.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "ScriptedModalHost.h"
#include "ViewTestSupport.h"

inline void PrintTo(const TextPosition& position, std::ostream* out) {
    *out << "(" << position.x << ", " << position.y << ")";
}

inline void PrintTo(EditAction action, std::ostream* out) {
    *out << "EditAction(" << static_cast<int>(action) << ")";
}

class EditViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        kivra_test::Show(view);
        QApplication::clipboard()->clear();
        kivra_test::Focus(view);
    }

    void TearDown() override {
        view.UnbindBuffer();
        QApplication::clipboard()->clear();
    }

    // The text (lines joined by CR LF) bound to the view with an empty history; caret at (0, 0).
    CCorvelTextBuffer& Load(const std::string& text) {
        view.UnbindBuffer();
        buffer = std::make_unique<CCorvelTextBuffer>();
        buffer->CreateEmpty(LineEndingStyle::Win);
        int endLine = 0, endCharacter = 0;
        EXPECT_TRUE(buffer->RawInsert(nullptr, 0, 0, text.c_str(), endLine, endCharacter));
        EXPECT_EQ(buffer->HistorySize(), 0);
        buffer->MarkModified(false);
        view.BindBuffer(buffer.get());
        return *buffer;
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int line = 0; line < buffer->LineTotal(); ++line)
            lines.emplace_back(buffer->LineText(line), buffer->LineLength(line));
        return lines;
    }

    // Caret at caret, selection from anchor to it, as a keyboard selection leaves them.
    void Place(TextPosition anchor, TextPosition caret) { kivra_test::Place(view, anchor, caret); }
    void Place(TextPosition caret) { Place(caret, caret); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&view, key, modifiers);
    }
    // ASCII text, one key press per character.
    void Type(const char* text) { QTest::keyClicks(&view, QString::fromLatin1(text)); }
    // One key press that carries the text, as a keyboard layout would deliver it.
    void TypeUnicode(const QString& text) {
        QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, text, Qt::NoModifier);
    }

    bool Enabled(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui);
        return ui.IsEnabled();
    }
    bool Checked(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui);
        return ui.IsChecked();
    }
    std::string MenuText(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui);
        return ui.Text();
    }
    // A status-bar pane is updated without the menus' default of disabling unhandled commands.
    bool PaneEnabled(int id) {
        CCmdUI ui(id);
        view.RouteUpdateCommandUI(ui, false);
        return ui.IsEnabled();
    }

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

    // Answers the message boxes the commands show, and keeps them.
    kivra_test::ScriptedModalHost host;
    std::unique_ptr<CCorvelTextBuffer> buffer;
    CCorvelEditView view;
};
