#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <string>
#include <vector>

#include "ActionCmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "View.h"

namespace {

using Log = std::vector<std::string>;

// A view with a few commands; keys that reach its own key handling are logged too.
class CKeyedView : public CView {
public:
    explicit CKeyedView(Log& log, QWidget* parent = nullptr) : CView(parent), log(log) {
        SetKeyTable({
            {Qt::Key_Left, ID_STEP_CHAR_LEFT},
            {Qt::SHIFT | Qt::Key_Left, ID_STEP_CHAR_LEFT_EXTEND},
            {Qt::Key_Tab, ID_EDIT_TAB},
            {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
            {Qt::Key_F9, ID_ANALYSIS_START},
        });
    }

    bool hasSelection = true;

    static const CCommandTable& ClassCommands() {
        static const CCommandTable table =
            CCommandTable::Builder<CKeyedView>(CView::ClassCommands())
                .OnRange(ID_CARET_FIRST, ID_CARET_LAST, &CKeyedView::OnCaret)
                .On(ID_EDIT_TAB, &CKeyedView::OnTab)
                .On(ID_EDIT_COPY, &CKeyedView::OnCopy)
                .OnUpdate(ID_EDIT_COPY, &CKeyedView::OnUpdateCopy)
                .Build();
        return table;
    }

protected:
    const CCommandTable& Commands() const override { return ClassCommands(); }

    void keyPressEvent(QKeyEvent* event) override {
        // Qt Test presses the modifiers of a combination as keys of their own.
        const int key = event->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt)
            log.push_back("key " + std::to_string(key));
        CView::keyPressEvent(event);
    }

private:
    void OnCaret(int id) { log.push_back("caret " + std::to_string(id)); }
    void OnTab() { log.push_back("tab"); }
    void OnCopy() { log.push_back("copy"); }
    void OnUpdateCopy(CCmdUI& ui) { ui.Enable(hasSelection); }

    Log& log;
};

// Behind the view, as its document would be.
class CBehindView : public CCmdTarget {
public:
    explicit CBehindView(Log& log) : log(log) {}

    static const CCommandTable& ClassCommands() {
        static const CCommandTable table =
            CCommandTable::Builder<CBehindView>(CCmdTarget::ClassCommands())
                .On(ID_ANALYSIS_START, &CBehindView::OnAnalysisStart)
                .Build();
        return table;
    }

protected:
    const CCommandTable& Commands() const override { return ClassCommands(); }

private:
    void OnAnalysisStart() { log.push_back("analysis"); }

    Log& log;
};

// A window with the view and another focusable widget beside it, and a window-wide action on Ctrl+C
// and F9 as a main window's menu would have.
class ViewKeys : public ::testing::Test {
protected:
    ViewKeys() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        layout->addWidget(other);
        other->setFocusPolicy(Qt::StrongFocus);
        view->SetNextCommandTarget(&behind);
        copyAction->setShortcut(Qt::CTRL | Qt::Key_C);
        window.addAction(copyAction);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        view->setFocus();
    }

    Log log;
    CBehindView behind{log};
    QWidget window;
    CKeyedView* view = new CKeyedView(log, &window);
    QWidget* other = new QWidget(&window);
    QAction* copyAction = new QAction(&window);
};

TEST_F(ViewKeys, MappedKeyRunsItsCommandInsteadOfTheKeyHandler) {
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(log, (Log{"caret " + std::to_string(ID_STEP_CHAR_LEFT),
                        "caret " + std::to_string(ID_STEP_CHAR_LEFT_EXTEND)}));
}

TEST_F(ViewKeys, UnmappedKeyReachesTheKeyHandler) {
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(log, Log{"key " + std::to_string(Qt::Key_Right)});
}

TEST_F(ViewKeys, MappedTabRunsItsCommandAndKeepsTheFocus) {
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(log, Log{"tab"});
    EXPECT_TRUE(view->hasFocus());
}

TEST_F(ViewKeys, MappedKeyWinsOverAWindowShortcut) {
    QSignalSpy triggered(copyAction, &QAction::triggered);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(log, Log{"copy"});
    EXPECT_EQ(triggered.count(), 0);
}

TEST_F(ViewKeys, WindowShortcutStillWorksOutsideTheView) {
    QSignalSpy triggered(copyAction, &QAction::triggered);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(ViewKeys, MappedKeyOfADisabledCommandIsSwallowed) {
    view->hasSelection = false;
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(log.empty());
}

TEST_F(ViewKeys, CommandTheViewLacksGoesToTheTargetBehindIt) {
    QTest::keyClick(view, Qt::Key_F9);
    EXPECT_EQ(log, Log{"analysis"});
}

TEST(ActionCmdUI, PutsTheUpdateStateOnTheAction) {
    QAction action(QStringLiteral("old"));
    CActionCmdUI ui(ID_EDIT_UNDO, action);
    ui.Enable(false);
    ui.SetCheck(CCmdUI::Checked);
    ui.SetText("&Отменить ввод\tCtrl+Z");
    EXPECT_FALSE(action.isEnabled());
    EXPECT_TRUE(action.isChecked());
    EXPECT_EQ(action.text(), QStringLiteral("&Отменить ввод\tCtrl+Z"));
}

}  // namespace
