// The menus of the main window with and without documents, and the view's context menu.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QFile>

#include <ostream>

#include "QStringPrinting.h"
#include "ShellTestFixture.h"

namespace {

using kivra_test::Settle;
using kivra_test::ShellTest;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// --- Menus

TEST_F(ShellTest, MenuWithoutDocumentsOffersOnlyWhatWorksWithoutOne) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
    Settle();
    ASSERT_FALSE(Frame().ShowsDocumentMenu());
    EXPECT_THAT(MenuTitles(), ElementsAre(QStringLiteral("&Файл"), QStringLiteral("&Вид"),
                                          QStringLiteral("&Справка")));
    EXPECT_THAT(MenuItems(QStringLiteral("&Справка")),
                ElementsAre(QStringLiteral("&О программе...")));
    EXPECT_THAT(
        MenuItems(QStringLiteral("&Вид")),
        ElementsAre(QStringLiteral("&Панель значков"), QStringLiteral("&Информационная панель"),
                    QStringLiteral("&Структура")));
}

TEST_F(ShellTest, MenuWithADocumentOffersHelpWindowsAndFont) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().ShowsDocumentMenu());
    std::vector<QString> titles = MenuTitles();
    for (const char* title : {"&Файл", "&Правка", "&Вид", "&Окно", "&Справка"})
        EXPECT_THAT(titles, ::testing::Contains(QString::fromUtf8(title)));
    EXPECT_THAT(MenuItems(QStringLiteral("&Справка")),
                ElementsAre(QStringLiteral("Справка..."), QStringLiteral("-"),
                            QStringLiteral("Руководство пользователя ..."),
                            QStringLiteral("Сайт программы..."), QStringLiteral("-"),
                            QStringLiteral("&О программе...")));
    EXPECT_THAT(
        MenuItems(QStringLiteral("&Вид")),
        ElementsAre(QStringLiteral("&Панель значков"), QStringLiteral("&Информационная строка"),
                    QStringLiteral("-"), QStringLiteral("Шрифт..."),
                    QStringLiteral("Открыть в кодировке UTF-8"), QStringLiteral("-"),
                    QStringLiteral("&Структура"), QStringLiteral("Про&блемы")));
    EXPECT_THAT(MenuItems(QStringLiteral("&Окно")),
                ElementsAre(QStringLiteral("&Новое"), QStringLiteral("&Каскад"),
                            QStringLiteral("&Рядом"), QStringLiteral("&Распределить значки")));
}

// The menu bar changes kind whenever the first window opens or the last one closes; the menus
// of the other kind must not pile up.
TEST_F(ShellTest, SwitchingMenusLeavesNoOldMenusBehind) {
    ASSERT_TRUE(Start());
    auto menusNow = [this] { return Frame().findChildren<QMenu*>().size(); };
    Settle();
    const auto withDocument = menusNow();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_CLOSE));
        Settle();
        ASSERT_FALSE(Frame().ShowsDocumentMenu());
        ASSERT_TRUE(Frame().OnCommand(ID_FILE_NEW));
        Settle();
        ASSERT_TRUE(Frame().ShowsDocumentMenu());
    }
    EXPECT_EQ(menusNow(), withDocument);
}

// --- The view's context menu

struct ContextCase {
    bool selection;
    bool clipboardText;
    std::vector<std::pair<QString, bool>> items;
};

void PrintTo(const ContextCase& context, std::ostream* out) {
    *out << (context.selection ? "selection" : "no selection")
         << (context.clipboardText ? ", clipboard text" : ", empty clipboard");
}

class ContextMenuTest : public ShellTest, public ::testing::WithParamInterface<ContextCase> {};

TEST_P(ContextMenuTest, ItemsAreEnabledAsTheirCommands) {
    ASSERT_TRUE(Start());
    Type("R1 1 0 1k");
    if (GetParam().selection)
        Press(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    if (GetParam().clipboardText)
        QApplication::clipboard()->setText(QStringLiteral("C1 1 0 1u"));
    CSampleView& view = ActiveView();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 10),
                            view.mapToGlobal(QPoint(40, 10)));
    QApplication::sendEvent(&view, &event);

    EXPECT_EQ(host.menusShown, 1);
    EXPECT_THAT(host.lastMenuTexts, ElementsAreArray(GetParam().items));
}

const QString kCut = QStringLiteral("Вырезать\tCtrl+X");
const QString kCopy = QStringLiteral("Копировать");
const QString kPaste = QStringLiteral("Вставить");

// After a separator, whatever the selection and the clipboard.
const std::pair<QString, bool> kSep{QString(), true};
const std::pair<QString, bool> kGoTo{QStringLiteral("Перейти к определению"), true};

INSTANTIATE_TEST_SUITE_P(
    States, ContextMenuTest,
    ::testing::Values(
        ContextCase{true, false, {{kCut, true}, {kCopy, true}, {kPaste, false}, kSep, kGoTo}},
        ContextCase{false, false, {{kCut, false}, {kCopy, false}, {kPaste, false}, kSep, kGoTo}},
        ContextCase{false, true, {{kCut, false}, {kCopy, false}, {kPaste, true}, kSep, kGoTo}},
        ContextCase{true, true, {{kCut, true}, {kCopy, true}, {kPaste, true}, kSep, kGoTo}}));

TEST_F(ShellTest, ContextMenuCopyOfAReadOnlyDocumentWorks) {
    QString locked = MakeFile(QStringLiteral("locked.cir"), "R1 1 0 1k\r\n");
    QFile::setPermissions(locked, QFile::ReadOwner);
    ASSERT_TRUE(Start({locked}));
    FocusedView();
    Press(Qt::Key_End, Qt::ShiftModifier);
    host.pickMenuItem = [](QMenu& menu) -> QAction* {
        for (QAction* action : menu.actions()) {
            if (action->text() == kCopy)
                return action;
        }
        return nullptr;
    };
    CSampleView& view = ActiveView();
    view.ShowContextMenu(view.mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(host.menusShown, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("R1 1 0 1k"));
    EXPECT_FALSE(application->Documents()[0]->IsModified());
}

}  // namespace
