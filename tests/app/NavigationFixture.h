#pragma once

// The shell with a netlist folder, for the tests of going from place to place: lists of places,
// definitions, usages and completion.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleHints>
#include <QTest>

#include <utility>

#include "ChildFrame.h"
#include "MainFrame.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ShellFixture.h"

namespace kivra_test {

class NavigationFixture : public ShellFixture {
protected:
    void SetUp() override {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_NO_FATAL_FAILURE(ShellFixture::SetUp());
    }

    CSampleDoc* OpenFile(const QString& path) {
        auto* document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
        EXPECT_NE(document, nullptr) << path.toStdString();
        Settle();
        return document;
    }

    CMainFrame& Frame() const { return *application->MainFrame(); }

    CSampleDoc* ActiveDocument() const {
        CChildFrame* child = Frame().ActiveChild();
        return dynamic_cast<CSampleDoc*>(child != nullptr ? child->GetActiveDocument() : nullptr);
    }

    static CSampleView& ViewOf(CDocument* document) {
        auto* view = dynamic_cast<CSampleView*>(document->Views().front());
        EXPECT_NE(view, nullptr);
        return *view;
    }

    // The document's window in front, its view with the focus, as after a click into it.
    CSampleView& Focus(CDocument* document) {
        CSampleView& view = ViewOf(document);
        dynamic_cast<CChildFrame*>(CFrameWnd::FrameOf(&view))->ActivateFrame();
        QApplication::setActiveWindow(&Frame());
        view.setFocus();
        Settle();
        return view;
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = Frame().GetActiveView();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        Settle();
    }

    // As the window system delivers it: press, release, double click, release.
    static void DoubleClick(CSampleView& view, TextPosition position) {
        QPoint point = view.TextToPoint(position) + QPoint(1, view.LineHeight() / 2);
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, point);
        Settle();
    }

    static std::pair<TextPosition, TextPosition> Selection(const CSampleView& view) {
        TextPosition a = view.SelectionStart(), b = view.SelectionEnd();
        bool ordered = a.y < b.y || (a.y == b.y && a.x <= b.x);
        return ordered ? std::pair{a, b} : std::pair{b, a};
    }

    static std::string LineOf(const CSampleDoc& document, int line) {
        return std::string(document.buffer.LineText(line), document.buffer.LineLength(line));
    }
};

}  // namespace kivra_test
