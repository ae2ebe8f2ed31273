// What the editor shows of a netlist's structure and checks: the "Структура" panel and its
// clicks, the marks of findings in the margin, their text in the status bar, and the
// "Проблемы" window, through the real windows and real key and mouse events.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTreeWidget>

#include "CommandIds.h"
#include "NavigationFixture.h"
#include "NetlistInsight.h"
#include "StructurePanel.h"

namespace {

using ::testing::HasSubstr;
using kivra_test::Settle;
using kivra_test::WaitFor;

const char kNetlist[] =
    "amplifier\r\n"               // 0
    ".subckt amp in out\r\n"      // 1
    "R1 in out 1k\r\n"            // 2
    ".ends amp\r\n"               // 3
    ".subckt buf a b\r\n"         // 4
    "R2 a b 1k\r\n"               // 5
    ".ends buf\r\n"               // 6
    ".model dmod d\r\n"           // 7
    "V1 1 0 1\r\n"                // 8
    "X1 1 2 amp\r\n"              // 9
    "R3 2 0 1k\r\n"               // 10
    ".tran 1u 1m\r\n"             // 11
    ".end\r\n";                   // 12

class NetlistStructureTest : public kivra_test::NavigationFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NavigationFixture::SetUp());
        CNetlistInsight::delayMilliseconds = 0;
        netlist = OpenFile(MakeFile(QStringLiteral("amp.cir"), kNetlist));
        ASSERT_NE(netlist, nullptr);
        ASSERT_TRUE(WaitFor([&] { return CNetlistInsight::Of(*netlist)->Analysis() != nullptr; }));
    }
    void TearDown() override {
        CNetlistInsight::delayMilliseconds = 300;
        NavigationFixture::TearDown();
    }

    QTreeWidget& Tree() { return *Frame().StructurePanel()->Tree(); }

    // The entries under the heading, as shown.
    std::vector<QString> EntriesUnder(const QString& heading) {
        std::vector<QString> texts;
        for (QTreeWidgetItem* item : Tree().findItems(heading, Qt::MatchExactly)) {
            for (int n = 0; n < item->childCount(); ++n)
                texts.push_back(item->child(n)->text(0));
        }
        return texts;
    }

    // Types at the end of the line, key by key, the caret staying on the line.
    void TypeAtEndOf(int line, const char* text) {
        CSampleView& view = Focus(netlist);
        view.PlaceCursor({view.LineLength(line), line});
        QTest::keyClicks(&view, QString::fromLatin1(text));
        Settle();
    }

    bool MarkedRed(int line) {
        CSampleView& view = ViewOf(netlist);
        const QImage image = view.grab().toImage();
        const QColor pixel = image.pixelColor(1, view.TextToPoint({0, line}).y() +
                                                      view.LineHeight() / 2);
        return pixel.red() > 180 && pixel.green() < 80 && pixel.blue() < 80;
    }

    // After an idle pass, as the event loop runs one before it waits.
    bool ToldOnStatusBar(const char* text) {
        Frame().UpdateCommandUI();
        return Frame().PaneText(0).contains(QString::fromUtf8(text));
    }

    CSampleDoc* netlist = nullptr;
};

TEST_F(NetlistStructureTest, MenuShowsAndHidesThePanelAndKeepsTheChoice) {
    QAction* item = Frame().CommandAction(ID_VIEW_STRUCTURE);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(Frame().StructurePanel()->isHidden()) << "the panel starts hidden";
    for (bool shown : {true, false}) {
        item->trigger();
        Settle();
        Frame().UpdateCommandUI();
        EXPECT_EQ(!Frame().StructurePanel()->isHidden(), shown);
        EXPECT_EQ(item->isChecked(), shown);
        EXPECT_EQ(CStructurePanel::KeptVisible(), shown);
    }
}

TEST_F(NetlistStructureTest, PanelListsSubcircuitsAndModelsAndGoesToTheirLines) {
    Frame().CommandAction(ID_VIEW_STRUCTURE)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !EntriesUnder(QStringLiteral("Подсхемы")).empty(); }));
    const std::vector<QString> subcircuits = EntriesUnder(QStringLiteral("Подсхемы"));
    ASSERT_EQ(subcircuits.size(), 2u);
    EXPECT_THAT(subcircuits[0].toStdString(), HasSubstr("amp"));
    EXPECT_THAT(subcircuits[1].toStdString(), HasSubstr("buf"));
    ASSERT_EQ(EntriesUnder(QStringLiteral("Модели")).size(), 1u);

    struct Click {
        const char* heading;
        int entry;
        int line;
    };
    for (const Click& click : {Click{"Подсхемы", 1, 4}, Click{"Модели", 0, 7},
                               Click{"Подсхемы", 0, 1}}) {
        QTreeWidgetItem* heading =
            Tree().findItems(QString::fromUtf8(click.heading), Qt::MatchExactly).front();
        QTreeWidgetItem* entry = heading->child(click.entry);
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier,
                          Tree().visualItemRect(entry).center());
        Settle();
        CSampleView& view = ViewOf(netlist);
        EXPECT_EQ(view.CaretPosition().y, click.line) << click.heading << " " << click.entry;
        EXPECT_EQ(Selection(view).second, (TextPosition{view.LineLength(click.line), click.line}));
        EXPECT_EQ(QApplication::focusWidget(), &view) << "the text has the focus again";
    }
}

TEST_F(NetlistStructureTest, MisspeltSubcircuitIsMarkedAndToldOnItsLine) {
    ASSERT_FALSE(MarkedRed(9));
    TypeAtEndOf(9, "x");  // "X1 1 2 ampx"
    ASSERT_TRUE(WaitFor([&] { return MarkedRed(9); })) << "the line of the error is marked";
    EXPECT_FALSE(MarkedRed(8));
    EXPECT_FALSE(MarkedRed(10));
    ASSERT_TRUE(WaitFor([&] { return ToldOnStatusBar("ampx"); }));
    EXPECT_TRUE(Frame().PaneText(0).startsWith(QStringLiteral("ошибка: ")));

    Press(Qt::Key_Up);
    EXPECT_FALSE(ToldOnStatusBar("ampx")) << "the message goes with the caret";
    Press(Qt::Key_Down);
    EXPECT_TRUE(ToldOnStatusBar("ampx"));

    Press(Qt::Key_Backspace);
    EXPECT_TRUE(WaitFor([&] { return !MarkedRed(9); })) << "the mark goes with the error";
}

TEST_F(NetlistStructureTest, ProblemsWindowListsTheFindingsAndFollowsTheText) {
    TypeAtEndOf(9, "x");
    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_PROBLEMS));
    Settle();
    CSampleDoc* list = ActiveDocument();
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list, netlist);
    EXPECT_EQ(list->GetTitle(), QStringLiteral("Проблемы"));
    const std::string first = LineOf(*list, 0);
    EXPECT_THAT(first, HasSubstr("amp.cir:10:8: ошибка: "));
    EXPECT_THAT(first, HasSubstr("ampx"));

    Focus(netlist);
    Press(Qt::Key_Backspace);
    EXPECT_TRUE(WaitFor([&] { return LineOf(*list, 0).find("ampx") == std::string::npos; }))
        << "the open window follows the analysis";
}

}  // namespace
