// The list windows of places: their lines, a double click and F4 on an entry, and F4 going
// through the log or the list, whichever was shown or used last.

#include <gtest/gtest.h>

#include <QDir>

#include "NavigationFixture.h"
#include "PlaceList.h"
#include "SimulationRun.h"

namespace {

using kivra_test::Settle;
using kivra_test::WriteBytes;

const QByteArray kNetlist =
    "amp\r\nV1 in 0 1\r\nR1 in out xyz zz\r\n.include sub.inc\r\nC1 out 0 {abc}\r\n.end\r\n";
const QByteArray kIncluded = "* sub\r\nR5 out 0 1k\r\n";
// Two reports: about netlist lines 3 and 5 (log lines 1-3 and 4-5).
const QByteArray kLog =
    "\nError on line 3 or its substitute:\n  r1 in out xyz zz\n  unknown parameter (xyz) \n"
    "Netlist line no. 5:\nUndefined parameter [abc]\n";

struct Place {
    const char* file;
    int line;
    int column;
    const char* message;
};

const Place kEntry0{"amp.cir", 1, 3, "первая"};
const Place kEntry1{"sub.inc", 1, 5, "вторая"};
const Place kReport0{"amp.cir", 2, 0, "unknown parameter (xyz)"};
const Place kReport1{"amp.cir", 4, 0, "Undefined parameter [abc]"};

class PlaceListTest : public kivra_test::NavigationFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NavigationFixture::SetUp());
        MakeFile(QStringLiteral("amp.cir"), kNetlist);
        MakeFile(QStringLiteral("sub.inc"), kIncluded);
        netlist = OpenFile(folder.filePath(QStringLiteral("amp.cir")));
    }

    std::vector<PlaceListEntry> Entries() const {
        std::vector<PlaceListEntry> entries;
        for (const Place& place : {kEntry0, kEntry1})
            entries.push_back({folder.filePath(QString::fromUtf8(place.file)), place.line,
                               place.column, QString::fromUtf8(place.message)});
        return entries;
    }

    CSampleDoc* ShowList() {
        ShowPlaceList(QStringLiteral("Использования: out"), Entries());
        Settle();
        return ActiveDocument();
    }

    void OpenLog() {
        const QString path = folder.filePath(QStringLiteral("kivra.log"));
        WriteBytes(path, kLog);
        log = OpenFile(path);
        log->buffer.MakeReadOnly(true);
        application->logDocument = log;
        application->netlistPath = netlist->GetPathName();
    }

    void ExpectAt(const Place& place) {
        CSampleDoc* document = ActiveDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetPathName(), folder.filePath(QString::fromUtf8(place.file)));
        CSampleView& view = ViewOf(document);
        const int length = document->buffer.LineLength(place.line);
        EXPECT_EQ(Selection(view),
                  (std::pair{TextPosition{0, place.line}, TextPosition{length, place.line}}));
        EXPECT_EQ(view.CaretPosition(), (TextPosition{place.column, place.line}));
        EXPECT_EQ(Frame().PaneText(0), QString::fromUtf8(place.message));
    }

    CSampleDoc* netlist = nullptr;
    CSampleDoc* log = nullptr;
};

TEST_F(PlaceListTest, ListIsAReadOnlyWindowOfOneEntryALine) {
    CSampleDoc* list = ShowList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsPlaceList(list));
    EXPECT_EQ(list->GetTitle(), QStringLiteral("Использования: out"));
    EXPECT_TRUE(list->buffer.IsReadOnly());
    ASSERT_EQ(list->buffer.LineTotal(), 2);
    const QString first = QDir::toNativeSeparators(folder.filePath(QStringLiteral("amp.cir")));
    EXPECT_EQ(QString::fromStdString(LineOf(*list, 0)), first + QStringLiteral(":2:4: первая"));

    // Shown again it is refreshed, not doubled; a file opened after it leaves it open.
    ShowPlaceList(QStringLiteral("Использования: out"), {Entries().back()});
    Settle();
    OpenFile(MakeFile(QStringLiteral("other.cir")));
    int lists = 0;
    for (CDocument* document : application->Documents())
        lists += IsPlaceList(document) ? 1 : 0;
    EXPECT_EQ(lists, 1);
    EXPECT_EQ(list->buffer.LineTotal(), 1);

    list->OnFileClose();
    Settle();
    EXPECT_EQ(host.dialogsShown, 0);
}

TEST_F(PlaceListTest, DoubleClickAndF4GoToTheEntriesPlaces) {
    CSampleDoc* list = ShowList();
    struct Step {
        const char* name;
        int clickedLine;  // -1: F4, -2: Shift+F4
        Place expected;
        int reached;
    };
    const Step steps[] = {
        {"double click, a file not open", 1, kEntry1, 1},
        {"double click, the open netlist", 0, kEntry0, 0},
        {"F4", -1, kEntry1, 1},
        {"F4 goes round", -1, kEntry0, 0},
        {"Shift+F4 goes round back", -2, kEntry1, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.clickedLine >= 0)
            DoubleClick(Focus(list), {2, step.clickedLine});
        else
            Press(Qt::Key_F4, step.clickedLine == -2 ? Qt::ShiftModifier : Qt::NoModifier);
        ExpectAt(step.expected);
        EXPECT_EQ(ViewOf(list).ReachedReportLine(), step.reached);
    }
    EXPECT_EQ(host.dialogsShown, 0);
}

TEST_F(PlaceListTest, F4GoesThroughTheLogOrTheListShownOrUsedLast) {
    OpenLog();
    CSampleDoc* list = nullptr;
    enum Action { ShowTheList, ClickTheList, ClickTheLog, CloseTheList, NewLog, F4 };
    struct Step {
        Action action;
        Place expected;
    };
    const Step steps[] = {
        {F4, kReport0},          {ShowTheList, {}}, {F4, kEntry0},           {F4, kEntry1},
        {ClickTheLog, kReport0}, {F4, kReport1},    {ClickTheList, kEntry0}, {F4, kEntry1},
        {CloseTheList, {}},      {F4, kReport0},    {ShowTheList, {}},       {NewLog, {}},
        {F4, kReport0},
    };
    int number = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(number++);
        switch (step.action) {
            case ShowTheList:
                list = ShowList();
                continue;
            case ClickTheList:
                DoubleClick(Focus(list), {0, 0});
                break;
            case ClickTheLog:
                DoubleClick(Focus(log), {0, 1});
                break;
            case CloseTheList:
                list->OnFileClose();
                Settle();
                continue;
            case NewLog:
                log->OnCloseDocument();
                Settle();
                OpenLog();
                continue;
            case F4:
                Press(Qt::Key_F4);
                break;
        }
        ExpectAt(step.expected);
    }
}

}  // namespace
