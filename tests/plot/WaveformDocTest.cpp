// The document of a raw file: a large file read in the background while the window stays live,
// and a document closed in the middle of a reading.

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTest>

#include "NgspiceRawFiles.h"
#include "ScriptedModalHost.h"
#include "TestFiles.h"
#include "WaveformDoc.h"
#include "WaveformPanel.h"
#include "WaveformView.h"

namespace {

class WaveformDocTest : public kivra_test::NgspiceRawFolder {
protected:
    // A binary transient plot a little over the size that is read in the background.
    QString LargeRawFile() {
        const std::size_t points = CWaveformDoc::kBackgroundFrom / 16 + 1000;
        std::string bytes = "Title: large\nPlotname: Transient Analysis\nFlags: real\n"
                            "No. Variables: 2\nNo. Points: " +
                            std::to_string(points) +
                            "\nVariables:\n\t0\ttime\ttime\n\t1\tv(out)\tvoltage\nBinary:\n";
        for (std::size_t index = 0; index < points; ++index) {
            const double values[2] = {index * 1e-9, static_cast<double>(index % 100)};
            bytes.append(reinterpret_cast<const char*>(values), sizeof values);
        }
        kivra_test::WriteBytes(folder / "large.raw", bytes);
        return QString::fromStdString((folder / "large.raw").string());
    }
};

}  // namespace

TEST_F(WaveformDocTest, ALargeFileIsReadInTheBackgroundAndThenShown) {
    auto* document = new CWaveformDoc;
    CWaveformView view;
    document->AddView(&view);
    const QString path = LargeRawFile();
    ASSERT_TRUE(document->OnOpenDocument(path));
    document->SetPathName(path, false);  // as the template names an opened document
    // Open returns at once; the window says how far the reading is until the file is whole.
    EXPECT_GE(document->ReadingProgress(), 0);
    EXPECT_EQ(document->File(), nullptr);
    view.OnUpdate(nullptr, CWaveformDoc::ReadingMoved, nullptr);
    EXPECT_TRUE(view.Panel()->Notice().startsWith(QStringLiteral("Чтение large.raw: ")))
        << view.Panel()->Notice().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return document->File() != nullptr; }, 20000));
    EXPECT_LT(document->ReadingProgress(), 0);
    ASSERT_EQ(document->File()->plots.size(), 1u);
    EXPECT_EQ(document->File()->plots[0].points, CWaveformDoc::kBackgroundFrom / 16 + 1000);
    EXPECT_EQ(view.Panel()->Tabs()->count(), 1);
    EXPECT_TRUE(view.Panel()->Notice().isEmpty());
    document->RemoveView(&view);
    delete document;
}

// Closing the window while its file is being read stops the reading; nothing it would have
// reported arrives afterwards.
TEST_F(WaveformDocTest, ClosingDuringTheReadingStopsIt) {
    const QString path = LargeRawFile();
    for (int round = 0; round < 3; ++round) {
        auto* document = new CWaveformDoc;
        ASSERT_TRUE(document->OnOpenDocument(path));
        QTest::qWait(round * 5);
        delete document;
        QTest::qWait(20);
    }
}

// A small file is there as soon as it is opened.
TEST_F(WaveformDocTest, ASmallFileIsReadAtOnce) {
    CWaveformDoc document;
    ASSERT_TRUE(document.OnOpenDocument(
        QString::fromStdString(Simulate(kivra_test::kThreeAnalysesNetlist, "binary").string())));
    ASSERT_NE(document.File(), nullptr);
    EXPECT_EQ(document.File()->plots.size(), 3u);
    EXPECT_LT(document.ReadingProgress(), 0);
}

// Save As copies the raw file while it is what the window shows, and leaves the chosen file as it
// is once a run has rewritten the raw file.
TEST_F(WaveformDocTest, SaveAsCopiesTheFileOnlyWhileItIsTheOneShown) {
    kivra_test::ScriptedModalHost host;
    const std::filesystem::path raw = Simulate(kivra_test::kThreeAnalysesNetlist, "binary");
    CWaveformDoc document;
    ASSERT_TRUE(document.OnOpenDocument(QString::fromStdString(raw.string())));
    document.SetPathName(QString::fromStdString(raw.string()), false);
    const QString copy = QString::fromStdString((folder / "kept.raw").string());
    EXPECT_TRUE(document.OnSaveDocument(copy));
    EXPECT_EQ(kivra_test::ReadBytesOrEmpty(copy), kivra_test::ReadBytesOrEmpty(
                                                      QString::fromStdString(raw.string())));
    const QString other = QString::fromStdString((folder / "other.raw").string());
    kivra_test::WriteBytes(other, "mine");
    QTest::qWait(20);
    kivra_test::WriteBytes(QString::fromStdString(raw.string()), "rewritten by the next run");
    EXPECT_FALSE(document.OnSaveDocument(other));
    EXPECT_EQ(kivra_test::ReadBytesOrEmpty(other), "mine");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.contains(QStringLiteral("изменился")));
}
