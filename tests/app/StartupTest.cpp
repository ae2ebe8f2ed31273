// The program started as from the desktop: with Qt's own texts in Russian, and with the files of
// its command line.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <memory>
#include <ostream>
#include <vector>

#include "ChildFrame.h"
#include "Document.h"
#include "MainFrame.h"
#include "ModalHost.h"
#include "QStringPrinting.h"
#include "QtTranslations.h"
#include "SampleApp.h"
#include "ShellFixture.h"

namespace {

using kivra_test::Settle;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

class StartupTest : public kivra_test::ShellFixture {
protected:
    void TearDown() override {
        ShellFixture::TearDown();
        // Translations installed by a test go with it.
        for (auto* translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    // Starts the program again, as with these files on its command line.
    bool Start(const QStringList& files) {
        application.reset();
        Settle();
        application = std::make_unique<CSampleApp>(files);
        bool started = application->InitInstance();
        Settle();
        return started;
    }

    CMainFrame& Frame() const { return *application->MainFrame(); }

    static QString PathOf(CChildFrame* child) {
        return child != nullptr && child->GetActiveDocument() != nullptr
                   ? child->GetActiveDocument()->GetPathName()
                   : QString();
    }

    // The documents of the windows in the order the windows were made.
    std::vector<QString> WindowPaths() const {
        std::vector<QString> paths;
        for (QMdiSubWindow* window : Frame().MdiArea()->subWindowList(QMdiArea::CreationOrder))
            paths.push_back(PathOf(qobject_cast<CChildFrame*>(window)));
        return paths;
    }

    QString ActivePath() const { return PathOf(Frame().ActiveChild()); }
};

QString WithoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// --- Qt's own texts

// Whether Qt's Russian texts are installed is the machine's affair (the package depends on them,
// which PackageTest checks); without them there is nothing of the program's to see here.
TEST_F(StartupTest, QtButtonsAndTheWindowMenuAreRussian) {
    if (!InstallQtTranslations(*QCoreApplication::instance()))
        GTEST_SKIP() << "Qt's Russian texts are not in "
                     << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    EXPECT_FALSE(qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly).isEmpty())
        << "the application keeps the translations";
    // Started again: the windows of the first start were made before the translations.
    ASSERT_TRUE(Start({}));

    std::vector<QString> buttons;
    host.Then([&buttons](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box != nullptr) {
            for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                buttons.push_back(box->button(button) != nullptr
                                      ? WithoutMnemonic(box->button(button)->text())
                                      : QString());
        }
        return static_cast<int>(QMessageBox::Cancel);
    });
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Сохранить?"), MB_YESNOCANCEL), IDCANCEL);
    EXPECT_THAT(buttons,
                ElementsAre(QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")));

    // The menu of the untitled document's window, made after the start.
    QList<QMdiSubWindow*> windows = Frame().MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 1);
    ASSERT_NE(windows[0]->systemMenu(), nullptr);
    std::vector<QString> items;
    for (QAction* action : windows[0]->systemMenu()->actions())
        items.push_back(WithoutMnemonic(action->text()));
    EXPECT_THAT(items, IsSupersetOf({QStringLiteral("Восстановить"), QStringLiteral("Свернуть"),
                                     QStringLiteral("Закрыть")}));
}

// --- Files of the command line

TEST_F(StartupTest, EveryFileOpensInOrderAndTheLastIsActive) {
    QString first = MakeFile(QStringLiteral("first.cir"));
    QString second = MakeFile(QStringLiteral("второй.cir"));
    ASSERT_TRUE(Start({first, second}));

    EXPECT_THAT(WindowPaths(), ElementsAre(first, second));
    EXPECT_EQ(ActivePath(), second);
    EXPECT_TRUE(host.messages.empty());

    // The same files the other way round: the order is the command line's, not the names'.
    ASSERT_TRUE(Start({second, first}));
    EXPECT_THAT(WindowPaths(), ElementsAre(second, first));
    EXPECT_EQ(ActivePath(), first);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(StartupTest, AFileThatCannotBeOpenedIsReportedAndTheOthersStillOpen) {
    QString first = MakeFile(QStringLiteral("first.cir"));
    QString missing = folder.filePath(QStringLiteral("missing.cir"));
    QString last = MakeFile(QStringLiteral("last.cir"));
    host.messages.clear();
    ASSERT_TRUE(Start({first, missing, last, missing}));

    EXPECT_THAT(WindowPaths(), ElementsAre(first, last));
    EXPECT_EQ(ActivePath(), last);
    // One message for each time the file was named, each naming it.
    ASSERT_EQ(host.messages.size(), 2u);
    for (const kivra_test::ShownMessage& message : host.messages) {
        EXPECT_THAT(message.text.toStdString(),
                    HasSubstr(QDir::toNativeSeparators(missing).toStdString()));
        EXPECT_EQ(message.caption, QStringLiteral("Kivra"));
    }
}

TEST_F(StartupTest, WhenNoFileOpensTheProgramDoesNotStart) {
    QString missing = folder.filePath(QStringLiteral("missing.cir"));
    QString other = folder.filePath(QStringLiteral("other.cir"));
    host.messages.clear();
    EXPECT_FALSE(Start({missing, other}));
    ASSERT_EQ(host.messages.size(), 2u);
    // Each file is named in a message of its own, in the order of the command line.
    EXPECT_THAT(host.messages[0].text.toStdString(),
                HasSubstr(QDir::toNativeSeparators(missing).toStdString()));
    EXPECT_THAT(host.messages[1].text.toStdString(),
                HasSubstr(QDir::toNativeSeparators(other).toStdString()));
    for (const kivra_test::ShownMessage& message : host.messages)
        EXPECT_EQ(message.caption, QStringLiteral("Kivra"));
    // Not even the untitled document of a plain start.
    EXPECT_TRUE(application->Documents().empty());
}

}  // namespace
