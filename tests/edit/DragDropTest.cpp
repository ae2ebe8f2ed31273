// Dragging text within and between edit views, and dropping text that comes from elsewhere.
//
// Offscreen, QDrag::exec ends at once without a drop, so most tests play the window system's part
// of a drag themselves: the source view runs the steps of BeginDrag around the modal loop
// (CDragView::RunDrag), and the loop is replaced by constructed QDragEnterEvent, QDragMoveEvent,
// QDragLeaveEvent and QDropEvent sent to the target view. The tests that use the real mouse say so.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QStyleHints>
#include <QTest>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "EditDropTargetImpl.h"
#include "ScriptedModalHost.h"
#include "ViewTestSupport.h"

inline void PrintTo(const TextPosition& position, std::ostream* out) {
    *out << "(" << position.x << ", " << position.y << ")";
}

namespace {

// An edit view that shows the tests its drag state and runs a drag of its selection.
class CDragView : public CCorvelEditView {
public:
    QRect DropCaretRect() const { return dropCaretRect; }
    TextPosition SavedCaret() const { return savedCaret; }
    bool DragPending() const { return dragPending; }
    bool DraggingFromHere() const { return draggingFromHere; }
    int dragsStarted = 0;

    // BeginDrag with its modal loop replaced by loop, which gets the dragged data and the effects
    // this view permits and answers the effect the drop target accepted.
    Qt::DropAction RunDrag(
        const std::function<Qt::DropAction(const QMimeData*, Qt::DropActions)>& loop) {
        std::unique_ptr<QMimeData> data(MakeDragData());
        if (data == nullptr)
            return Qt::IgnoreAction;
        StartDragFromHere();
        Qt::DropAction effect = loop(data.get(), AllowedDragEffects());
        if (effect != Qt::IgnoreAction)
            DragFinished(effect);
        EndDrag();
        return effect;
    }

protected:
    QMimeData* MakeDragData() override {
        ++dragsStarted;
        return CCorvelEditView::MakeDragData();
    }
};

// What a drag event came back with: accepted or not, and the action set on it.
struct Answer {
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
    Qt::DropAction Effect() const { return accepted ? action : Qt::IgnoreAction; }
};

Answer Enter(QWidget& target, const QMimeData* data, Qt::DropActions possible, QPoint point,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QDragEnterEvent event(point, possible, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(&target, &event);
    return {event.isAccepted(), event.dropAction()};
}

Answer Move(QWidget& target, const QMimeData* data, Qt::DropActions possible, QPoint point,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QDragMoveEvent event(point, possible, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(&target, &event);
    return {event.isAccepted(), event.dropAction()};
}

Answer Drop(QWidget& target, const QMimeData* data, Qt::DropActions possible, QPoint point,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QDropEvent event(point, possible, data, Qt::NoButton, modifiers);
    QApplication::sendEvent(&target, &event);
    return {event.isAccepted(), event.dropAction()};
}

void Leave(QWidget& target) {
    QDragLeaveEvent event;
    QApplication::sendEvent(&target, &event);
}

// Enter, one move and the drop at one point: the effect the source is told.
Qt::DropAction DropAt(QWidget& target, const QMimeData* data, Qt::DropActions possible,
                      QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Enter(target, data, possible, point, modifiers);
    Move(target, data, possible, point, modifiers);
    return Drop(target, data, possible, point, modifiers).Effect();
}

// A small netlist; "out" of line 1 stands at characters 6 to 9.
const std::string kNetlist =
    "* filter\r\nR1 in out 1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in 0 AC 1\r\n.end";

class DragDrop : public ::testing::Test {
protected:
    void SetUp() override {
        for (CDragView* each : {&view, &other})
            kivra_test::Show(*each);
        kivra_test::Focus(view);
    }

    void TearDown() override {
        view.UnbindBuffer();
        other.UnbindBuffer();
    }

    // A buffer of its own holding text with CR LF breaks, bound to target.
    CCorvelTextBuffer& Load(const std::string& text, CCorvelTextView& target) {
        auto fresh = std::make_unique<CCorvelTextBuffer>();
        fresh->CreateEmpty(LineEndingStyle::Win);
        int endLine = 0, endCharacter = 0;
        EXPECT_TRUE(
            fresh->InsertAt(nullptr, 0, 0, text.c_str(), endLine, endCharacter, EditAction::Paste));
        target.BindBuffer(fresh.get());
        buffers.push_back(std::move(fresh));
        return *buffers.back();
    }

    static std::string Text(const CCorvelTextBuffer& buffer) {
        int last = buffer.LineTotal() - 1;
        std::string text;
        buffer.CopyRange(0, 0, last, buffer.LineLength(last), text);
        return text;
    }

    static void Select(CCorvelTextView& target, TextPosition anchor, TextPosition caret) {
        target.PlaceCursor(caret);
        target.SetAnchorPoint(anchor);
        target.SelectRange(anchor, caret);
    }

    static void ExpectSelection(CCorvelTextView& target, TextPosition start, TextPosition end) {
        TextPosition first, second;
        target.SelectionBounds(first, second);
        EXPECT_EQ(first, start);
        EXPECT_EQ(second, end);
    }

    // Inside the cell of the character at position, halfway down its line.
    static QPoint At(CCorvelTextView& target, TextPosition position) {
        return target.TextToPoint(position) + QPoint(1, target.LineHeight() / 2);
    }

    // Drags the selection of view onto position of target and drops it there.
    Qt::DropAction DragTo(CDragView& target, TextPosition position,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return view.RunDrag([&](const QMimeData* data, Qt::DropActions possible) {
            return DropAt(target, data, possible, At(target, position), modifiers);
        });
    }

    // Answers the message boxes of a drop, and keeps them.
    kivra_test::ScriptedModalHost host;
    std::vector<std::unique_ptr<CCorvelTextBuffer>> buffers;
    CDragView view;
    CDragView other;
};

TEST_F(DragDrop, MoveInsertsAtTheDropPointAndRemovesTheTextFromItsShiftedPlace) {
    struct Case {
        const char* name;
        TextPosition start, end, drop;
        std::string expected;
        TextPosition selectedStart, selectedEnd;
    };
    const Case cases[] = {
        {"a word three lines down",
         {6, 1},
         {9, 1},
         {6, 4},
         "* filter\r\nR1 in  1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in out0 AC 1\r\n.end",
         {6, 4},
         {9, 4}},
        {"a word to the start of its own line",
         {6, 1},
         {9, 1},
         {0, 1},
         "* filter\r\noutR1 in  1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in 0 AC 1\r\n.end",
         {0, 1},
         {3, 1}},
        {"a word further along its own line",
         {6, 1},
         {9, 1},
         {11, 1},
         "* filter\r\nR1 in  1outk\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in 0 AC 1\r\n.end",
         {8, 1},
         {11, 1}},
        {"two lines' worth up to the start of the text",
         {3, 2},
         {3, 3},
         {0, 0},
         "out 0 1u\r\nL1 * filter\r\nR1 in out 1k\r\nC1 out mid 10m\r\nV1 in 0 AC 1\r\n.end",
         {0, 0},
         {3, 1}},
        {"two lines' worth down to the end of the text",
         {3, 2},
         {3, 3},
         {4, 5},
         "* filter\r\nR1 in out 1k\r\nC1 out mid 10m\r\nV1 in 0 AC 1\r\n.endout 0 1u\r\nL1 ",
         {4, 4},
         {3, 5}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        CCorvelTextBuffer& buffer = Load(kNetlist, view);
        Select(view, each.start, each.end);
        EXPECT_EQ(DragTo(view, each.drop), Qt::MoveAction);
        EXPECT_EQ(Text(buffer), each.expected);
        ExpectSelection(view, each.selectedStart, each.selectedEnd);
        EXPECT_EQ(view.CaretPosition(), each.selectedEnd);
        EXPECT_FALSE(view.DraggingFromHere());
        view.UnbindBuffer();
    }
}

TEST_F(DragDrop, MoveIsUndoneInOneStep) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    int before = buffer.HistoryPosition();
    Select(view, {6, 1}, {9, 1});
    ASSERT_EQ(DragTo(view, {6, 4}), Qt::MoveAction);
    view.OnEditUndo();
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistoryPosition(), before);
}

TEST_F(DragDrop, MoveIsRecordedAsDragAndDrop) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    int before = buffer.HistorySize();
    Select(view, {6, 1}, {9, 1});
    ASSERT_EQ(DragTo(view, {6, 4}), Qt::MoveAction);
    ASSERT_EQ(buffer.HistorySize(), before + 2);
    const auto& insertion = buffer.HistoryRecord(before);
    const auto& deletion = buffer.HistoryRecord(before + 1);
    EXPECT_TRUE(insertion.IsInsertion());
    EXPECT_TRUE(insertion.StartsGroup());
    EXPECT_EQ(insertion.action, EditAction::DragAndDrop);
    EXPECT_FALSE(deletion.IsInsertion());
    EXPECT_FALSE(deletion.StartsGroup());
    EXPECT_EQ(deletion.action, EditAction::DragAndDrop);
}

TEST_F(DragDrop, CtrlAtTheDropCopies) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    Select(view, {6, 1}, {9, 1});
    EXPECT_EQ(DragTo(view, {6, 4}, Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(
        Text(buffer),
        "* filter\r\nR1 in out 1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in out0 AC 1\r\n.end");
    ExpectSelection(view, {6, 4}, {9, 4});
    view.OnEditUndo();
    EXPECT_EQ(Text(buffer), kNetlist);
}

TEST_F(DragDrop, DropOntoTheDraggedTextItselfChangesNothing) {
    struct Case {
        const char* name;
        TextPosition anchor, caret, drop;
    };
    const Case cases[] = {
        {"in the middle", {6, 1}, {9, 1}, {7, 1}},
        {"on its first character", {6, 1}, {9, 1}, {6, 1}},
        {"on its last character", {6, 1}, {9, 1}, {8, 1}},
        {"selected backwards", {9, 1}, {6, 1}, {7, 1}},
        {"inside a selection over lines", {3, 1}, {2, 3}, {0, 2}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        CCorvelTextBuffer& buffer = Load(kNetlist, view);
        int history = buffer.HistorySize();
        Select(view, each.anchor, each.caret);
        // The drop reports false, so the source is told nothing was accepted.
        EXPECT_EQ(DragTo(view, each.drop), Qt::IgnoreAction);
        EXPECT_EQ(Text(buffer), kNetlist);
        EXPECT_EQ(buffer.HistorySize(), history);
        EXPECT_EQ(view.CaretPosition(), each.drop);
        EXPECT_FALSE(view.HasSelection());
        view.UnbindBuffer();
    }
}

TEST_F(DragDrop, DropRightAfterTheDraggedTextRecordsAMoveThatChangesNothing) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    int before = buffer.HistoryPosition();
    Select(view, {6, 1}, {9, 1});
    EXPECT_EQ(DragTo(view, {9, 1}), Qt::MoveAction);
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistoryPosition(), before + 2);
    ExpectSelection(view, {6, 1}, {9, 1});
    view.OnEditUndo();
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistoryPosition(), before);
}

TEST_F(DragDrop, MoveBetweenTwoViewsOfOneBufferIsOneUndoStep) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    other.BindBuffer(&buffer);
    int before = buffer.HistoryPosition();
    Select(view, {6, 1}, {9, 1});
    EXPECT_EQ(DragTo(other, {6, 4}), Qt::MoveAction);
    EXPECT_EQ(Text(buffer),
              "* filter\r\nR1 in  1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in out0 AC 1\r\n.end");
    ExpectSelection(other, {6, 4}, {9, 4});
    other.OnEditUndo();
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistoryPosition(), before);
}

TEST_F(DragDrop, DropOntoTheDraggedTextFromTheOtherPaneChangesNothing) {
    // Two panes of one window: two views of one buffer. The dragged text is the source's
    // selection; the target pane's own selection, elsewhere, does not count.
    struct Case {
        const char* name;
        TextPosition anchor, caret, drop;
    };
    const Case cases[] = {
        {"in the middle", {6, 1}, {9, 1}, {7, 1}},
        {"on its first character", {6, 1}, {9, 1}, {6, 1}},
        {"on its last character", {6, 1}, {9, 1}, {8, 1}},
        {"inside a selection over lines", {3, 1}, {2, 3}, {0, 2}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        CCorvelTextBuffer& buffer = Load(kNetlist, view);
        other.BindBuffer(&buffer);
        int history = buffer.HistorySize();
        Select(view, each.anchor, each.caret);
        Select(other, {0, 4}, {2, 4});
        EXPECT_EQ(DragTo(other, each.drop), Qt::IgnoreAction);
        EXPECT_EQ(Text(buffer), kNetlist);
        EXPECT_EQ(buffer.HistorySize(), history);
        other.UnbindBuffer();
        view.UnbindBuffer();
    }
}

TEST_F(DragDrop, MoveToAnotherDocumentRecordsAStepInEachBuffer) {
    CCorvelTextBuffer& source = Load(kNetlist, view);
    CCorvelTextBuffer& target = Load("X1 a b sub\r\n.end", other);
    int sourceHistory = source.HistorySize(), targetHistory = target.HistorySize();
    Select(view, {6, 1}, {9, 1});
    EXPECT_EQ(DragTo(other, {0, 1}), Qt::MoveAction);
    EXPECT_EQ(Text(source),
              "* filter\r\nR1 in  1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in 0 AC 1\r\n.end");
    EXPECT_EQ(Text(target), "X1 a b sub\r\nout.end");
    EXPECT_EQ(source.HistorySize(), sourceHistory + 1);
    EXPECT_EQ(target.HistorySize(), targetHistory + 1);
}

TEST_F(DragDrop, ReadOnlyViewRefusesTheDrop) {
    CCorvelTextBuffer& source = Load(kNetlist, view);
    CCorvelTextBuffer& target = Load("X1 a b sub\r\n.end", other);
    target.MakeReadOnly(true);
    int sourceHistory = source.HistorySize(), targetHistory = target.HistorySize();
    Select(view, {6, 1}, {9, 1});
    Qt::DropAction effect = view.RunDrag([&](const QMimeData* data, Qt::DropActions possible) {
        QPoint point = At(other, {0, 1});
        Enter(other, data, possible, point);
        for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
            EXPECT_FALSE(Move(other, data, possible, point, modifiers).accepted);
            EXPECT_FALSE(other.DropCaretShown());
            EXPECT_TRUE(other.DropCaretRect().isEmpty());
        }
        Answer dropped = Drop(other, data, possible, point);
        EXPECT_FALSE(dropped.accepted);
        // The drop target itself, as the drop event calls it.
        EXPECT_FALSE(other.DropTarget()->Drop(data, point));
        return dropped.Effect();
    });
    EXPECT_EQ(effect, Qt::IgnoreAction);
    EXPECT_EQ(Text(source), kNetlist);
    EXPECT_EQ(Text(target), "X1 a b sub\r\n.end");
    EXPECT_EQ(source.HistorySize(), sourceHistory);
    EXPECT_EQ(target.HistorySize(), targetHistory);
}

TEST_F(DragDrop, DataWithoutTextIsRefused) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    int history = buffer.HistorySize();
    QMimeData data;
    data.setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    QPoint point = At(view, {2, 2});
    // Qt events: the enter is refused, so no move or drop reaches the view afterwards.
    EXPECT_FALSE(Enter(view, &data, possible, point).accepted);
    EXPECT_FALSE(view.DropCaretShown());
    // The drop target's notifications and the view's insertion, as a platform would call them.
    EXPECT_EQ(view.DropTarget()->DragOver(&data, false, point), Qt::IgnoreAction);
    EXPECT_FALSE(view.DropCaretShown());
    EXPECT_FALSE(view.DropTarget()->Drop(&data, point));
    EXPECT_FALSE(view.InsertDroppedText(&data, point));
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistorySize(), history);
}

TEST_F(DragDrop, DragFromAReadOnlyViewCopiesWithOrWithoutCtrl) {
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        SCOPED_TRACE(modifiers == Qt::NoModifier ? "without Ctrl" : "with Ctrl");
        CCorvelTextBuffer& source = Load(kNetlist, view);
        source.MakeReadOnly(true);
        CCorvelTextBuffer& target = Load("X1 a b sub\r\n.end", other);
        EXPECT_EQ(view.AllowedDragEffects(), Qt::DropActions(Qt::CopyAction));
        Select(view, {6, 1}, {9, 1});
        EXPECT_EQ(DragTo(other, {0, 1}, modifiers), Qt::CopyAction);
        EXPECT_EQ(Text(source), kNetlist);
        EXPECT_EQ(Text(target), "X1 a b sub\r\nout.end");
        view.UnbindBuffer();
        other.UnbindBuffer();
    }
}

TEST_F(DragDrop, DropCaretFollowsThePointerInPlaceOfTheCaret) {
    Load(kNetlist, view);
    view.PlaceCursor({1, 0});
    ASSERT_FALSE(view.CaretRect().isEmpty());
    std::unique_ptr<QMimeData> data(CCorvelTextView::MakeTextData("x", TextEncoding::Windows1251));
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    Enter(view, data.get(), possible, At(view, {3, 2}));
    for (TextPosition position : {TextPosition{3, 2}, TextPosition{5, 4}, TextPosition{12, 1}}) {
        SCOPED_TRACE(::testing::PrintToString(position));
        // In the right half of the cell: the drop goes before the character all the same.
        QPoint point = At(view, position) + QPoint(view.CharWidth() - 3, 0);
        EXPECT_EQ(Move(view, data.get(), possible, point).Effect(), Qt::MoveAction);
        EXPECT_TRUE(view.DropCaretShown());
        EXPECT_EQ(view.DropPosition(), view.PointToText(point));
        EXPECT_EQ(view.DropPosition(), position);
        EXPECT_EQ(view.DropCaretRect(),
                  QRect(view.TextToPoint(position), QSize(2, view.LineHeight())));
        EXPECT_TRUE(view.CaretRect().isEmpty());
        EXPECT_EQ(view.SavedCaret(), (TextPosition{1, 0}));
    }
    Leave(view);
}

TEST_F(DragDrop, LeavingRestoresTheCaret) {
    Load(kNetlist, view);
    view.PlaceCursor({1, 0});
    QRect caret = view.CaretRect();
    ASSERT_FALSE(caret.isEmpty());
    std::unique_ptr<QMimeData> data(CCorvelTextView::MakeTextData("x", TextEncoding::Windows1251));
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    Enter(view, data.get(), possible, At(view, {3, 2}));
    Move(view, data.get(), possible, At(view, {3, 2}));
    ASSERT_TRUE(view.DropCaretShown());
    Leave(view);
    EXPECT_FALSE(view.DropCaretShown());
    EXPECT_TRUE(view.DropCaretRect().isEmpty());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{1, 0}));
    EXPECT_EQ(view.CaretRect(), caret);
}

TEST_F(DragDrop, DropHidesTheDropCaretAndShowsTheCaretAfterTheInsertedText) {
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    std::unique_ptr<QMimeData> data(CCorvelTextView::MakeTextData("x", TextEncoding::Windows1251));
    EXPECT_EQ(DropAt(view, data.get(), Qt::CopyAction | Qt::MoveAction, At(view, {3, 2})),
              Qt::MoveAction);
    EXPECT_EQ(buffer.LineLength(2), 12);
    EXPECT_FALSE(view.DropCaretShown());
    EXPECT_TRUE(view.DropCaretRect().isEmpty());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{4, 2}));
    EXPECT_EQ(view.CaretRect(), QRect(view.TextToPoint({4, 2}), QSize(2, view.LineHeight())));
}

TEST_F(DragDrop, DropCaretLeftOfTheHorizontalOffsetIsNotDrawn) {
    // The view's own operation, as the drop target calls it.
    Load(kNetlist, view);
    view.ScrollToColumn(4, true);
    view.ShowDropCaret(QPoint(0, view.LineHeight() / 2));
    ASSERT_LT(view.DropPosition().x, view.HorizontalOffset());
    EXPECT_TRUE(view.DropCaretShown());
    EXPECT_TRUE(view.DropCaretRect().isEmpty());
    EXPECT_TRUE(view.CaretRect().isEmpty());
}

TEST_F(DragDrop, DraggingNearAnEdgeScrollsOneStepPerNotification) {
    std::string text;
    for (int line = 0; line < 100; ++line)
        text += "line " + std::to_string(line) + " " + std::string(200, 'x') + "\r\n";
    Load(text, view);
    std::unique_ptr<QMimeData> data(CCorvelTextView::MakeTextData("x", TextEncoding::Windows1251));
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    const QRect client = view.ClientRect();
    const int middleX = client.center().x(), middleY = client.center().y();
    struct Case {
        const char* name;
        QPoint point;
        int lines, columns;  // the scroll of one notification
    };
    // The edges of the text area, 5 pixels wide; the bottom and right bounds are exclusive.
    const int top = client.top(), bottom = client.top() + client.height();
    const int left = client.left() + view.MarginWidth(), right = client.left() + client.width();
    const Case cases[] = {
        {"4 pixels below the top", {middleX, top + 4}, -1, 0},
        {"5 pixels below the top", {middleX, top + 5}, 0, 0},
        {"5 pixels above the bottom", {middleX, bottom - 5}, 1, 0},
        {"6 pixels above the bottom", {middleX, bottom - 6}, 0, 0},
        {"4 pixels right of the margin", {left + 4, middleY}, 0, -1},
        {"5 pixels right of the margin", {left + 5, middleY}, 0, 0},
        {"5 pixels left of the right side", {right - 5, middleY}, 0, 1},
        {"6 pixels left of the right side", {right - 6, middleY}, 0, 0},
        {"in the top left corner", {left + 2, top + 2}, -1, 0},
        {"in the middle", {middleX, middleY}, 0, 0},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        view.ScrollToTopLine(50, true);
        view.ScrollToColumn(10, true);
        // The enter is one notification, and every move another.
        Enter(view, data.get(), possible, each.point);
        for (int step = 1; step <= 4; ++step) {
            if (step > 1)
                Move(view, data.get(), possible, each.point);
            EXPECT_EQ(view.TopLine(), 50 + step * each.lines);
            EXPECT_EQ(view.HorizontalOffset(), 10 + step * each.columns);
            EXPECT_TRUE(view.DropCaretShown());
            EXPECT_EQ(view.DropPosition(), view.PointToText(each.point));
        }
        Leave(view);
    }
}

TEST_F(DragDrop, PlainTextFromAnotherProgramArrivesAsLines) {
    struct Case {
        const char* name;
        QString text;
    };
    const Case cases[] = {
        {"LF breaks", QString::fromUtf8("R2 a b 2k\nC2 b 0 \xD0\x96\n")},
        {"CR LF breaks", QString::fromUtf8("R2 a b 2k\r\nC2 b 0 \xD0\x96\r\n")},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        CCorvelTextBuffer& buffer = Load(kNetlist, view);
        QMimeData data;
        data.setText(each.text);
        EXPECT_EQ(DropAt(view, &data, Qt::CopyAction | Qt::MoveAction, At(view, {0, 5})),
                  Qt::MoveAction);
        EXPECT_EQ(Text(buffer),
                  "* filter\r\nR1 in out 1k\r\nC1 out 0 1u\r\nL1 out mid 10m\r\nV1 in 0 AC 1\r\n"
                  "R2 a b 2k\r\nC2 b 0 \xC6\r\n.end");
        view.UnbindBuffer();
    }
}

TEST_F(DragDrop, OwnDataFormatKeepsEveryByte) {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    bytes += "a\nb\r\nc\x98\r\r\n";
    std::unique_ptr<QMimeData> data(
        CCorvelTextView::MakeTextData(bytes, TextEncoding::Windows1251));
    std::string back;
    ASSERT_TRUE(CCorvelTextView::TextOfData(data.get(), TextEncoding::Windows1251, back));
    EXPECT_EQ(back, bytes);
}

TEST_F(DragDrop, DraggedLineKeepsAByteWithoutUnicodeAndALoneLf) {
    const std::string line = "V\x98 a\nb 1";
    CCorvelTextBuffer& buffer = Load(line + "\r\n.end", view);
    ASSERT_EQ(buffer.LineTotal(), 2);
    Select(view, {0, 0}, {static_cast<int>(line.size()), 0});
    EXPECT_EQ(DragTo(view, {4, 1}, Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(Text(buffer), line + "\r\n.end" + line);
}

TEST_F(DragDrop, ClickInsideTheSelectionWithoutMovingCollapsesItAtTheClick) {
    // The real mouse: press and release at one point.
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    Select(view, {6, 1}, {9, 1});
    QPoint point = view.TextToPoint({7, 1}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_TRUE(view.DragPending());
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_FALSE(view.DragPending());
    EXPECT_EQ(view.CaretPosition(), (TextPosition{7, 1}));
    EXPECT_FALSE(view.HasSelection());
    EXPECT_EQ(Text(buffer), kNetlist);
}

TEST_F(DragDrop, DragThatEndsWithoutADropChangesNothing) {
    // The real mouse and the real QDrag, which offscreen ends at once without a drop.
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    int history = buffer.HistorySize();
    Select(view, {6, 1}, {9, 1});
    QPoint point = view.TextToPoint({7, 1}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseMove(&view, point + QPoint(1, 0));
    QPoint away = point + QPoint(1 + QApplication::startDragDistance() + 1, 0);
    QTest::mouseMove(&view, away);
    EXPECT_EQ(view.dragsStarted, 1);
    EXPECT_FALSE(view.DragPending());
    EXPECT_FALSE(view.DraggingFromHere());
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, away);
    EXPECT_EQ(Text(buffer), kNetlist);
    EXPECT_EQ(buffer.HistorySize(), history);
    ExpectSelection(view, {6, 1}, {9, 1});
}

TEST_F(DragDrop, DragThatEndsWithoutADropAfterEnterAddsNoIndentation) {
    // The real keyboard, mouse and QDrag. Enter on a flush-left line copies no indentation; the
    // drag's empty undo group that follows must not copy that of the line above the caret.
    CCorvelTextBuffer& buffer = Load("    R1 in out 1k\r\nC1 out 0 1u\r\nL1 out mid 10m", view);
    view.PlaceCursor({11, 1});
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(Text(buffer), "    R1 in out 1k\r\nC1 out 0 1u\r\n\r\nL1 out mid 10m");
    int history = buffer.HistorySize();
    Select(view, {3, 1}, {6, 1});
    QPoint point = view.TextToPoint({4, 1}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseMove(&view, point + QPoint(1, 0));
    QPoint away = point + QPoint(1 + QApplication::startDragDistance() + 1, 0);
    QTest::mouseMove(&view, away);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, away);
    ASSERT_EQ(view.dragsStarted, 1);
    EXPECT_EQ(Text(buffer), "    R1 in out 1k\r\nC1 out 0 1u\r\n\r\nL1 out mid 10m");
    EXPECT_EQ(buffer.HistorySize(), history);
    ExpectSelection(view, {3, 1}, {6, 1});
}

TEST_F(DragDrop, ReleaseBeforeTheDragBeginsChangesNothing) {
    // The real mouse: pressed inside the selection, moved one pixel and released at once, the
    // drag is still waiting to begin; it ends without a drag, and selection and caret stay.
    CCorvelTextBuffer& buffer = Load(kNetlist, view);
    Select(view, {6, 1}, {9, 1});
    TextPosition caret = view.CaretPosition();
    QPoint point = view.TextToPoint({7, 1}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseMove(&view, point + QPoint(1, 0));
    EXPECT_TRUE(view.DragWaiting());
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, point + QPoint(1, 0));
    EXPECT_FALSE(view.DragWaiting());
    EXPECT_FALSE(view.DraggingFromHere());
    EXPECT_EQ(Text(buffer), kNetlist);
    ExpectSelection(view, {6, 1}, {9, 1});
    EXPECT_EQ(view.CaretPosition(), caret);
}

TEST_F(DragDrop, EscapeBeforeTheDragBeginsCancelsIt) {
    // The real mouse and keyboard.
    Load(kNetlist, view);
    Select(view, {6, 1}, {9, 1});
    QPoint point = view.TextToPoint({7, 1}) + QPoint(0, view.LineHeight() / 2);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseMove(&view, point + QPoint(1, 0));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.DragWaiting());
    EXPECT_FALSE(view.DraggingFromHere());
    QTest::mouseMove(&view, point + QPoint(40, 0));
    EXPECT_EQ(view.dragsStarted, 1) << "a cancelled drag does not start again";
    ExpectSelection(view, {6, 1}, {9, 1});
}

TEST_F(DragDrop, TextFromAnotherProgramWithCharactersWithoutAByteIsNeverMoved) {
    // A move would make the other program delete its text, and with it what did not arrive here.
    struct Case {
        const char* name;
        QString text;
        Qt::DropActions possible;
        Qt::DropAction effect;
        std::string inserted;  // before ".end"
        QString named;         // in the message, none when empty
    };
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    const Case cases[] = {
        {"e acute and Greek mu", QStringLiteral("café 10μF"), copyOrMove, Qt::CopyAction, "caf 10F",
         QStringLiteral("é μ")},
        {"an emoji", QStringLiteral("C1 😀 1u"), copyOrMove, Qt::CopyAction, "C1  1u",
         QStringLiteral("😀")},
        {"a source that offers only a move", QStringLiteral("10μF"), Qt::MoveAction,
         Qt::IgnoreAction, "10F", QStringLiteral("μ")},
        {"nothing but such characters", QStringLiteral("μ😀"), copyOrMove, Qt::IgnoreAction, "",
         QStringLiteral("μ 😀")},
        {"the micro sign, which has a byte",
         QStringLiteral("10µF"),
         copyOrMove,
         Qt::MoveAction,
         "10\xB5"
         "F",
         {}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        host.messages.clear();
        CCorvelTextBuffer& buffer = Load(kNetlist, view);
        buffer.MarkModified(false);
        int history = buffer.HistorySize();
        QMimeData data;
        data.setText(each.text);
        EXPECT_EQ(DropAt(view, &data, each.possible, At(view, {0, 5})), each.effect);
        EXPECT_EQ(Text(buffer), kNetlist.substr(0, kNetlist.size() - 4) + each.inserted + ".end");
        EXPECT_EQ(buffer.IsModified(), !each.inserted.empty());
        EXPECT_EQ(buffer.HistorySize(), history + (each.inserted.empty() ? 0 : 1));
        // The message waits until the drop is over, so that the other program is not held up.
        EXPECT_TRUE(host.messages.empty());
        QCoreApplication::sendPostedEvents();
        if (each.named.isEmpty()) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].text,
                      QStringLiteral("Символы, которых нет в кодировке Windows-1251, "
                                     "не вставлены: ") +
                          each.named);
        }
        view.UnbindBuffer();
    }
}

}  // namespace
