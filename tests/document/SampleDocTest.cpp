// The netlist document: its modified flag follows the buffer, its font reaches its own windows and
// no others, the read-only toggle, a save that fails, a file that does not open, and the untitled
// documents that opening a file replaces.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QMdiArea>
#include <QSettings>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "ChildFrame.h"
#include "CmdUI.h"
#include "CommandIds.h"
#include "DocumentTyping.h"
#include "MainFrame.h"
#include "QStringPrinting.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "ShellFixture.h"
#include "SplitterWnd.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using kivra_test::Settle;
using kivra_test::Type;

std::string FirstLine(const CSampleDoc& document) {
    return {document.buffer.LineText(0), static_cast<size_t>(document.buffer.LineLength(0))};
}

// A document on its own, without the program around it.
class StandaloneDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(document.OnNewDocument());
    }

    kivra_test::ScriptedModalHost host;
    QTemporaryDir folder;
    CSampleDoc document;
};

TEST_F(StandaloneDocTest, ModifiedFlagFollowsTheBufferThroughEditsUndoRedoAndSave) {
    EXPECT_FALSE(document.IsModified());
    Type(document, "R1 1 0 1k");
    EXPECT_TRUE(document.IsModified());

    TextPosition position;
    ASSERT_TRUE(document.buffer.StepBack(position));
    EXPECT_FALSE(document.IsModified());
    ASSERT_TRUE(document.buffer.StepForward(position));
    EXPECT_TRUE(document.IsModified());

    ASSERT_TRUE(document.OnSaveDocument(folder.filePath(QStringLiteral("a.cir"))));
    EXPECT_FALSE(document.IsModified());
    EXPECT_FALSE(document.buffer.IsModified());

    // Undoing past the saved text changes it again; redoing back to it does not.
    ASSERT_TRUE(document.buffer.StepBack(position));
    EXPECT_TRUE(document.IsModified());
    ASSERT_TRUE(document.buffer.StepForward(position));
    EXPECT_FALSE(document.IsModified());
    EXPECT_TRUE(host.messages.empty());
}

struct FontHeightCase {
    int screenWidth;
    int height;
};

void PrintTo(const FontHeightCase& font, std::ostream* out) {
    *out << font.screenWidth << " pixels";
}

class DefaultFontTest : public ::testing::TestWithParam<FontHeightCase> {};

TEST_P(DefaultFontTest, HeightFollowsScreenWidth) {
    LogFont font = DefaultDocumentFont(GetParam().screenWidth);
    EXPECT_EQ(font.height, GetParam().height);
    LogFont expected;
    expected.height = GetParam().height;
    expected.weight = 400;
    expected.charSet = 204;
    expected.faceName = "Courier New";
    EXPECT_EQ(font, expected) << "every other field is zero";
}

INSTANTIATE_TEST_SUITE_P(Screens, DefaultFontTest,
                         ::testing::Values(FontHeightCase{640, -13}, FontHeightCase{799, -13},
                                           FontHeightCase{800, -14}, FontHeightCase{1023, -14},
                                           FontHeightCase{1024, -15}, FontHeightCase{1920, -15}));

TEST_F(StandaloneDocTest, NewDocumentStartsWithTheDefaultFontOfThisScreen) {
    EXPECT_EQ(document.logFont, DefaultDocumentFont(ScreenWidth()));
}

TEST_F(StandaloneDocTest, ReadOnlyToggleTwiceSaysSoOnceAndEndsWritable) {
    auto checkMark = [this] {
        CCmdUI ui(ID_DOC_READONLY);
        EXPECT_TRUE(document.RouteUpdateCommandUI(ui));
        return ui.IsChecked();
    };
    EXPECT_FALSE(checkMark());

    ASSERT_TRUE(document.ExecuteCommand(ID_DOC_READONLY));
    EXPECT_TRUE(document.buffer.IsReadOnly());
    EXPECT_TRUE(checkMark());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Document now read-only!"));
    EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
    EXPECT_EQ(host.messages[0].icon, QMessageBox::Warning);

    ASSERT_TRUE(document.ExecuteCommand(ID_DOC_READONLY));
    EXPECT_FALSE(document.buffer.IsReadOnly());
    EXPECT_FALSE(checkMark());
    EXPECT_EQ(host.messages.size(), 1u);
}

// The program started as from the desktop, with its main window and documents.
class SampleDocShellTest : public kivra_test::ShellFixture {
protected:
    std::vector<CDocument*> Documents() const { return application->Documents(); }
    CSampleDoc* Doc(int index) const {
        return dynamic_cast<CSampleDoc*>(application->Documents().at(index));
    }
    CMainFrame& Frame() const { return *application->MainFrame(); }
    std::vector<QString> Titles() const {
        std::vector<QString> titles;
        for (CDocument* document : Documents())
            titles.push_back(document->GetTitle());
        return titles;
    }
};

// The families the font chooser lists.
QStringList OfferedFamilies(QFontDialog& chooser) {
    QStringList families;
    // The family list is the first list; the style and size lists follow.
    QList<QListView*> lists = chooser.findChildren<QListView*>();
    if (lists.isEmpty())
        return families;
    QAbstractItemModel* model = lists.first()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        families.append(model->index(row, 0).data().toString());
    return families;
}

TEST_F(SampleDocShellTest, ChosenFontReachesEveryViewOfTheDocumentAndNoOther) {
    CSampleDoc* first = Doc(0);
    application->OnFileNew();
    CSampleDoc* second = Doc(1);
    Settle();
    // The first document in two windows, the first of them split: three views.
    dynamic_cast<CChildFrame*>(first->Frames().front())->ActivateFrame();
    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_NEW));
    auto* split = dynamic_cast<CChildFrame*>(first->Frames().front());
    split->resize(600, 400);
    ASSERT_TRUE(split->Splitter()->SplitRow(150));
    ASSERT_EQ(first->Views().size(), 3u);
    ASSERT_EQ(second->Views().size(), 1u);
    const LogFont secondFont = second->logFont;

    QFont wanted(QStringLiteral("DejaVu Sans Mono"));
    wanted.setPointSize(20);
    QStringList offered;
    host.ThenAccept([&](QDialog& dialog) {
        auto& chooser = dynamic_cast<QFontDialog&>(dialog);
        offered = OfferedFamilies(chooser);
        chooser.setCurrentFont(wanted);
    });
    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_FONT));

    EXPECT_EQ(first->logFont.faceName, "DejaVu Sans Mono");
    EXPECT_LT(first->logFont.height, DefaultDocumentFont(ScreenWidth()).height);
    for (CView* view : first->Views()) {
        auto* pane = dynamic_cast<CSampleView*>(view);
        EXPECT_EQ(pane->ViewLogFont(), first->logFont);
        EXPECT_EQ(pane->FontFor(false, false).family(), QStringLiteral("DejaVu Sans Mono"));
    }
    EXPECT_EQ(second->logFont, secondFont);
    EXPECT_EQ(dynamic_cast<CSampleView*>(second->Views().front())->ViewLogFont(), secondFont);

    ASSERT_FALSE(offered.isEmpty());
    for (const QString& family : offered)
        EXPECT_TRUE(QFontDatabase::isFixedPitch(family)) << family.toStdString();
    EXPECT_TRUE(offered.contains(QStringLiteral("DejaVu Sans Mono")));
}

TEST_F(SampleDocShellTest, ConfirmingTheFontUnchangedStillReappliesItInEveryView) {
    CSampleDoc* document = Doc(0);
    ASSERT_TRUE(Frame().OnCommand(ID_WINDOW_NEW));
    ASSERT_EQ(document->Views().size(), 2u);
    const LogFont before = document->logFont;
    // One view shows something else; a re-apply brings it back to the document's font.
    LogFont stray = before;
    stray.height = -30;
    auto* strayView = dynamic_cast<CSampleView*>(document->Views().back());
    strayView->ApplyFont(stray);

    host.ThenAccept();
    document->OnChooseFont();

    // Nothing was changed in the chooser, so the font is the one the document had.
    EXPECT_EQ(document->logFont.height, before.height);
    EXPECT_EQ(document->logFont.faceName, before.faceName);
    EXPECT_EQ(document->logFont.weight, before.weight);
    for (CView* view : document->Views())
        EXPECT_EQ(dynamic_cast<CSampleView*>(view)->ViewLogFont(), document->logFont);
}

TEST_F(SampleDocShellTest, CancelledFontChoiceChangesNothing) {
    CSampleDoc* document = Doc(0);
    const LogFont before = document->logFont;
    LogFont stray = before;
    stray.height = -30;
    auto* view = dynamic_cast<CSampleView*>(document->Views().front());
    view->ApplyFont(stray);

    host.ThenCancel();
    document->OnChooseFont();

    EXPECT_EQ(host.dialogsShown, 1);
    EXPECT_EQ(document->logFont, before);
    EXPECT_EQ(view->ViewLogFont(), stray);
}

// How a save can fail: the file's folder has gone, or the new name is in a folder that does
// not exist.
enum class SaveFailure { FolderRemoved, SaveAsIntoMissingFolder };

void PrintTo(SaveFailure failure, std::ostream* out) {
    *out << (failure == SaveFailure::FolderRemoved ? "folder removed"
                                                   : "save as into missing folder");
}

class FailedSaveTest : public SampleDocShellTest,
                       public ::testing::WithParamInterface<SaveFailure> {};

TEST_P(FailedSaveTest, SaysWhyOnceAndKeepsTheDocumentModifiedUnderItsOldName) {
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    QString original = MakeFile(QStringLiteral("sub/a.cir"), "V1 1 0 5\r\n");
    ASSERT_NE(application->OpenDocumentFile(original), nullptr);
    CSampleDoc* document = Doc(0);
    Type(*document, "* edited\r\n");
    const QString oldPath = document->GetPathName();
    const QString oldTitle = document->GetTitle();

    QString target;
    bool saved = true;
    if (GetParam() == SaveFailure::FolderRemoved) {
        ASSERT_TRUE(QDir(folder.filePath(QStringLiteral("sub"))).removeRecursively());
        target = original;
        saved = document->DoFileSave();
    } else {
        target = folder.filePath(QStringLiteral("missing/b.cir"));
        saved = document->DoSave(target);
    }

    EXPECT_FALSE(saved);
    ASSERT_EQ(host.messages.size(), 1u);
    const QString text = host.messages[0].text;
    EXPECT_THAT(text.toStdString(), HasSubstr(QFileInfo(target).fileName().toStdString()));
    EXPECT_THAT(text.toStdString(), HasSubstr(std::strerror(ENOENT)));
    EXPECT_EQ(host.messages[0].caption, QStringLiteral("Kivra"));
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->GetPathName(), oldPath);
    EXPECT_EQ(document->GetTitle(), oldTitle);
    EXPECT_FALSE(QFileInfo::exists(target));
    // Only the opened file is in the recent list: a name that was not saved to is not.
    EXPECT_EQ(application->RecentFiles()->Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedSaveTest,
                         ::testing::Values(SaveFailure::FolderRemoved,
                                           SaveFailure::SaveAsIntoMissingFolder));

TEST_F(SampleDocShellTest, MissingFileIsReportedAndMakesNoDocument) {
    QString missing = folder.filePath(QStringLiteral("none.cir"));
    EXPECT_EQ(application->OpenDocumentFile(missing), nullptr);
    Settle();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("none.cir"));
    // The untitled document of the start stays: nothing replaced it.
    EXPECT_THAT(Titles(), ElementsAre(QStringLiteral("Kivra1")));
    EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), 1);
}

// A pipe is refused at once rather than waited on for ever, with a reason a user understands.
TEST_F(SampleDocShellTest, APipeIsRefusedAtOnceAndMakesNoDocument) {
    QString pipe = folder.filePath(QStringLiteral("pipe.cir"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(application->OpenDocumentFile(pipe), nullptr);
    Settle();

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("pipe.cir"));
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("не обычный файл"));
    EXPECT_THAT(Titles(), ElementsAre(QStringLiteral("Kivra1")));
}

// A file with NUL bytes shows its lines up to them; saying so and opening it read-only keeps
// any save from cutting the file short.
TEST_F(SampleDocShellTest, AFileWithNulBytesOpensReadOnlyWithAMessageAndIsNeverSavedOver) {
    QByteArray bytes;
    for (int index = 0; index < 4096; ++index)
        bytes.append(static_cast<char>(index * 37 % 256));
    QString path = MakeFile(QStringLiteral("data.bin"), bytes);
    CDocument* opened = application->OpenDocumentFile(path);
    ASSERT_NE(opened, nullptr);
    Settle();
    auto* document = static_cast<CSampleDoc*>(opened);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("data.bin"));
    EXPECT_THAT(host.messages[0].text.toStdString(), HasSubstr("нулевые байты"));
    EXPECT_TRUE(document->buffer.IsReadOnly());

    // Made writable by hand, edited and saved: the file itself is still refused, a new name not.
    document->buffer.MakeReadOnly(false);
    Type(*document, "* mine\r\n");
    EXPECT_FALSE(document->DoFileSave());
    EXPECT_EQ(host.messages.size(), 2u);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(kivra_test::ReadBytesOrEmpty(path), bytes);
    EXPECT_TRUE(document->IsModified());
    EXPECT_TRUE(document->DoSave(folder.filePath(QStringLiteral("text.cir"))));
}

TEST_F(SampleDocShellTest, OpeningAFileClosesOnlyUntouchedUntitledDocuments) {
    QString t = MakeFile(QStringLiteral("t.cir"), "R1 1 0 1k\r\n");
    QString u = MakeFile(QStringLiteral("u.cir"), "C1 1 0 1u\r\n");

    // The untouched document of the start gives way to the first file.
    ASSERT_NE(application->OpenDocumentFile(t), nullptr);
    Settle();
    EXPECT_THAT(Titles(), ElementsAre(QStringLiteral("t.cir")));

    application->OnFileNew();  // Kivra2, left untouched
    application->OnFileNew();  // Kivra3, edited
    Type(*Doc(2), "* mine\r\n");
    ASSERT_NE(application->OpenDocumentFile(u), nullptr);
    Settle();

    EXPECT_THAT(Titles(), ElementsAre(QStringLiteral("t.cir"), QStringLiteral("Kivra3"),
                                      QStringLiteral("u.cir")));
    EXPECT_EQ(FirstLine(*Doc(1)), "* mine");
    EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), 3);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SampleDocShellTest, CloseUntitledDocumentsSparesTheDocumentThatAsks) {
    application->OnFileNew();
    CSampleDoc* second = Doc(1);
    second->CloseUntitledDocuments();
    Settle();
    EXPECT_THAT(Titles(), ElementsAre(QStringLiteral("Kivra2")));
}

}  // namespace
