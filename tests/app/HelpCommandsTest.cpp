// The help commands and what the desktop can show: the help file where a viewer of it is
// installed, its pages in the browser where not, and a message naming the file when nothing can
// show it.
//
// The files the commands look for are made in the program's folder, which every test process of
// this binary shares: each of them belongs to one test only, whose cases run one after the other.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CommandIds.h"
#include "MainFrame.h"
#include "ModalHost.h"
#include "ProgramDirectory.h"
#include "SampleApp.h"
#include "ShellFixture.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QUrl& url, std::ostream* out) {
    *out << url.toString().toStdString();
}
QT_END_NAMESPACE

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Makes the file (and its folder), or removes it.
void Place(const QString& path, bool there) {
    if (!there) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    kivra_test::WriteBytes(path, {});
}

// A desktop on which no program is registered for any type: the folders the desktop looks in hold
// only the system's table of file types, and no desktop environment or browser is named. Put back
// as it was when it goes.
class EmptyDesktop {
public:
    EmptyDesktop() {
        const QString types =
            QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                   QStandardPaths::LocateDirectory);
        for (const char* name :
             {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            QString path = root.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(path);
            Set(name, path);
        }
        if (!types.isEmpty())
            QFile::link(types, root.filePath(QStringLiteral("xdg_data_dirs/mime")));
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID", "BROWSER"})
            Set(name, std::nullopt);
    }
    ~EmptyDesktop() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }

    // Registers a program for the type, as an installed program's desktop entry does.
    void Register(const QString& mimeType, const char* command = "true %f") {
        QString folder = root.filePath(QStringLiteral("xdg_data_home/applications"));
        QDir().mkpath(folder);
        kivra_test::WriteBytes(
            folder + QStringLiteral("/viewer.desktop"),
            "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + QByteArray(command) +
                "\nMimeType=" + mimeType.toLatin1() + ";\n");
    }

private:
    void Set(const char* name, const std::optional<QString>& value) {
        saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                     ? std::optional<QByteArray>(qgetenv(name))
                                     : std::nullopt);
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }

    QTemporaryDir root;
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
};

class HelpCommandsTest : public kivra_test::ShellFixture {
protected:
    CMainFrame& Frame() const { return *application->MainFrame(); }
};

// --- Contents

struct ContentsCase {
    bool fileThere;
    bool pagesThere;
    bool fileViewer;  // a viewer of help files is installed
    bool browser;
    std::vector<const char*> handedOver;  // "file", "pages": what is handed to the desktop
    bool complaint;
};

TEST_F(HelpCommandsTest, ContentsOpenWhatTheDesktopCanShow) {
    const QString file = application->HelpFilePath();
    const QString pages = application->HelpPagesPath();
    EXPECT_EQ(file, ProgramDirectory() + QStringLiteral("/Kivra.chm"));
    EXPECT_EQ(pages, ProgramDirectory() + QStringLiteral("/help/index.html"));
    const std::vector<ContentsCase> cases = {
        {true, true, true, true, {"file"}, false},
        {true, false, true, true, {"file"}, false},
        {true, true, false, true, {"file", "pages"}, false},
        {false, true, true, true, {"pages"}, false},
        {true, true, false, false, {"file", "pages"}, true},
        {true, false, false, true, {"file"}, true},
        {false, false, true, true, {}, true},
    };
    for (const ContentsCase& help : cases) {
        SCOPED_TRACE(testing::Message()
                     << "file " << help.fileThere << ", pages " << help.pagesThere << ", viewer "
                     << help.fileViewer << ", browser " << help.browser);
        Place(file, help.fileThere);
        Place(pages, help.pagesThere);
        host.messages.clear();
        host.opened.clear();
        host.opens = [&help](const QUrl& url) {
            return url.toLocalFile().endsWith(QStringLiteral(".chm")) ? help.fileViewer
                                                                      : help.browser;
        };
        ASSERT_TRUE(Frame().OnCommand(ID_HELP_CONTENTS));

        std::vector<QUrl> expected;
        for (const char* which : help.handedOver)
            expected.push_back(QUrl::fromLocalFile(std::string(which) == "file" ? file : pages));
        EXPECT_EQ(host.opened, expected);
        if (help.complaint) {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].text, QStringLiteral("Failed to launch help."));
            EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
            EXPECT_EQ(host.messages[0].icon, QMessageBox::Warning);
        } else {
            EXPECT_THAT(host.messages, IsEmpty());
        }
    }
    Place(file, false);
    Place(pages, false);
    QDir().rmdir(QFileInfo(pages).absolutePath());
}

// --- The user guide and the home page

struct ShownFile {
    int command;
    const char* name;
    const char* noViewer;  // the message when nothing shows the file
};

// The home page is a file beside the program unless the build names a web address.
TEST_F(HelpCommandsTest, UserGuideAndHomePageSayInOneMessageWhyTheyAreNotShown) {
    const bool homePageIsAFile = CSampleApp::WebsiteAddress().startsWith(QStringLiteral("file:"));
    for (const ShownFile& shown :
         {ShownFile{ID_HELP_USER_GUIDE, "UserGuideA.pdf",
                    "Не удалось открыть файл UserGuideA.pdf: не найдена программа для просмотра "
                    "PDF."},
          ShownFile{ID_HELP_WEBSITE, "Kivra.html",
                    "Не удалось открыть файл Kivra.html: не найдена программа для просмотра "
                    "HTML."}}) {
        if (shown.command == ID_HELP_WEBSITE && !homePageIsAFile)
            continue;
        const QString path =
            ProgramDirectory() + QLatin1Char('/') + QString::fromLatin1(shown.name);
        SCOPED_TRACE(shown.name);

        // Missing: said so, with where it was looked for; no viewer is tried.
        Place(path, false);
        host.messages.clear();
        host.opened.clear();
        host.openSucceeds = true;
        ASSERT_TRUE(Frame().OnCommand(shown.command));
        EXPECT_THAT(host.opened, IsEmpty());
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text,
                  QStringLiteral("Не удалось открыть файл %1: файл не найден.")
                      .arg(QDir::toNativeSeparators(path)));
        EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));

        // There, but nothing shows it.
        Place(path, true);
        host.messages.clear();
        host.opened.clear();
        host.openSucceeds = false;
        ASSERT_TRUE(Frame().OnCommand(shown.command));
        EXPECT_THAT(host.opened, ElementsAre(QUrl::fromLocalFile(path)));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, QString::fromUtf8(shown.noViewer));
        EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));

        // Shown: nothing to say.
        host.messages.clear();
        host.opened.clear();
        host.openSucceeds = true;
        ASSERT_TRUE(Frame().OnCommand(shown.command));
        EXPECT_THAT(host.messages, IsEmpty());
        EXPECT_THAT(host.opened, ElementsAre(QUrl::fromLocalFile(path)));

        // The real desktop, with no program registered: the same message, not a silent success.
        {
            EmptyDesktop desktop;
            host.messages.clear();
            host.opens = [](const QUrl& url) { return DesktopModalHost().OpenWithDesktop(url); };
            ASSERT_TRUE(Frame().OnCommand(shown.command));
            host.opens = nullptr;
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].text, QString::fromUtf8(shown.noViewer));
            EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
        }
        Place(path, false);
    }
}

// --- Asking the desktop

TEST(DesktopHandlerTest, ATypeIsHandledOnlyOnceAProgramClaimsItUnderAnyOfItsNames) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        GTEST_SKIP() << "xdg-mime (Debian package xdg-utils) is not installed";
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    const QString help = files.filePath(QStringLiteral("Kivra.chm"));
    const QString guide = files.filePath(QStringLiteral("UserGuideA.pdf"));
    Place(help, true);
    Place(guide, true);

    EmptyDesktop desktop;
    EXPECT_EQ(DesktopHasHandler(QUrl::fromLocalFile(help)), std::optional<bool>(false));
    EXPECT_EQ(DesktopHasHandler(QUrl::fromLocalFile(guide)), std::optional<bool>(false));
    if (QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty()) {
        EXPECT_EQ(DesktopHasHandler(QUrl(QStringLiteral("https://example.org/"))),
                  std::optional<bool>(false));
    }
    // xdg-open would start and find nothing; the desktop's host says so instead.
    EXPECT_FALSE(DesktopModalHost().OpenWithDesktop(QUrl::fromLocalFile(guide)));

    // Help viewers claim the older name of the type of help files.
    desktop.Register(QStringLiteral("application/x-chm"));
    EXPECT_EQ(DesktopHasHandler(QUrl::fromLocalFile(help)), std::optional<bool>(true));
    EXPECT_EQ(DesktopHasHandler(QUrl::fromLocalFile(guide)), std::optional<bool>(false));

    // A handler is found, but the opener fails to start it: its own status says so.
    desktop.Register(QStringLiteral("application/pdf"), "false %f");
    ASSERT_EQ(DesktopHasHandler(QUrl::fromLocalFile(guide)), std::optional<bool>(true));
    EXPECT_FALSE(DesktopModalHost().OpenWithDesktop(QUrl::fromLocalFile(guide)));
}

}  // namespace
