// Recovery copies: kept while a document is modified, gone once it is saved or closed, and
// offered at the next start when the program was killed with unsaved work.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "DocumentTyping.h"
#include "EventLoop.h"
#include "RecoveryFolder.h"
#include "RecoveryKeeper.h"
#include "RecoveryOffer.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "ScriptedModalHost.h"
#include "TestFiles.h"

namespace {

using ::testing::HasSubstr;

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Type;
using kivra_test::WaitFor;
using kivra_test::WriteBytes;

// Forks a child that runs the work, which tells the parent one character and then goes on until
// it is killed. The parent waits for that character; -1 when the fork or the word failed.
pid_t StartChild(const std::function<void(const std::function<void(char)>& tell)>& work,
                 char& told) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        work([&](char word) { (void)!::write(ready[1], &word, 1); });
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    bool heard = child > 0 && ::read(ready[0], &told, 1) == 1;
    ::close(ready[0]);
    return heard ? child : -1;
}

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(netlists.isValid());
        ASSERT_TRUE(state.isValid());
        // The program's own folder is this one too.
        savedState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        folder = std::make_shared<CRecoveryFolder>(state.path() + QStringLiteral("/kivra"));
        CSampleDoc::SetRecoveryFolder(folder);
        savedTimes = {CRecoveryKeeper::delayMilliseconds, CRecoveryKeeper::longestWaitMilliseconds,
                      CRecoveryKeeper::changesPerCopy};
        CRecoveryKeeper::delayMilliseconds = 50;
        netlist = netlists.filePath(QStringLiteral("deck.cir"));
        WriteBytes(netlist, kOriginal);
    }

    void TearDown() override {
        qputenv("XDG_STATE_HOME", savedState);
        CSampleDoc::SetRecoveryFolder(nullptr);
        CRecoveryKeeper::delayMilliseconds = savedTimes[0];
        CRecoveryKeeper::longestWaitMilliseconds = savedTimes[1];
        CRecoveryKeeper::changesPerCopy = savedTimes[2];
    }

    QStringList CopiesOnDisk() const {
        return QDir(folder->Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // The text file the copy's information names.
    QString TextOfCopy(const QString& key) const {
        for (const QByteArray& line :
             ReadBytesOrEmpty(folder->Path() + "/" + key + ".info").split('\n')) {
            if (line.startsWith("text="))
                return folder->Path() + "/" + QString::fromUtf8(line.mid(5));
        }
        return QString();
    }

    const QByteArray kOriginal = "* RC\nR1 in out 1k\nC1 out 0 1u\n.end\n";
    kivra_test::ScriptedModalHost host;
    QTemporaryDir netlists;
    QTemporaryDir state;
    std::shared_ptr<CRecoveryFolder> folder;
    QString netlist;
    QByteArray savedState;
    std::array<int, 3> savedTimes{};
};

TEST_F(RecoveryTest, AModifiedDocumentKeepsOneCopyUntilItIsSaved) {
    CSampleDoc document;
    ASSERT_TRUE(document.OnOpenDocument(netlist));
    document.SetPathName(netlist, false);
    Type(document, "* first\n", 1);
    Type(document, "* second\n", 1);
    ASSERT_TRUE(WaitFor([&] { return CopiesOnDisk().size() == 2; }));
    folder->WaitUntilWritten();

    const QString key = document.Recovery()->Key();
    EXPECT_TRUE(CopiesOnDisk().contains(key + ".info"));
    EXPECT_EQ(ReadBytesOrEmpty(TextOfCopy(key)),
              "* RC\n* second\n* first\nR1 in out 1k\nC1 out 0 1u\n.end\n");
    // Nothing beside the netlist, and the copies are the user's alone.
    EXPECT_EQ(QDir(netlists.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(QFile::permissions(folder->Path()) & (QFile::ReadOther | QFile::ReadGroup), 0);
    // A copy left by a process that still runs is never offered, nor tidied away.
    EXPECT_TRUE(folder->Orphans().empty());
    folder->RemoveLeftovers();
    EXPECT_EQ(CopiesOnDisk().size(), 2);

    // A newer copy replaces the older: still one text and its information.
    Type(document, "* third\n", 1);
    ASSERT_TRUE(WaitFor([&] { return ReadBytesOrEmpty(TextOfCopy(key)).contains("third"); }));
    folder->WaitUntilWritten();
    EXPECT_EQ(CopiesOnDisk().size(), 2);

    ASSERT_TRUE(document.OnSaveDocument(netlist));
    folder->WaitUntilWritten();
    EXPECT_TRUE(CopiesOnDisk().isEmpty());
}

TEST_F(RecoveryTest, UndoingBackToTheSavedTextOrClosingRemovesTheCopy) {
    auto document = std::make_unique<CSampleDoc>();
    ASSERT_TRUE(document->OnOpenDocument(netlist));
    Type(*document, "x");
    ASSERT_TRUE(WaitFor([&] { return !CopiesOnDisk().isEmpty(); }));
    TextPosition position;
    ASSERT_TRUE(document->buffer.StepBack(position));
    EXPECT_FALSE(document->IsModified());
    folder->WaitUntilWritten();
    EXPECT_TRUE(CopiesOnDisk().isEmpty());

    Type(*document, "y");
    ASSERT_TRUE(WaitFor([&] { return !CopiesOnDisk().isEmpty(); }));
    document.reset();  // closed without saving
    folder->WaitUntilWritten();
    EXPECT_TRUE(CopiesOnDisk().isEmpty());
}

// While the user keeps typing, with no pause long enough for the usual copy, the copy still
// follows: after the longest wait, or after so many changes, whichever comes first.
TEST_F(RecoveryTest, TypingWithoutAPauseIsCopiedAfterTheLongestWaitOrSoManyChanges) {
    CRecoveryKeeper::delayMilliseconds = 60000;
    struct Case {
        int longestWait;
        int changesPerCopy;
        int changes;
    };
    for (Case test : {Case{100, 10000, 1}, Case{60000, 5, 5}}) {
        CRecoveryKeeper::longestWaitMilliseconds = test.longestWait;
        CRecoveryKeeper::changesPerCopy = test.changesPerCopy;
        CSampleDoc document;
        ASSERT_TRUE(document.OnOpenDocument(netlist));
        for (int change = 0; change < test.changes; ++change)
            Type(document, "*");
        const QString key = document.Recovery()->Key();
        EXPECT_TRUE(WaitFor([&] { return CopiesOnDisk().contains(key + ".info"); }, 3000))
            << "longest wait " << test.longestWait << ", changes " << test.changes;
        folder->WaitUntilWritten();
        EXPECT_TRUE(
            ReadBytesOrEmpty(TextOfCopy(key)).startsWith(QByteArray(test.changes, '*') + "* RC"))
            << ReadBytesOrEmpty(TextOfCopy(key)).left(20).toStdString();
    }
}

TEST_F(RecoveryTest, ABookmarkAloneMakesNoCopy) {
    CSampleDoc document;
    ASSERT_TRUE(document.OnOpenDocument(netlist));
    document.buffer.ChangeLineFlag(1, NumberedBookmark0, true, false);
    QApplication::processEvents();
    QThread::msleep(100);
    QApplication::processEvents();
    EXPECT_TRUE(CopiesOnDisk().isEmpty());
}

// What processes no longer running left: whole copies stay to be offered, the rest goes; files
// of a running process and files that are not copies are never touched.
TEST_F(RecoveryTest, LeftoversOfEndedProcessesGoAndWholeCopiesStay) {
    ASSERT_TRUE(QDir().mkpath(folder->Path()));
    // This process's id with a start time it never had: a process that has ended.
    const QString ended = QStringLiteral("%1-1-").arg(::getpid());
    const QString running = CRecoveryFolder::NewKey();
    const QByteArray info = "path=/tmp/a.cir\ntitle=a.cir\nwritten=2026-01-01T10:00:00\n";
    struct File {
        QString name;
        QByteArray bytes;
        bool stays;
    };
    const File files[] = {
        {ended + "1.info", info + "text=" + (ended + "1.3.cir").toUtf8() + "\n", true},
        {ended + "1.3.cir", "whole", true},
        {ended + "1.2.cir", "the copy before", false},
        {ended + "1.4.cir.part", "half", false},
        {ended + "1.info.part", "half", false},
        {ended + "2.5.cir", "no information names it", false},
        {ended + "3.info", info + "text=" + (ended + "3.9.cir").toUtf8() + "\n", false},
        {ended + "4.info", info + "text=../elsewhere.cir\n", false},
        // A copy of an earlier version: its text has the key's own name.
        {ended + "5.info", info, true},
        {ended + "5.cir", "earlier version", true},
        {running + ".1.cir.part", "being written", true},
        {QStringLiteral("notes.txt"), "not a copy", true},
    };
    for (const File& file : files)
        WriteBytes(folder->Path() + "/" + file.name, file.bytes);

    folder->RemoveLeftovers();
    for (const File& file : files)
        EXPECT_EQ(CopiesOnDisk().contains(file.name), file.stays) << file.name.toStdString();
    std::vector<SRecoveryCopy> offered = folder->Orphans();
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(ReadBytesOrEmpty(offered[0].textPath) + ReadBytesOrEmpty(offered[1].textPath),
              "wholeearlier version");
}

// A process killed at any moment while it writes copy after copy leaves one whole copy to offer,
// the last it finished or the one it was writing, and after the tidying nothing else.
TEST_F(RecoveryTest, AKillWhileCopiesAreWrittenLeavesOneWholeCopy) {
    for (int delay : {0, 2, 5, 11, 23}) {
        const QString path = folder->Path() + QStringLiteral("/round%1").arg(delay);
        char written = 0;
        pid_t child = StartChild(
            [&](const std::function<void(char)>& tell) {
                CRecoveryFolder writing(path);
                const QString key = CRecoveryFolder::NewKey();
                for (int version = 1;; ++version) {
                    SRecoveryText text;
                    text.key = key;
                    std::string line = "version " + std::to_string(version) + "\n";
                    for (int piece = 0; piece < 8; ++piece) {
                        std::string bytes;
                        for (int copies = 0; copies < 20000; ++copies)
                            bytes += line;
                        text.bytes.push_back(bytes);
                    }
                    writing.Write(std::move(text));
                    writing.WaitUntilWritten();
                    if (version == 1)
                        tell('y');
                }
            },
            written);
        ASSERT_GT(child, 0);
        QThread::msleep(delay);
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);

        CRecoveryFolder left(path);
        left.RemoveLeftovers();
        std::vector<SRecoveryCopy> offered = left.Orphans();
        ASSERT_EQ(offered.size(), 1u) << "killed after " << delay << " ms";
        QByteArray text = ReadBytesOrEmpty(offered[0].textPath);
        QByteArray line = text.left(text.indexOf('\n') + 1);
        ASSERT_TRUE(line.startsWith("version "));
        EXPECT_EQ(text, line.repeated(8 * 20000)) << "killed after " << delay << " ms";
        EXPECT_EQ(QDir(path).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

// A child process opens the netlist, edits it and is killed before it can save. The copy it
// left is offered at the next start and restores the child's text byte for byte, under the
// netlist's name, modified.
class KilledProgramTest : public RecoveryTest {
protected:
    // The text the child had when it was killed.
    const QByteArray kChildText = "* RC\nR1 in out 1k\n* Кириллица \xb5\nC1 out 0 1u\n.end\n";

    void KillAChildWithUnsavedWork() {
        char result = 0;
        pid_t child = StartChild(
            [&](const std::function<void(char)>& tell) {
                CSampleDoc document;
                bool opened = document.OnOpenDocument(netlist);
                document.SetPathName(netlist, false);
                int endLine = 0, endCharacter = 0;
                opened =
                    opened && document.buffer.InsertAt(nullptr, 2, 0, "* Кириллица \xb5\n", endLine,
                                                       endCharacter, EditAction::Typing);
                bool written = opened && WaitFor([&] {
                                   return QFileInfo::exists(folder->Path() + QLatin1Char('/') +
                                                            document.Recovery()->Key() + ".info");
                               });
                tell(written ? 'y' : 'n');
                for (;;)
                    ::pause();
            },
            result);
        ASSERT_GT(child, 0);
        ::kill(child, SIGKILL);
        // Killed but not yet reaped, the child runs no more: its copy is offered already.
        ASSERT_TRUE(WaitFor([&] {
            return ReadBytesOrEmpty(QStringLiteral("/proc/%1/stat").arg(child)).contains(") Z ");
        }));
        EXPECT_EQ(folder->Orphans().size(), 1u);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(result, 'y') << "the child wrote no copy";
    }
};

TEST_F(KilledProgramTest, TheNextStartOffersTheCopyAndRestoresItByteForByte) {
    KillAChildWithUnsavedWork();
    ASSERT_EQ(folder->Orphans().size(), 1u);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, state.path());
    auto application = std::make_unique<CSampleApp>();
    host.ThenPress(QMessageBox::Yes);
    ASSERT_TRUE(application->InitInstance());
    CSampleDoc* document = nullptr;
    OfferRecoveryCopies(*application, *folder);  // nothing more to offer: it was restored
    for (CDocument* open : application->Documents()) {
        if (open->GetPathName() == netlist)
            document = dynamic_cast<CSampleDoc*>(open);
    }
    ASSERT_NE(document, nullptr);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("deck.cir"));
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(ReadBytesOrEmpty(netlist), kOriginal);  // nothing is written until the user saves
    EXPECT_TRUE(folder->Orphans().empty());
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(ReadBytesOrEmpty(netlist), kChildText);
    application.reset();
}

TEST_F(KilledProgramTest, NoDiscardsTheCopyAndCancelKeepsItForTheNextStart) {
    KillAChildWithUnsavedWork();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, state.path());
    auto application = std::make_unique<CSampleApp>();
    host.ThenPress(QMessageBox::Cancel);
    ASSERT_TRUE(application->InitInstance());
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(folder->Orphans().size(), 1u);

    host.ThenPress(QMessageBox::No);
    OfferRecoveryCopies(*application, *folder);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(folder->Orphans().empty());
    EXPECT_TRUE(CopiesOnDisk().isEmpty());
    for (CDocument* open : application->Documents())
        EXPECT_FALSE(open->IsModified());
    application.reset();
}

}  // namespace
