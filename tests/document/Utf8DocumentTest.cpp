// UTF-8 netlists as documents: an edit changes only the bytes it edits, the View menu's command
// reads the same bytes in the other encoding without changing one, and bytes that are no UTF-8
// character live through edits and saves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "CmdUI.h"
#include "CommandIds.h"
#include "MainFrame.h"
#include "SampleApp.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "ScriptedModalHost.h"
#include "ShellFixture.h"
#include "ViewTestSupport.h"

namespace {

using kivra_test::ReadBytesOrEmpty;
using kivra_test::Settle;

class Utf8DocumentTest : public kivra_test::ShellFixture {
protected:
    CSampleDoc* Open(const QString& path) {
        auto* document = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
        EXPECT_NE(document, nullptr) << path.toStdString();
        Settle();
        return document;
    }

    CMainFrame& Frame() const { return *application->MainFrame(); }

    static CSampleView& ViewOf(CSampleDoc& document) {
        return *dynamic_cast<CSampleView*>(document.Views().front());
    }

    // One key press that carries the text, as a keyboard layout delivers it.
    static void TypeInto(CSampleView& view, const QString& text) {
        QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, text, Qt::NoModifier);
    }
};

// "*100W into 8Ω at less than .1% THD": the Ω becomes "Ом" and nothing else changes.
TEST_F(Utf8DocumentTest, AnEditedCorpusNetlistKeepsEveryOtherByte) {
    const QByteArray original =
        ReadBytesOrEmpty(QStringLiteral(KIVRA_CORPUS_DIR "/ngspice-examples/vdmos/100W.sp"));
    if (original.isEmpty())
        GTEST_SKIP() << "no corpus netlist";
    const QByteArray omega = "8\xCE\xA9 at";
    const qsizetype at = original.indexOf(omega);
    ASSERT_GE(at, 0);
    const QString path = MakeFile(QStringLiteral("100W.sp"), original);
    CSampleDoc* document = Open(path);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->encoding, TextEncoding::Utf8);

    CSampleView& view = ViewOf(*document);
    ASSERT_EQ(std::string(document->buffer.LineText(1), 14), "*100W into 8\xCE\xA9");
    kivra_test::Place(view, {14, 1}, {14, 1});
    QTest::keyClick(&view, Qt::Key_Backspace);
    TypeInto(view, QStringLiteral("Ом"));
    ASSERT_TRUE(document->DoFileSave());

    QByteArray expected = original;
    expected.replace(at + 1, 2, "Ом");
    EXPECT_EQ(ReadBytesOrEmpty(path), expected);
}

TEST_F(Utf8DocumentTest, TheOtherEncodingCommandReadsTheSameBytesAnew) {
    const QByteArray bytes = "* Фильтр 10 µF\r\nC1 1 0 10u\r\n";
    const QString path = MakeFile(QStringLiteral("rc.cir"), bytes);
    CSampleDoc* document = Open(path);
    ASSERT_NE(document, nullptr);
    CSampleView& view = ViewOf(*document);
    ASSERT_EQ(view.Encoding(), TextEncoding::Utf8);
    auto label = [&] {
        CCmdUI ui(ID_VIEW_OTHER_ENCODING);
        view.RouteUpdateCommandUI(ui);
        return ui.Text();
    };
    EXPECT_EQ(label(), "Открыть в кодировке Windows-1251");

    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_OTHER_ENCODING));
    EXPECT_EQ(document->encoding, TextEncoding::Windows1251);
    EXPECT_EQ(view.Encoding(), TextEncoding::Windows1251);
    EXPECT_EQ(label(), "Открыть в кодировке UTF-8");
    EXPECT_FALSE(document->IsModified());

    // Modified stays modified, and the bytes are those the user made.
    kivra_test::Place(view, {0, 1}, {0, 1});
    TypeInto(view, QStringLiteral("*"));
    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_OTHER_ENCODING));
    EXPECT_EQ(view.Encoding(), TextEncoding::Utf8);
    EXPECT_TRUE(document->IsModified());
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(ReadBytesOrEmpty(path), "* Фильтр 10 µF\r\n*C1 1 0 10u\r\n");
}

// A file with a byte that is no UTF-8 character opens as Windows-1251; read as UTF-8 and edited
// elsewhere, it keeps that byte.
TEST_F(Utf8DocumentTest, ABrokenSequenceSurvivesAnEditElsewhereAndASave) {
    const QByteArray bytes = "* Жук \xD0\x96\xD0\r\nR1 1 0 1k\r\n";
    const QString path = MakeFile(QStringLiteral("broken.cir"), bytes);
    CSampleDoc* document = Open(path);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->encoding, TextEncoding::Windows1251);
    ASSERT_TRUE(Frame().OnCommand(ID_VIEW_OTHER_ENCODING));
    CSampleView& view = ViewOf(*document);
    ASSERT_EQ(view.Encoding(), TextEncoding::Utf8);

    kivra_test::Place(view, {9, 1}, {9, 1});
    TypeInto(view, QStringLiteral(" Ω"));
    // Backspace over the broken byte's neighbour takes the whole character before it.
    kivra_test::Place(view, {11, 0}, {11, 0});
    QTest::keyClick(&view, Qt::Key_Backspace);
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(ReadBytesOrEmpty(path), "* Жук \xD0\r\nR1 1 0 1k Ω\r\n");
}

}  // namespace
