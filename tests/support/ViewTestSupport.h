#pragma once

// What the tests of the views share: a view shown and focused on the offscreen platform with a
// caret that does not blink, and a selection placed as a keyboard selection leaves it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleHints>
#include <QTest>

#include "CorvelTextView.h"

namespace kivra_test {

// The offscreen platform warns at every mouse grab that it cannot grab; the tests grab often.
inline void QuietMouseGrabWarnings() {
    static QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (previous != nullptr &&
                !message.contains(QLatin1String("does not support grabbing the mouse")))
                previous(type, context, message);
        });
}

// Gives the view the keyboard focus; the caret shows while it has it.
inline void Focus(CCorvelTextView& view) {
    QApplication::setActiveWindow(view.window());
    view.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(view.IsFocused());
}

// Shows the view at a fixed size. The caret does not blink, so nothing changes behind the test.
inline void Show(CCorvelTextView& view) {
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    QuietMouseGrabWarnings();
    view.resize(640, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
}

// Caret at caret, selection from anchor to it, as a keyboard selection leaves them.
inline void Place(CCorvelTextView& view, TextPosition anchor, TextPosition caret) {
    view.PlaceCursor(caret);
    view.SetAnchorPoint(anchor);
    view.SelectRange(anchor, caret);
}

}  // namespace kivra_test
