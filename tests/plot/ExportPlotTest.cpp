// The first view of a plot drawn into a picture, as "kivra --export-plot" draws it, and the
// chart behind it: what it shows of real ngspice results, and a spike of one sample in a
// million, which must reach the picture.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <cmath>

#include "ChartPixels.h"
#include "ExportPlotCommand.h"
#include "DrawablePlot.h"
#include "SiAxisTicker.h"
#include "RawFileReader.h"
#include "NgspiceRawFiles.h"
#include "WaveformChart.h"

namespace {

using kivra_test::WriteBytes;

class ExportPlotTest : public kivra_test::NgspiceRawFolder {
protected:
    QString Path(const char* name) const { return QString::fromStdString((folder / name).string()); }

    int Export(SExportPlotRequest request, QString& error) {
        return RunExportPlot(request, error);
    }
};

}  // namespace

TEST_F(ExportPlotTest, EachKindOfPictureShowsTheTraces) {
    const QString raw = QString::fromStdString(
        Simulate(kivra_test::kThreeAnalysesNetlist, "binary").string());
    for (const char* name : {"tran.png", "tran.svg", "tran.pdf"}) {
        SExportPlotRequest request;
        request.rawFile = raw;
        request.output = Path(name);
        request.plot = 3;
        request.size = QSize(640, 400);
        QString error;
        ASSERT_EQ(Export(request, error), 0) << name << ": " << error.toStdString();
        QFile picture(request.output);
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = picture.readAll();
        EXPECT_GT(bytes.size(), 1000) << name;
        if (request.output.endsWith(QLatin1String(".png"))) {
            const QImage image = QImage::fromData(bytes);
            EXPECT_EQ(image.size(), QSize(640, 400));
            EXPECT_GT(PixelsOfFirstTrace(image), 200);
        } else if (request.output.endsWith(QLatin1String(".svg"))) {
            EXPECT_TRUE(bytes.contains("<svg")) << name;
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF")) << name;
        }
    }
}

TEST_F(ExportPlotTest, WhatCannotBeDrawnIsSaidInOneLine) {
    const QString raw = QString::fromStdString(
        Simulate(kivra_test::kThreeAnalysesNetlist, "ascii").string());
    WriteBytes(folder / "text.raw", "this is no raw file\n");
    struct Case {
        QString rawFile;
        const char* output;
        int plot;
        QStringList vectors;
        QSize size;
        const char* reason;
    };
    const Case cases[] = {
        {Path("missing.raw"), "a.png", 1, {}, {640, 400}, "не удается открыть"},
        {Path("text.raw"), "a.png", 1, {}, {640, 400}, "строка 1"},
        {raw, "a.png", 4, {}, {640, 400}, "нет графика 4: графиков в нем 3"},
        {raw, "a.png", 3, {QStringLiteral("v(nowhere)")}, {640, 400}, "нет вектора «v(nowhere)»"},
        {raw, "a.bmp", 3, {}, {640, 400}, "нужен .png, .svg или .pdf"},
        {raw, "a.png", 3, {}, {8, 400}, "размер рисунка 8x400"},
        {raw, "no/such/folder/a.png", 3, {}, {640, 400}, "не удается записать"},
    };
    for (const Case& test : cases) {
        SExportPlotRequest request;
        request.rawFile = test.rawFile;
        request.output = Path(test.output);
        request.plot = test.plot;
        request.vectors = test.vectors;
        request.size = test.size;
        QString error;
        EXPECT_EQ(Export(request, error), 1) << test.reason;
        EXPECT_TRUE(error.contains(QString::fromUtf8(test.reason))) << error.toStdString();
        EXPECT_FALSE(error.contains(QLatin1Char('\n'))) << error.toStdString();
    }
}

// One sample of a million stands far above the rest: at the first view, where a pixel column
// holds over a thousand samples, it still draws a line to the top of the picture.
TEST_F(ExportPlotTest, ASpikeOfOneSampleReachesThePicture) {
    constexpr std::size_t kPoints = 1'000'000;
    std::string bytes = "Title: spike\nDate: now\nPlotname: Transient Analysis\nFlags: real\n"
                        "No. Variables: 2\nNo. Points: " +
                        std::to_string(kPoints) +
                        "\nVariables:\n\t0\ttime\ttime\n\t1\tv(out)\tvoltage\nBinary:\n";
    for (std::size_t index = 0; index < kPoints; ++index) {
        const double values[2] = {index * 1e-9, index == 654'321 ? 5.0 : std::sin(index * 1e-4)};
        bytes.append(reinterpret_cast<const char*>(values), sizeof values);
    }
    WriteBytes(folder / "spike.raw", bytes);
    SExportPlotRequest request;
    request.rawFile = Path("spike.raw");
    request.output = Path("spike.png");
    request.size = QSize(600, 400);
    QString error;
    ASSERT_EQ(Export(request, error), 0) << error.toStdString();
    const QImage image(request.output);
    ASSERT_FALSE(image.isNull());
    // The top tenth of the picture holds nothing of the trace but the spike.
    EXPECT_GT(PixelsOfFirstTrace(image, QRect(0, 0, 600, 60)), 3);
}

TEST_F(ExportPlotTest, AnAcPlotHasMagnitudeAndPhasePanes) {
    const std::filesystem::path raw = Simulate(kivra_test::kThreeAnalysesNetlist, "binary");
    SRawFile file;
    std::string error;
    ASSERT_TRUE(CRawFileReader::ReadFile(raw.string(), file, error)) << error;
    CDrawablePlot ac(file.plots[0]);
    CWaveformChart chart;
    chart.resize(600, 500);
    chart.SetPlots({&ac}, {QStringLiteral("ac1")}, true, false);
    chart.SetVectors({2});
    chart.FitAll();
    ASSERT_EQ(chart.Panes().size(), 2);
    ASSERT_EQ(chart.Traces().size(), 2u);
    EXPECT_EQ(chart.Traces()[0].plottable->name(), QStringLiteral("db(v(out))"));
    EXPECT_EQ(chart.Traces()[1].pane, 1);
    EXPECT_EQ(chart.ScaleAxis()->scaleType(), QCPAxis::stLogarithmic);
    // Fitted to every sample: 1 kHz to 10 MHz, and the phase from about 0 to -90 degrees.
    EXPECT_NEAR(chart.ScaleAxis()->range().lower, 1e3, 1e-6);
    EXPECT_NEAR(chart.ScaleAxis()->range().upper, 1e7, 1e-3);
    const QCPRange phase = chart.Panes()[1]->axis(QCPAxis::atLeft)->range();
    EXPECT_LT(phase.lower, -85);
    EXPECT_GT(phase.upper, -1);
    // The samples within the view, a header and one row each.
    const QString csv = chart.VisibleSamplesCsv();
    EXPECT_TRUE(csv.startsWith(QStringLiteral("frequency,db(v(out)),ph(v(out))\n")));
    EXPECT_EQ(csv.count(QLatin1Char('\n')), 22);
}

// A vector shorter than its plot ("dims=") is drawn with its own samples, whichever comes first;
// a plot of one point shows it as a dot, and an infinite value is a gap, not the whole pane.
TEST(WaveformChartTraces, ShortVectorsOnePointAndInfinities) {
    SRawPlot plot;
    plot.name = "Transient Analysis";
    plot.points = 5;
    auto vector = [](const char* name, std::vector<double> values) {
        SRawVector made;
        made.name = name;
        made.type = "voltage";
        made.real = std::move(values);
        return made;
    };
    plot.vectors = {vector("time", {0, 1, 2, 3, 4}), vector("v(a)", {0, 1, -INFINITY, 3, 4}),
                    vector("v(b)", {5, 6, 7})};
    plot.vectors[0].type = "time";
    CDrawablePlot drawable(plot);
    CWaveformChart chart;
    chart.resize(400, 300);
    chart.SetPlots({&drawable}, {QStringLiteral("tran1")}, false, false);
    chart.SetVectors({2, 1});
    chart.FitAll();
    chart.replot();
    auto* shortGraph = qobject_cast<QCPGraph*>(chart.Traces()[0].plottable);
    auto* longGraph = qobject_cast<QCPGraph*>(chart.Traces()[1].plottable);
    ASSERT_NE(shortGraph, nullptr);
    EXPECT_EQ(shortGraph->dataCount(), 3);
    EXPECT_EQ(longGraph->dataCount(), 5);
    // The fit holds every finite value of both.
    EXPECT_LT(chart.yAxis->range().lower, 0);
    EXPECT_GT(chart.yAxis->range().upper, 7);
    EXPECT_GT(chart.yAxis->range().lower, -2);

    SRawPlot single = plot;
    single.points = 1;
    for (SRawVector& each : single.vectors)
        each.real.resize(1);
    CDrawablePlot one(single);
    chart.SetPlots({&one}, {QStringLiteral("op1")}, false, false);
    chart.SetVectors({1});
    chart.FitAll();
    chart.replot();
    auto* dot = qobject_cast<QCPGraph*>(chart.Traces()[0].plottable);
    EXPECT_EQ(dot->scatterStyle().shape(), QCPScatterStyle::ssDisc);
}

// Tick labels share the prefix of their axis and have the decimals their step needs.
TEST(SiAxisTicker, LabelsAreExactForTheirStep) {
    struct Ticker : CSiAxisTicker {
        using CSiAxisTicker::CSiAxisTicker;
        QVector<QString> Labels(const QVector<double>& ticks) {
            return createLabelVector(ticks, QLocale(), QLatin1Char('g'), 6);
        }
    };
    Ticker time("s");
    EXPECT_EQ(time.Labels({4e-3, 4.25e-3, 4.5e-3}),
              (QVector<QString>{QStringLiteral("4 ms"), QStringLiteral("4.25 ms"),
                                QStringLiteral("4.5 ms")}));
    EXPECT_EQ(time.Labels({0, 5e-6, 10e-6}),
              (QVector<QString>{QStringLiteral("0 µs"), QStringLiteral("5 µs"),
                                QStringLiteral("10 µs")}));
    Ticker volts("V");
    EXPECT_EQ(volts.Labels({-0.5, 0, 0.5}),
              (QVector<QString>{QStringLiteral("-500 mV"), QStringLiteral("0 mV"),
                                QStringLiteral("500 mV")}));
}
