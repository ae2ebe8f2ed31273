#include "WaveformChart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "PlotDescription.h"
#include "SiAxisTicker.h"
#include "SiFormat.h"
#include "TraceDecimation.h"

namespace {

// Colours that stay apart on white and for the common kinds of colour blindness.
const QColor kPalette[] = {
    QColor(0, 114, 178),  QColor(213, 94, 0),   QColor(0, 158, 115), QColor(204, 121, 167),
    QColor(230, 159, 0),  QColor(86, 180, 233), QColor(0, 0, 0),     QColor(160, 60, 60),
};

// The shade of the run-th of `runs` members of a family: the first in the vector's own colour,
// the later ones lighter.
QColor Shade(const QColor& colour, std::size_t run, std::size_t runs) {
    if (runs < 2 || run == 0)
        return colour;
    QColor hsv = colour.toHsv();
    const double share = static_cast<double>(run) / static_cast<double>(runs);
    const int saturation = static_cast<int>(hsv.saturation() * (1 - 0.6 * share));
    const int value = std::min(255, static_cast<int>(hsv.value() + (255 - hsv.value()) * 0.5 * share));
    return QColor::fromHsv(hsv.hue(), saturation, value);
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CWaveformChart::CWaveformChart(QWidget* parent) : QCustomPlot(parent) {
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setNoAntialiasingOnDrag(true);
    setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    // A replot draws its layers without draw(): the traces of its view are made before it, for
    // the layout it is about to have.
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        updateLayout();
        Redecimate();
    });
}

void CWaveformChart::draw(QCPPainter* painter) {
    // Every drawing, on the screen or into a picture, gets the traces of the view it draws.
    updateLayout();
    Redecimate();
    QCustomPlot::draw(painter);
}

void CWaveformChart::SetPlots(std::vector<CDrawablePlot*> newPlots,
                              std::vector<QString> newRunNames, bool logarithmic, bool inOrder) {
    plots = std::move(newPlots);
    runNames = std::move(newRunNames);
    logarithmicScale = logarithmic;
    sweepInOrder = inOrder;
    complexPlot = !plots.empty() && plots[0]->Plot().complex;
    chosenParts.clear();
    BuildPanes();
    BuildTraces();
}

void CWaveformChart::SetVectors(const std::vector<std::size_t>& shown) {
    vectors = shown;
    BuildTraces();
}

std::vector<VectorPart> CWaveformChart::PartsOf(std::size_t vector) const {
    auto chosen = chosenParts.find(vector);
    if (chosen != chosenParts.end() && !chosen->second.empty())
        return chosen->second;
    return plots.empty() ? std::vector<VectorPart>{VectorPart::Value} : plots[0]->DefaultParts();
}

void CWaveformChart::SetParts(std::size_t vector, std::vector<VectorPart> parts) {
    chosenParts[vector] = std::move(parts);
    BuildTraces();
}

QColor CWaveformChart::ColourOf(std::size_t vector) const {
    auto found = std::find(vectors.begin(), vectors.end(), vector);
    const std::size_t place = found == vectors.end() ? vector : found - vectors.begin();
    return kPalette[place % std::size(kPalette)];
}

void CWaveformChart::BuildPanes() {
    clearPlottables();
    plotLayout()->clear();
    const int paneCount = complexPlot ? 2 : 1;
    delete marginGroup;
    marginGroup = new QCPMarginGroup(this);
    QCPMarginGroup* group = marginGroup;
    std::string scaleUnit;
    if (!plots.empty() && !plots[0]->Plot().vectors.empty())
        scaleUnit = UnitOfType(plots[0]->Plot().vectors[0].type);
    for (int pane = 0; pane < paneCount; ++pane) {
        auto* rect = new QCPAxisRect(this);
        plotLayout()->addElement(pane, 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, group);
        QCPAxis* keys = rect->axis(QCPAxis::atBottom);
        QCPAxis* values = rect->axis(QCPAxis::atLeft);
        if (logarithmicScale) {
            keys->setScaleType(QCPAxis::stLogarithmic);
            keys->setTicker(QSharedPointer<QCPAxisTicker>(new CSiLogAxisTicker(scaleUnit)));
        } else {
            keys->setTicker(QSharedPointer<QCPAxisTicker>(new CSiAxisTicker(scaleUnit)));
        }
        const std::string unit = complexPlot ? (pane == 0 ? "dB" : "\xC2\xB0") : "";
        values->setTicker(QSharedPointer<QCPAxisTicker>(new CSiAxisTicker(unit)));
        keys->grid()->setSubGridVisible(logarithmicScale);
        rect->setRangeZoomAxes(keys, nullptr);
        rect->setRangeDragAxes(keys, values);
        if (pane > 0) {
            // The panes share the scale: a zoom or pan of one moves the others.
            QCPAxis* first = axisRect(0)->axis(QCPAxis::atBottom);
            connect(first, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), keys,
                    qOverload<const QCPRange&>(&QCPAxis::setRange));
            connect(keys, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), first,
                    qOverload<const QCPRange&>(&QCPAxis::setRange));
        }
    }
    // QCustomPlot's xAxis and yAxis name the first pane's axes.
    xAxis = axisRect(0)->axis(QCPAxis::atBottom);
    yAxis = axisRect(0)->axis(QCPAxis::atLeft);
    xAxis2 = axisRect(0)->axis(QCPAxis::atTop);
    yAxis2 = axisRect(0)->axis(QCPAxis::atRight);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { emit scaleRangeChanged(); });
    if (!plots.empty() && !plots[0]->Plot().vectors.empty())
        axisRect(paneCount - 1)->axis(QCPAxis::atBottom)->setLabel(
            Utf8(plots[0]->Plot().vectors[0].name));
    legend = new QCPLegend;
    axisRect(0)->insetLayout()->addElement(legend, Qt::AlignTop | Qt::AlignRight);
    legend->setLayer(QStringLiteral("legend"));
    legend->setVisible(true);
    legend->setBrush(QColor(255, 255, 255, 220));
    decimatedWidth = -1;
}

QCPAxis* CWaveformChart::ValueAxisOf(int pane) const {
    return axisRect(std::min(pane, axisRectCount() - 1))->axis(QCPAxis::atLeft);
}

void CWaveformChart::BuildTraces() {
    clearPlottables();
    traces.clear();
    if (plots.empty())
        return;
    for (CDrawablePlot* plot : plots) {
        std::vector<std::pair<std::size_t, VectorPart>> wanted;
        for (std::size_t vector : vectors) {
            for (VectorPart part : PartsOf(vector))
                wanted.push_back({vector, part});
        }
        plot->Prepare(wanted);
    }
    for (std::size_t run = 0; run < plots.size(); ++run) {
        CDrawablePlot& plot = *plots[run];
        for (std::size_t vector : vectors) {
            if (vector >= plot.Plot().vectors.size())
                continue;
            for (VectorPart part : PartsOf(vector)) {
                const int pane = part == VectorPart::PhaseDegrees ? 1 : 0;
                QCPAxis* keys = axisRect(std::min(pane, axisRectCount() - 1))->axis(QCPAxis::atBottom);
                QCPAxis* values = ValueAxisOf(pane);
                QCPAbstractPlottable* plottable = nullptr;
                if (sweepInOrder)
                    plottable = new QCPCurve(keys, values);
                else {
                    auto* graph = addGraph(keys, values);
                    graph->setAdaptiveSampling(false);
                    plottable = graph;
                }
                QString name = Utf8(plot.SeriesName(vector, part));
                if (plots.size() > 1 && run < runNames.size())
                    name += QStringLiteral(" \u00B7 ") + runNames[run];
                plottable->setName(name);
                plottable->setPen(QPen(Shade(ColourOf(vector), run, plots.size()), 1.5));
                // Only the first pane's traces name themselves in the legend: the phase of a
                // vector has the colour of its magnitude.
                if (pane > 0)
                    plottable->removeFromLegend();
                traces.push_back({run, vector, part, pane, plottable});
            }
        }
    }
    // A pane whose traces share a unit labels its values with it.
    for (int pane = 0; pane < axisRectCount(); ++pane) {
        std::string unit;
        bool shared = true, any = false;
        for (const STrace& trace : traces) {
            if (trace.pane != pane)
                continue;
            const std::string own = plots[trace.plot]->SeriesUnit(trace.vector, trace.part);
            shared = shared && (!any || own == unit);
            unit = own;
            any = true;
        }
        if (auto* ticker = dynamic_cast<CSiAxisTicker*>(ValueAxisOf(pane)->ticker().data()))
            ticker->SetUnit(shared ? unit : std::string());
    }
    decimatedWidth = -1;
}

void CWaveformChart::Redecimate() {
    if (traces.empty())
        return;
    const QCPRange range = xAxis->range();
    const int width = std::max(1, axisRect(0)->width());
    if (width == decimatedWidth && range == decimatedRange)
        return;
    decimatedWidth = width;
    decimatedRange = range;
    std::vector<double> boundaries(static_cast<std::size_t>(width) + 1);
    for (int column = 0; column <= width; ++column) {
        const double share = static_cast<double>(column) / width;
        boundaries[column] = logarithmicScale && range.lower > 0
                                 ? range.lower * std::pow(range.upper / range.lower, share)
                                 : range.lower + (range.upper - range.lower) * share;
    }
    // The columns of the view in a plot's scale, found once for the traces of one length: a
    // vector shorter than its plot ("dims=") has columns of its own.
    std::map<std::pair<std::size_t, std::size_t>, SSampleColumns> views;
    for (const STrace& trace : traces) {
        CDrawablePlot& plot = *plots[trace.plot];
        const SDrawableSeries& series = plot.Series(trace.vector, trace.part);
        const std::size_t count = std::min(series.count, plot.Points());
        QVector<double> keys, values;
        auto add = [&](double x, double y) {
            keys.append(x);
            // An infinite value is a gap in the line, as a value that is not a number is.
            values.append(std::isfinite(y) ? y : std::numeric_limits<double>::quiet_NaN());
        };
        if (!sweepInOrder && plot.ScaleIsSorted()) {
            auto found = views.find({trace.plot, count});
            if (found == views.end())
                found = views.emplace(std::make_pair(trace.plot, count),
                                      ColumnsOfView(plot.Scale(), count, boundaries))
                            .first;
            const std::vector<STracePoint> points =
                DecimateTrace(plot.Scale(), series.values, series.pyramid, found->second);
            keys.reserve(static_cast<qsizetype>(points.size()));
            values.reserve(static_cast<qsizetype>(points.size()));
            for (const STracePoint& point : points)
                add(point.x, point.y);
        } else {
            for (std::size_t index = 0; index < count; ++index)
                add(plot.Scale()[index], series.values[index]);
        }
        // A trace of one point is a dot: there is no line to draw.
        if (auto* graph = qobject_cast<QCPGraph*>(trace.plottable))
            graph->setScatterStyle(count == 1 ? QCPScatterStyle(QCPScatterStyle::ssDisc, 7)
                                              : QCPScatterStyle());
        // A trace denser than the pixels looks the same without antialiasing, which would cost
        // a hundred times more on its steep zigzags; a sparse one is drawn smooth.
        const bool dense = keys.size() > width;
        trace.plottable->setAntialiased(!dense);
        QPen pen = trace.plottable->pen();
        pen.setWidthF(dense ? 1 : 1.5);
        trace.plottable->setPen(pen);
        if (auto* graph = qobject_cast<QCPGraph*>(trace.plottable)) {
            // Filled in place, sorted as they are: setData would copy and check them again.
            QVector<QCPGraphData> data(keys.size());
            for (qsizetype index = 0; index < keys.size(); ++index)
                data[index] = QCPGraphData(keys[index], values[index]);
            graph->data()->set(data, true);
        } else if (auto* curve = qobject_cast<QCPCurve*>(trace.plottable))
            curve->setData(keys, values);
    }
}

void CWaveformChart::FitAll() {
    if (plots.empty())
        return;
    double lower = INFINITY, upper = -INFINITY;
    for (CDrawablePlot* plot : plots) {
        // A sorted scale has its ends at its ends; only a sweep back and forth is searched.
        const bool sorted = plot->ScaleIsSorted() && !logarithmicScale;
        for (std::size_t index = 0; index < plot->Points(); ++index) {
            if (sorted && index == 1 && plot->Points() > 2)
                index = plot->Points() - 1;
            const double x = plot->Scale()[index];
            if (std::isfinite(x) && (!logarithmicScale || x > 0)) {
                lower = std::min(lower, x);
                upper = std::max(upper, x);
            }
        }
    }
    if (!(lower < upper)) {
        lower = std::isfinite(lower) ? lower - 1 : 0;
        upper = std::isfinite(upper) ? upper + 1 : 1;
    }
    xAxis->setRange(lower, upper);
    for (int pane = 0; pane < axisRectCount(); ++pane) {
        double bottom = INFINITY, top = -INFINITY;
        for (const STrace& trace : traces) {
            if (trace.pane != pane)
                continue;
            const SDrawableSeries& series = plots[trace.plot]->Series(trace.vector, trace.part);
            const CMinMaxPyramid::SRange extremes = series.pyramid.Over(0, series.count);
            if (extremes.any && std::isfinite(extremes.minimum) && std::isfinite(extremes.maximum)) {
                bottom = std::min(bottom, extremes.minimum);
                top = std::max(top, extremes.maximum);
            }
        }
        if (!(bottom <= top)) {
            bottom = -1;
            top = 1;
        }
        const double margin = top > bottom ? (top - bottom) * 0.05 : std::max(1e-12, std::abs(top) * 0.1 + 1e-12);
        ValueAxisOf(pane)->setRange(bottom - margin, top + margin);
    }
    emit scaleRangeChanged();
}

QString CWaveformChart::VisibleSamplesCsv() const {
    QString csv;
    if (plots.empty() || traces.empty())
        return csv;
    const QCPRange range = xAxis->range();
    const CDrawablePlot& first = *plots[0];
    csv += Utf8(first.Plot().vectors[0].name);
    for (const STrace& trace : traces)
        csv += QLatin1Char(',') + trace.plottable->name();
    csv += QLatin1Char('\n');
    // The samples of the first run's scale within the view; the other runs of a family are
    // sampled at their own points, so each run's rows follow its own scale.
    for (std::size_t run = 0; run < plots.size(); ++run) {
        CDrawablePlot& plot = *plots[run];
        for (std::size_t index = 0; index < plot.Points(); ++index) {
            const double x = plot.Scale()[index];
            if (x < range.lower || x > range.upper)
                continue;
            csv += QString::number(x, 'g', 15);
            for (const STrace& trace : traces) {
                csv += QLatin1Char(',');
                if (trace.plot != run)
                    continue;
                const SDrawableSeries& series = plot.Series(trace.vector, trace.part);
                if (index < series.count)
                    csv += QString::number(series.values[index], 'g', 15);
            }
            csv += QLatin1Char('\n');
        }
    }
    return csv;
}
