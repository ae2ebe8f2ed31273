// From names of a netlist to their definitions and usages, and completion of names: F12, the
// context menu, Alt+Left, Shift+F12 and Ctrl+Space through real keys in real windows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QListWidget>
#include <QMenu>

#include "CommandIds.h"
#include "CompletionPopup.h"
#include "NavigationFixture.h"
#include "NetlistInsight.h"
#include "PlaceList.h"

namespace {

using kivra_test::Settle;

const QByteArray kNetlist =
    "amp\r\n.include sub.inc\r\nX1 in out opamp\r\nD1 out 0 dmod\r\nR1 in 0 {rval}\r\n"
    ".param rval=1k\r\n.model dmod D(is=1e-14)\r\nX2 out 0 opamp\r\n.end\r\n";
const QByteArray kIncluded = "* sub\r\n.subckt opamp a b\r\nR5 a b 1k\r\n.ends opamp\r\n";

struct Place {
    const char* file;
    TextPosition caret;
    int selected;  // bytes selected from the caret on
};

const Place kOpampUse{"amp.cir", {11, 2}, 0};
const Place kOpampDefinition{"sub.inc", {8, 1}, 5};
const Place kModelUse{"amp.cir", {10, 3}, 0};
const Place kModelDefinition{"amp.cir", {7, 6}, 4};

class NetlistNavigationTest : public kivra_test::NavigationFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NavigationFixture::SetUp());
        MakeFile(QStringLiteral("sub.inc"), kIncluded);
        netlist = OpenFile(MakeFile(QStringLiteral("amp.cir"), kNetlist));
    }

    // A new line after the last X line, the caret on it.
    CSampleView& NewLine() {
        CSampleView& view = CaretAt({14, 7});
        Press(Qt::Key_Return);
        return view;
    }

    CSampleView& CaretAt(TextPosition caret) {
        CSampleView& view = Focus(netlist);
        view.SetAnchorPoint(caret);
        view.SelectRange(caret, caret);
        view.PlaceCursor(caret);
        return view;
    }

    void ExpectAt(const Place& place) {
        CSampleDoc* document = ActiveDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetPathName(), folder.filePath(QString::fromUtf8(place.file)));
        const CSampleView& view = ViewOf(document);
        EXPECT_EQ(view.CaretPosition(), place.caret);
        const TextPosition end{place.caret.x + place.selected, place.caret.y};
        EXPECT_EQ(Selection(view), (std::pair{place.caret, end}));
    }

    // The context menu as a right click opens it there, its last item chosen; where the click
    // left the caret.
    TextPosition DefinitionFromMenu(TextPosition at) {
        CSampleView& view = Focus(netlist);
        const QPoint point = view.TextToPoint(at) + QPoint(0, view.LineHeight() / 2);
        QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, point);
        const TextPosition clicked = view.CaretPosition();
        host.pickMenuItem = [](QMenu& menu) { return menu.actions().back(); };
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, view.mapToGlobal(point));
        QApplication::sendEvent(&view, &event);
        Settle();
        return clicked;
    }

    std::string Line(int line) const { return LineOf(*netlist, line); }

    CSampleDoc* netlist = nullptr;
};

TEST_F(NetlistNavigationTest, F12AndTheMenuGoToTheDefinitionAndAltLeftComesBack) {
    struct Case {
        const char* name;
        Place from;
        bool menu;
        Place expected;
    };
    const Case cases[] = {
        {"a subcircuit in an included file", kOpampUse, false, kOpampDefinition},
        {"a model, the caret after its name", {"amp.cir", {13, 3}, 0}, false, kModelDefinition},
        {"the menu on a subcircuit", kOpampUse, true, kOpampDefinition},
        {"the menu on a model", kModelUse, true, kModelDefinition},
    };
    for (Case each : cases) {
        SCOPED_TRACE(each.name);
        if (each.menu) {
            each.from.caret = DefinitionFromMenu(each.from.caret);
            EXPECT_EQ(host.lastMenuTexts.back().first, QStringLiteral("Перейти к определению"));
        } else {
            CaretAt(each.from.caret);
            Press(Qt::Key_F12);
        }
        ExpectAt(each.expected);
        Press(Qt::Key_Left, Qt::AltModifier);
        ExpectAt(each.from);
    }
    EXPECT_EQ(host.dialogsShown, 0);
}

TEST_F(NetlistNavigationTest, BackGoesThroughThePlacesOfSeveralF12InTurn) {
    CaretAt(kOpampUse.caret);
    Press(Qt::Key_F12);
    CaretAt(kModelUse.caret);
    Press(Qt::Key_F12);
    ExpectAt(kModelDefinition);
    Press(Qt::Key_Left, Qt::AltModifier);
    ExpectAt(kModelUse);
    Press(Qt::Key_Left, Qt::AltModifier);
    ExpectAt(kOpampUse);
    // Nothing is left: Alt+Left stays where it is.
    Press(Qt::Key_Left, Qt::AltModifier);
    ExpectAt(kOpampUse);
}

TEST_F(NetlistNavigationTest, NoDefinitionIsSaidInTheStatusBar) {
    CaretAt({1, 3});  // "D1"
    Press(Qt::Key_F12);
    ExpectAt({"amp.cir", {1, 3}, 0});
    EXPECT_EQ(Frame().PaneText(0), QStringLiteral("Определение не найдено"));
    EXPECT_EQ(host.dialogsShown, 0);
}

TEST_F(NetlistNavigationTest, ShiftF12ListsTheUsagesAcrossTheIncludeAndF4GoesToThem) {
    const std::string main = folder.filePath(QStringLiteral("amp.cir")).toStdString();
    const std::string included = folder.filePath(QStringLiteral("sub.inc")).toStdString();
    // From the included file's own window as well: the netlist open beside it knows the uses.
    CSampleDoc* inc = OpenFile(folder.filePath(QStringLiteral("sub.inc")));
    ASSERT_TRUE(
        kivra_test::WaitFor([&] { return CNetlistInsight::Of(*netlist)->Analysis() != nullptr; }));
    for (auto [document, caret] :
         {std::pair{netlist, kOpampUse.caret}, {inc, TextPosition{9, 1}}}) {
        SCOPED_TRACE(document->GetTitle().toStdString());
        CSampleView& view = Focus(document);
        view.SetAnchorPoint(caret);
        view.SelectRange(caret, caret);
        view.PlaceCursor(caret);
        Press(Qt::Key_F12, Qt::ShiftModifier);
        CSampleDoc* list = ActiveDocument();
        ASSERT_TRUE(IsPlaceList(list));
        EXPECT_EQ(list->GetTitle(), QStringLiteral("Использования: opamp"));
        std::vector<std::string> lines;
        for (int line = 0; line < list->buffer.LineTotal(); ++line)
            lines.push_back(LineOf(*list, line));
        EXPECT_THAT(lines, ::testing::IsSupersetOf({main + ":3:11: X1 in out opamp",
                                                    main + ":8:10: X2 out 0 opamp",
                                                    included + ":2:9: .subckt opamp a b"}));

        DoubleClick(Focus(list), {0, 1});
        ASSERT_EQ(ActiveDocument(), netlist);
        EXPECT_EQ(ViewOf(netlist).CaretPosition().y, 7);
        Press(Qt::Key_F4);
        EXPECT_EQ(ActiveDocument(), inc);
        EXPECT_EQ(ViewOf(inc).CaretPosition(), (TextPosition{8, 1}));
    }
}

TEST_F(NetlistNavigationTest, CtrlSpaceInsertsTheOnlyCandidateAsOneUndoStep) {
    QTest::keyClicks(&NewLine(), QStringLiteral("X3 in 0 OP"));
    Press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(CCompletionPopup::Shown(), nullptr);
    EXPECT_EQ(Line(8), "X3 in 0 opamp");
    EXPECT_EQ(ViewOf(netlist).CaretPosition(), (TextPosition{13, 8}));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(8), "X3 in 0 OP");
}

TEST_F(NetlistNavigationTest, CtrlSpaceOffersTheNamesInAListThatTypingNarrows) {
    QTest::keyClicks(&NewLine(), QStringLiteral("X3 in 0 "));
    Press(Qt::Key_Space, Qt::ControlModifier);
    CCompletionPopup* popup = CCompletionPopup::Shown();
    ASSERT_NE(popup, nullptr);
    EXPECT_GE(popup->List()->count(), 3);
    // Each name with its hint: a subcircuit's ports.
    const auto opamp = popup->List()->findItems(QStringLiteral("opamp "), Qt::MatchStartsWith);
    ASSERT_EQ(opamp.size(), 1);
    EXPECT_TRUE(opamp.front()->text().endsWith(QStringLiteral(": a b")));

    Press(Qt::Key_O, Qt::NoModifier);  // typed into the text; the list keeps what fits
    ASSERT_EQ(CCompletionPopup::Shown(), popup);
    EXPECT_EQ(Line(8), "X3 in 0 o");
    ASSERT_EQ(popup->List()->count(), 1);
    Press(Qt::Key_Return);
    EXPECT_EQ(CCompletionPopup::Shown(), nullptr);
    EXPECT_EQ(Line(8), "X3 in 0 opamp");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(8), "X3 in 0 o");

    // Escape closes it and changes nothing; a read-only window offers nothing.
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_NE(CCompletionPopup::Shown(), nullptr);
    Press(Qt::Key_Escape);
    EXPECT_EQ(CCompletionPopup::Shown(), nullptr);
    EXPECT_EQ(Line(8), "X3 in 0 ");
    netlist->buffer.MakeReadOnly(true);
    Focus(netlist);
    Press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(CCompletionPopup::Shown(), nullptr);
}

}  // namespace
