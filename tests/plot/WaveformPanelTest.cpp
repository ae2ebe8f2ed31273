// The waveform panel driven as a user drives it: tabs and vectors of real ngspice results, the
// wheel, drags, clicks and keys on the chart, the cursors' readout, and a new file of the same
// run that keeps the view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPrinter>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

#include "ChartPixels.h"
#include "CmdUI.h"
#include "CommandIds.h"
#include "InteractiveChart.h"
#include "NgspiceRawFiles.h"
#include "RawFileReader.h"
#include "ScriptedModalHost.h"
#include "TestFiles.h"
#include "WaveformPanel.h"
#include "WaveformView.h"

namespace {

class WaveformPanelTest : public kivra_test::NgspiceRawFolder {
protected:
    void SetUp() override {
        NgspiceRawFolder::SetUp();
        panel.resize(1000, 700);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }

    std::unique_ptr<SRawFile> Read(const std::filesystem::path& path) {
        auto file = std::make_unique<SRawFile>();
        std::string error;
        EXPECT_TRUE(CRawFileReader::ReadFile(path.string(), *file, error)) << error;
        return file;
    }

    void ShowThreeAnalyses(const std::vector<std::string>& netlist = {}) {
        panel.ShowFile(Read(Simulate(kivra_test::kThreeAnalysesNetlist, "binary")), netlist);
        QApplication::processEvents();
    }

    CInteractiveChart& Chart() { return *panel.Chart(); }
    // A point inside the first pane, at the given shares of its width and height.
    QPoint InPane(double across, double down) {
        const QRect area = Chart().Panes().front()->rect();
        return QPoint(area.left() + static_cast<int>(area.width() * across),
                      area.top() + static_cast<int>(area.height() * down));
    }
    void Wheel(QPoint at, int steps, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(at, Chart().mapToGlobal(at), QPoint(), QPoint(0, 120 * steps),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Chart(), &event);
        QApplication::processEvents();
    }

    CWaveformPanel panel;
};

}  // namespace

TEST_F(WaveformPanelTest, EachPlotHasATabAndTheNodeVoltagesShowFirst) {
    ShowThreeAnalyses();
    ASSERT_EQ(panel.Tabs()->count(), 3);
    EXPECT_EQ(panel.Tabs()->tabText(0), QStringLiteral("ac1 · AC Analysis"));
    EXPECT_EQ(panel.Tabs()->tabText(2), QStringLiteral("tran1 · Transient Analysis"));
    EXPECT_TRUE(panel.Notice().isEmpty());
    // The AC plot: v(in) and v(out) checked, each as magnitude and phase; i(v1) not.
    ASSERT_EQ(panel.VectorList()->count(), 3);
    EXPECT_EQ(panel.VectorList()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(panel.VectorList()->item(2)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Chart().Traces().size(), 4u);
    panel.Tabs()->setCurrentIndex(2);
    EXPECT_EQ(Chart().Traces().size(), 2u);
    EXPECT_EQ(Chart().Panes().size(), 1);
    QApplication::processEvents();
    EXPECT_GT(PixelsOfFirstTrace(Chart().grab().toImage()), 300);
    // Unchecking a vector takes its trace away.
    panel.VectorList()->item(0)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(Chart().Traces().size(), 1u);
    EXPECT_EQ(Chart().Traces()[0].plottable->name(), QStringLiteral("v(out)"));
}

TEST_F(WaveformPanelTest, TheNetlistsPlotLinesChooseTheVectors) {
    ShowThreeAnalyses({".plot tran i(v1)", ".control", "ac dec 5 1k 10meg", "plot v(out)",
                       ".endc"});
    ASSERT_EQ(Chart().Traces().size(), 2u);  // v(out) in dB and phase
    EXPECT_EQ(Chart().Traces()[0].plottable->name(), QStringLiteral("db(v(out))"));
    panel.Tabs()->setCurrentIndex(2);
    ASSERT_EQ(Chart().Traces().size(), 1u);
    EXPECT_EQ(Chart().Traces()[0].plottable->name(), QStringLiteral("i(v1)"));
}

TEST_F(WaveformPanelTest, WheelDragAndKeysZoomAndPan) {
    ShowThreeAnalyses();
    panel.Tabs()->setCurrentIndex(2);
    Chart().setFocus();
    const QCPRange full = Chart().ScaleAxis()->range();
    const QCPRange values = Chart().yAxis->range();
    // The wheel zooms the time axis about the pointer, which stays over the same time.
    const QPoint at = InPane(0.25, 0.5);
    const double before = Chart().ScaleAxis()->pixelToCoord(at.x());
    Wheel(at, 2);
    EXPECT_LT(Chart().ScaleAxis()->range().size(), full.size() * 0.8);
    EXPECT_NEAR(Chart().ScaleAxis()->pixelToCoord(at.x()), before, full.size() / 500);
    EXPECT_EQ(Chart().yAxis->range(), values);
    // Ctrl+wheel zooms the values only.
    const QCPRange zoomedScale = Chart().ScaleAxis()->range();
    Wheel(at, -2, Qt::ControlModifier);
    EXPECT_GT(Chart().yAxis->range().size(), values.size() * 1.2);
    EXPECT_EQ(Chart().ScaleAxis()->range(), zoomedScale);
    // Home fits everything again.
    QTest::keyClick(&Chart(), Qt::Key_Home);
    EXPECT_EQ(Chart().ScaleAxis()->range(), full);
    EXPECT_EQ(Chart().yAxis->range(), values);
    // A right drag zooms to its box, both ways.
    QTest::mousePress(&Chart(), Qt::RightButton, Qt::NoModifier, InPane(0.2, 0.2));
    QTest::mouseMove(&Chart(), InPane(0.4, 0.5));
    QTest::mouseRelease(&Chart(), Qt::RightButton, Qt::NoModifier, InPane(0.4, 0.5));
    EXPECT_NEAR(Chart().ScaleAxis()->range().size(), full.size() * 0.2, full.size() * 0.01);
    EXPECT_NEAR(Chart().yAxis->range().size(), values.size() * 0.3, values.size() * 0.02);
    // The keys pan and zoom as well.
    const QCPRange boxed = Chart().ScaleAxis()->range();
    QTest::keyClick(&Chart(), Qt::Key_Right);
    EXPECT_NEAR(Chart().ScaleAxis()->range().lower, boxed.lower + boxed.size() * 0.1, 1e-12);
    QTest::keyClick(&Chart(), Qt::Key_Minus);
    EXPECT_GT(Chart().ScaleAxis()->range().size(), boxed.size() * 1.1);
}

TEST_F(WaveformPanelTest, CursorsSnapToSamplesAndReadEveryTrace) {
    ShowThreeAnalyses();
    panel.Tabs()->setCurrentIndex(2);
    QTest::mouseClick(&Chart(), Qt::LeftButton, Qt::NoModifier, InPane(0.3, 0.5));
    QTest::mouseClick(&Chart(), Qt::RightButton, Qt::NoModifier, InPane(0.6, 0.5));
    ASSERT_TRUE(Chart().CursorA());
    ASSERT_TRUE(Chart().CursorB());
    // Each cursor stands on a sample of the time scale.
    const CDrawablePlot& plot = *Chart().Plots().front();
    for (double cursor : {*Chart().CursorA(), *Chart().CursorB()}) {
        EXPECT_NE(std::find(plot.Scale(), plot.Scale() + plot.Points(), cursor),
                  plot.Scale() + plot.Points());
    }
    EXPECT_LT(*Chart().CursorA(), *Chart().CursorB());
    const QString readout = panel.Readout();
    EXPECT_TRUE(readout.contains(QStringLiteral("ΔX"))) << readout.toStdString();
    EXPECT_TRUE(readout.contains(QStringLiteral("1/ΔX"))) << readout.toStdString();
    EXPECT_EQ(readout.count(QStringLiteral("ΔY")), 2) << readout.toStdString();
    // A cursor is dragged to move it.
    const int ax = static_cast<int>(Chart().ScaleAxis()->coordToPixel(*Chart().CursorA()));
    const double oldA = *Chart().CursorA();
    QTest::mousePress(&Chart(), Qt::LeftButton, Qt::NoModifier, QPoint(ax, InPane(0, 0.7).y()));
    QTest::mouseMove(&Chart(), InPane(0.45, 0.7));
    QTest::mouseRelease(&Chart(), Qt::LeftButton, Qt::NoModifier, InPane(0.45, 0.7));
    EXPECT_GT(*Chart().CursorA(), oldA);
    EXPECT_LT(*Chart().CursorA(), *Chart().CursorB());
    // L puts a level line, Esc takes all marks away.
    QTest::mouseMove(&Chart(), InPane(0.5, 0.4));
    QTest::keyClick(&Chart(), Qt::Key_L);
    EXPECT_EQ(Chart().Levels().size(), 1u);
    QTest::keyClick(&Chart(), Qt::Key_Escape);
    EXPECT_FALSE(Chart().CursorA());
    EXPECT_TRUE(Chart().Levels().empty());
}

// F9 again: the new results of the same netlist come into the same view.
TEST_F(WaveformPanelTest, ANewFileOfTheRunKeepsTheView) {
    ShowThreeAnalyses();
    panel.Tabs()->setCurrentIndex(2);
    panel.VectorList()->item(2)->setCheckState(Qt::Checked);  // i(v1)
    Wheel(InPane(0.5, 0.5), 3);
    QTest::mouseClick(&Chart(), Qt::LeftButton, Qt::NoModifier, InPane(0.5, 0.5));
    const QCPRange zoom = Chart().ScaleAxis()->range();
    const std::optional<double> cursor = Chart().CursorA();
    std::string changed = kivra_test::kThreeAnalysesNetlist;
    changed.replace(changed.find("c1 out 0 1n"), 11, "c1 out 0 2n");
    panel.ShowFile(Read(Simulate(changed, "binary")), {});
    EXPECT_EQ(panel.Tabs()->currentIndex(), 2);
    EXPECT_EQ(Chart().Traces().size(), 3u);
    EXPECT_EQ(Chart().ScaleAxis()->range(), zoom);
    EXPECT_EQ(Chart().CursorA(), cursor);
}

TEST_F(WaveformPanelTest, AFileCutShortSaysWhatIsMissing) {
    std::string bytes =
        kivra_test::ReadBytes(Simulate(kivra_test::kThreeAnalysesNetlist, "binary"));
    bytes.resize(bytes.size() - 1000);
    auto file = std::make_unique<SRawFile>();
    std::string error;
    ASSERT_TRUE(CRawFileReader::ReadBytes(bytes, *file, error));
    panel.ShowFile(std::move(file), {});
    EXPECT_TRUE(panel.Notice().contains(QStringLiteral("в tran1 есть"))) << panel.Notice().toStdString();
    EXPECT_TRUE(panel.Notice().contains(QStringLiteral("остальных нет")));
    EXPECT_EQ(panel.Tabs()->count(), 3);
}

// What leaves the panel: the parts of a complex vector chosen from its menu, the picture and the
// samples saved, the chart printed, and the picture copied by the view's Copy command.
TEST_F(WaveformPanelTest, PartsPicturesPrintingAndCopying) {
    kivra_test::ScriptedModalHost host;
    ShowThreeAnalyses();
    // The menu of v(out) in the AC plot: its magnitude instead of dB and phase.
    host.pickMenuItem = [](QMenu& menu) {
        QAction* magnitude = menu.actions().at(1);
        magnitude->trigger();
        return magnitude;
    };
    QListWidget& list = *panel.VectorList();
    const QRect item = list.visualItemRect(list.item(1));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, item.center(),
                                list.viewport()->mapToGlobal(item.center()));
    QApplication::sendEvent(list.viewport(), &menuEvent);
    ASSERT_EQ(host.menusShown, 1);
    EXPECT_EQ(host.lastMenuTexts.at(0).first, QStringLiteral("Амплитуда (дБ) и фаза"));
    std::vector<QString> names;
    for (const auto& trace : Chart().Traces())
        names.push_back(trace.plottable->name());
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("db(v(in))"), QStringLiteral("ph(v(in))"),
                                           QStringLiteral("mag(v(out))")}));

    const QString picture = QString::fromStdString((folder / "chart.svg").string());
    host.ThenChooseFile(picture);
    panel.SavePicture();
    EXPECT_TRUE(kivra_test::ReadBytesOrEmpty(picture).contains("<svg"));
    const QString samples = QString::fromStdString((folder / "samples.csv").string());
    host.ThenChooseFile(samples);
    panel.SaveSamples();
    EXPECT_TRUE(kivra_test::ReadBytesOrEmpty(samples).startsWith("frequency,db(v(in))"));

    const QString printed = QString::fromStdString((folder / "printed.pdf").string());
    QPrinter printer;
    // The dialog's OK: its printer prints into a PDF file.
    host.Then([&](QDialog&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return static_cast<int>(QDialog::Accepted);
    });
    EXPECT_TRUE(panel.Print(printer));
    EXPECT_TRUE(kivra_test::ReadBytesOrEmpty(printed).startsWith("%PDF"));
    host.ThenCancel();
    EXPECT_FALSE(panel.Print(printer));
    EXPECT_TRUE(host.messages.empty());
}

TEST(WaveformViewCommands, CopyAndPrintNeedAFileAndCopyPutsThePicture) {
    CWaveformView view;
    view.resize(600, 400);
    CCmdUI copy(ID_EDIT_COPY);
    view.RouteUpdateCommandUI(copy);
    EXPECT_FALSE(copy.IsEnabled());
    auto file = std::make_shared<SRawFile>();
    std::string error;
    ASSERT_TRUE(CRawFileReader::ReadBytes(
        "Title: t\nPlotname: Transient Analysis\nFlags: real\nNo. Variables: 2\nNo. Points: 2\n"
        "Variables:\n\t0\ttime\ttime\n\t1\tv(a)\tvoltage\nValues:\n0\t0\n\t0\n\n1\t1\n\t1\n",
        *file, error));
    view.Panel()->ShowFile(file, {});
    CCmdUI enabled(ID_EDIT_COPY);
    view.RouteUpdateCommandUI(enabled);
    EXPECT_TRUE(enabled.IsEnabled());
    QApplication::clipboard()->clear();
    EXPECT_TRUE(view.ExecuteCommand(ID_EDIT_COPY));
    EXPECT_FALSE(QApplication::clipboard()->pixmap().isNull());
}
