// A netlist changed on disk by another program while it is open: read again quietly when the
// document has no changes of its own, asked about when it has, said so when it is gone, and
// never overwritten by a save without asking.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "ChildFrame.h"
#include "DocumentTyping.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "ShellFixture.h"

namespace {

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;
using kivra_test::Type;
using kivra_test::WriteBytes;

using ::testing::HasSubstr;

const QByteArray kOriginal = "* RC\nR1 in out 1k\nC1 out 0 1u\nV1 in 0 1\n.end\n";

class DiskChangeTest : public kivra_test::ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        path = folder.filePath(QStringLiteral("deck.cir"));
        Write(kOriginal);
        document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
        ASSERT_NE(document, nullptr);
        Settle();
    }

    // Another program writes the file: in place, or as a new file renamed over it (as version
    // control and most generators do). Its time is set apart from the old one, which a fast
    // file system could otherwise share.
    void Write(const QByteArray& bytes, bool byRename = false) {
        QString target = byRename ? path + QStringLiteral(".new") : path;
        ASSERT_NO_FATAL_FAILURE(WriteBytes(target, bytes));
        static long seconds = 1'000'000'000;
        struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        seconds += 10;
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0), 0);
        if (byRename) {
            ASSERT_EQ(::rename(QFile::encodeName(target).constData(),
                               QFile::encodeName(path).constData()),
                      0);
        }
    }

    QByteArray OnDisk() const { return ReadBytesOrEmpty(path); }

    std::string Line(int line) const {
        return {document->buffer.LineText(line),
                static_cast<std::size_t>(document->buffer.LineLength(line))};
    }

    CCorvelTextView* View() const {
        return dynamic_cast<CCorvelTextView*>(document->Views().front());
    }

    QString path;
    CSampleDoc* document = nullptr;
};

TEST_F(DiskChangeTest, AnUnchangedFileIsLeftAlone) {
    document->CheckDiskChange();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Line(1), "R1 in out 1k");
}

TEST_F(DiskChangeTest, AnUnmodifiedDocumentIsReadAgainQuietlyKeepingCaretLineAndBookmarks) {
    document->buffer.ChangeLineFlag(1, Bookmark, true, false);
    document->buffer.ChangeLineFlag(4, NumberedBookmark(3), true, true);
    View()->PlaceCursor({3, 2});

    Write("* RC, regenerated\nR1 in out 2k\nC1 out 0 1u\n.end\n", /*byRename=*/true);
    document->CheckDiskChange();

    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Line(1), "R1 in out 2k");
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(View()->CaretPosition().y, 2);
    EXPECT_EQ(document->buffer.FlagsOfLine(1), std::uint32_t{Bookmark});
    // Line 4 is the last line now; its numbered bookmark stays.
    EXPECT_EQ(document->buffer.LineOfSingleFlag(NumberedBookmark(3)), 4);

    // Read once: the same file is not read again.
    document->buffer.ChangeLineFlag(1, Bookmark, false, false);
    document->CheckDiskChange();
    EXPECT_EQ(document->buffer.FlagsOfLine(1), 0u);
}

// The check runs when the user comes back to the document's window.
TEST_F(DiskChangeTest, ComingBackToTheWindowReadsTheChangedFile) {
    application->OnFileNew();
    QApplication::processEvents();
    QMdiArea* area = application->MainFrame()->MdiArea();
    ASSERT_EQ(area->subWindowList().size(), 2);
    QMdiSubWindow* first = area->subWindowList().front();
    ASSERT_NE(area->activeSubWindow(), first);

    Write("* RC, regenerated\nR1 in out 2k\n.end\n");
    area->setActiveSubWindow(first);
    QApplication::processEvents();

    EXPECT_EQ(Line(1), "R1 in out 2k");
    EXPECT_TRUE(host.messages.empty());
}

// A file read again is read in the encoding its bytes have, unless the user chose one.
TEST_F(DiskChangeTest, ReadingAgainDetectsTheEncodingUnlessTheUserChoseOne) {
    ASSERT_EQ(document->encoding, TextEncoding::Windows1251);
    Write(
        "* "
        "\xd0\x9a\xd0\xbe\xd0\xbc\xd0\xbc\xd0\xb5\xd0\xbd\xd1\x82\xd0\xb0\xd1\x80\xd0\xb8\xd0\xb9\n"
        ".end\n");
    document->CheckDiskChange();
    EXPECT_EQ(document->encoding, TextEncoding::Utf8);

    document->OnViewOtherEncoding();
    ASSERT_EQ(document->encoding, TextEncoding::Windows1251);
    Write("* \xd0\x9d\xd0\xbe\xd0\xb2\xd1\x8b\xd0\xb9\n.end\n");
    document->CheckDiskChange();
    EXPECT_EQ(Line(0), "* \xd0\x9d\xd0\xbe\xd0\xb2\xd1\x8b\xd0\xb9");
    EXPECT_EQ(document->encoding, TextEncoding::Windows1251);
}

TEST_F(DiskChangeTest, AModifiedDocumentAsksAndNoKeepsTheTextWithoutAskingAgain) {
    Type(*document, "* mine\n");
    Write("* theirs\n");
    host.ThenPress(QMessageBox::No);
    document->CheckDiskChange();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("deck.cir"));
    EXPECT_EQ(Line(0).substr(0, 6), "* mine");
    EXPECT_TRUE(document->IsModified());
    document->CheckDiskChange();
    EXPECT_EQ(host.messages.size(), 1u);
}

// A stray Enter on the question keeps the user's edits.
TEST_F(DiskChangeTest, EnterOnTheReloadQuestionKeepsTheEdits) {
    Type(*document, "* mine\n");
    Write("* theirs\n");
    host.ThenPressDefault();
    document->CheckDiskChange();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(Line(0).substr(0, 6), "* mine");
    EXPECT_TRUE(document->IsModified());
}

TEST_F(DiskChangeTest, AModifiedDocumentAsksAndYesReadsTheFileAgain) {
    Type(*document, "* mine\n");
    Write("* theirs\n");
    host.ThenPress(QMessageBox::Yes);
    document->CheckDiskChange();

    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(Line(0), "* theirs");
    EXPECT_FALSE(document->IsModified());
}

TEST_F(DiskChangeTest, ADeletedFileIsSaidOnceAndTheTextStaysModified) {
    ASSERT_TRUE(QFile::remove(path));
    document->CheckDiskChange();
    document->CheckDiskChange();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("удалён"));
    EXPECT_EQ(Line(1), "R1 in out 1k");
    EXPECT_TRUE(document->IsModified());
    // Saved, it is the file again.
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(OnDisk(), kOriginal);
}

TEST_F(DiskChangeTest, ASaveOverAFileChangedSinceAsksFirst) {
    Type(*document, "* mine\n");
    const QByteArray theirs = "* theirs\n";
    Write(theirs);

    host.ThenPress(QMessageBox::No);
    EXPECT_FALSE(document->DoFileSave());
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(OnDisk(), theirs);
    EXPECT_TRUE(document->IsModified());

    host.ThenPress(QMessageBox::Yes);
    EXPECT_TRUE(document->DoFileSave());
    EXPECT_EQ(OnDisk(), "* mine\n" + kOriginal);
    // Its own save is no change by another program.
    Type(*document, "* more\n");
    EXPECT_TRUE(document->DoFileSave());
    EXPECT_EQ(host.messages.size(), 2u);
}

}  // namespace
