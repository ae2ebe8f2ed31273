// The status bar of the main window: its panes follow the active view and window, and a typed
// character the encoding cannot hold is named there.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

#include <ostream>

#include "QStringPrinting.h"
#include "ShellTestFixture.h"

namespace {

using kivra_test::Settle;
using kivra_test::ShellTest;

// --- Status panes

struct PaneCase {
    const char* name;  // the file opened; null for a new document
    QByteArray bytes;  // its contents
    bool readOnly;     // its write bits are cleared
    const char* lineEnding;
    const char* read;
};

void PrintTo(const PaneCase& pane, std::ostream* out) {
    *out << (pane.name != nullptr ? pane.name : "new document");
}

class StatusPaneTest : public ShellTest, public ::testing::WithParamInterface<PaneCase> {};

TEST_P(StatusPaneTest, PanesShowTheActiveView) {
    const PaneCase& pane = GetParam();
    if (pane.name != nullptr) {
        QString path = MakeFile(QString::fromLatin1(pane.name), pane.bytes);
        if (pane.readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        ASSERT_TRUE(Start({path}));
    } else {
        ASSERT_TRUE(Start());
    }
    Frame().UpdateCommandUI();

    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_POSITION), QStringLiteral("Ln 1, Col 1"));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_BLANK), QString());
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_LINE_ENDING), QString::fromLatin1(pane.lineEnding));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_OVR), QString());
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QString::fromLatin1(pane.read));

    // The panes follow the caret and the overwrite mode.
    FocusedView();
    Press(Qt::Key_End);
    Press(Qt::Key_Insert);
    Frame().UpdateCommandUI();
    int length = ActiveView().LineLength(0);
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_POSITION),
              QStringLiteral("Ln 1, Col %1").arg(length + 1));
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_OVR), QStringLiteral("OVR"));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, StatusPaneTest,
    ::testing::Values(PaneCase{nullptr, {}, false, "Win", ""},
                      PaneCase{"unix.cir", "R1 1 0 1k\nC1 1 0 1u\n", false, "UNIX", ""},
                      PaneCase{"mac.cir", "R1 1 0 1k\rC1 1 0 1u\r", false, "MAC", ""},
                      PaneCase{"locked.cir", "R1 1 0 1k\r\n", true, "Win", "Read"}));

TEST_F(ShellTest, EncodingPaneAndViewMenuFollowTheActiveDocument) {
    const QString utf8 = MakeFile(QStringLiteral("utf8.cir"), "* Фильтр 10 µF\r\nC1 1 0 10u\r\n");
    const QString cp1251 = MakeFile(QStringLiteral("cp1251.cir"), "* \xD4\xE8\xEB\xFC\xF2\xF0\r\n");
    // The View menu's item as its menu shows it: it names the encoding the command turns to.
    auto otherEncodingItem = [this] {
        for (QAction* action : Frame().menuBar()->actions()) {
            if (action->text() == QStringLiteral("&Вид") && action->menu() != nullptr) {
                emit action->menu()->aboutToShow();
                for (QAction* item : action->menu()->actions()) {
                    if (item->data().toInt() == ID_VIEW_OTHER_ENCODING)
                        return item->text();
                }
            }
        }
        return QString();
    };
    ASSERT_TRUE(Start({utf8}));
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("UTF-8"));
    EXPECT_EQ(otherEncodingItem(), QStringLiteral("Открыть в кодировке Windows-1251"));

    ASSERT_NE(application->OpenDocumentFile(cp1251), nullptr);
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("1251"));
    EXPECT_EQ(otherEncodingItem(), QStringLiteral("Открыть в кодировке UTF-8"));

    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_OTHER_ENCODING));
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QStringLiteral("UTF-8"));

    application->CloseAllDocuments();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_ENCODING), QString());
}

TEST_F(ShellTest, ReadPaneFollowsTheActiveWindow) {
    QString locked = MakeFile(QStringLiteral("locked.cir"));
    QFile::setPermissions(locked, QFile::ReadOwner);
    ASSERT_TRUE(Start({locked}));
    application->OnFileNew();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QString());

    Children()[0]->ActivateFrame();
    Settle();
    Frame().UpdateCommandUI();
    EXPECT_EQ(Frame().PaneText(ID_INDICATOR_READ), QStringLiteral("Read"));
}

TEST_F(ShellTest, TypedCharacterWithoutAByteIsNamedInTheStatusBar) {
    ASSERT_TRUE(Start());
    CSampleView& view = FocusedView();
    QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, QStringLiteral("μ"), Qt::NoModifier);
    Settle();
    EXPECT_EQ(Frame().PaneText(0), QStringLiteral("Символа «μ» нет в кодировке Windows-1251"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
