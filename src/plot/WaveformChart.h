#pragma once

#include <qcustomplot.h>

#include <QColor>
#include <QString>
#include <map>
#include <vector>

#include "DrawablePlot.h"

// The chart of one plot of a raw file, or of a family of plots drawn over each other in shades
// of one colour per vector. A real plot has one pane; a complex (AC) plot has the magnitude in dB
// above and the phase in degrees below, sharing the frequency axis. Every repaint draws each
// trace from the extremes of its samples per pixel column, so that any zoom of any size of file
// draws at once and loses no spike.
class CWaveformChart : public QCustomPlot {
    Q_OBJECT

public:
    explicit CWaveformChart(QWidget* parent = nullptr);

    // The plots to draw: one, or the members of a family, which share their vectors. runNames
    // ("tran1", "tran2") name the members in the legend. The plots must outlive the chart's use
    // of them.
    void SetPlots(std::vector<CDrawablePlot*> plots, std::vector<QString> runNames,
                  bool logarithmicScale, bool sweepInOrder);
    // The vectors drawn, by their index in the plot, each with its default parts.
    void SetVectors(const std::vector<std::size_t>& vectors);
    const std::vector<std::size_t>& Vectors() const { return vectors; }
    // What of a vector is drawn; its default parts (value, or dB and phase) unless set.
    std::vector<VectorPart> PartsOf(std::size_t vector) const;
    void SetParts(std::size_t vector, std::vector<VectorPart> parts);
    // The colour a vector is drawn in (its first run, in a family).
    QColor ColourOf(std::size_t vector) const;

    // Shows every sample of every trace drawn.
    void FitAll();
    // The samples of the traces drawn within the view: a scale column and one per trace.
    QString VisibleSamplesCsv() const;

    QCPAxis* ScaleAxis() const { return xAxis; }
    // The axis rectangles of the panes, top to bottom.
    QList<QCPAxisRect*> Panes() const { return axisRects(); }
    const std::vector<CDrawablePlot*>& Plots() const { return plots; }

    struct STrace {
        std::size_t plot;    // among the chart's plots
        std::size_t vector;  // in the plot
        VectorPart part;
        int pane;
        QCPAbstractPlottable* plottable;
    };
    const std::vector<STrace>& Traces() const { return traces; }

protected:
    void draw(QCPPainter* painter) override;

signals:
    // The range of the scale axis changed (a zoom, a pan, a fit).
    void scaleRangeChanged();

private:
    void BuildPanes();
    void BuildTraces();
    // Gives each trace the points of its view, where the view or the chart's width changed.
    void Redecimate();
    QCPAxis* ValueAxisOf(int pane) const;

    std::vector<CDrawablePlot*> plots;
    std::vector<QString> runNames;
    std::vector<std::size_t> vectors;
    std::map<std::size_t, std::vector<VectorPart>> chosenParts;
    std::vector<STrace> traces;
    bool logarithmicScale = false;
    bool sweepInOrder = false;
    bool complexPlot = false;
    // The view the traces were last decimated for.
    QCPRange decimatedRange;
    QCPMarginGroup* marginGroup = nullptr;
    int decimatedWidth = -1;
};
