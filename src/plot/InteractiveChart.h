#pragma once

#include <QPoint>
#include <optional>
#include <vector>

#include "WaveformChart.h"

class QRubberBand;

// The chart the user works with. The wheel zooms the scale at the pointer, Ctrl+wheel the values
// of the pane under it; a left drag pans; a right drag draws a box and zooms to it; Home fits
// everything. A left click places cursor A, a right click cursor B, each snapping to the nearest
// sample of the trace nearest the pointer, and a cursor is dragged to move it. L puts a level
// line at the pointer's value; Esc takes cursors and levels away. The keyboard does the rest:
// + and - zoom the scale, Ctrl++ and Ctrl+- the values, the arrows pan.
class CInteractiveChart : public CWaveformChart {
    Q_OBJECT

public:
    explicit CInteractiveChart(QWidget* parent = nullptr);

    std::optional<double> CursorA() const { return cursorA; }
    std::optional<double> CursorB() const { return cursorB; }
    // Places a cursor at x, snapped to the nearest sample of the trace nearest `pointerY` (a
    // pixel row; -1 for the first trace); empty takes it away.
    void SetCursor(bool b, std::optional<double> x, double pointerY = -1);
    // Level lines of the first pane, by value.
    const std::vector<double>& Levels() const { return levels; }
    void AddLevel(double value);
    void ClearMarks();
    // The traces were rebuilt (other vectors, a new file): cursors and levels are drawn again.
    void RefreshMarks();

signals:
    void cursorsChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Pan, CursorA, CursorB, Level, Box };

    QCPAxisRect* PaneAt(QPoint point) const;
    double SnappedX(double x, double pointerY) const;
    // Which mark lies within a few pixels of the point, if any.
    Drag MarkAt(QPoint point, int* level) const;
    void ZoomScale(double factor, double centre);
    void ZoomValues(QCPAxisRect* pane, double factor, double centre);

    std::optional<double> cursorA;
    std::optional<double> cursorB;
    std::vector<double> levels;
    std::vector<QCPAbstractItem*> markItems;
    Drag drag = Drag::None;
    int draggedLevel = -1;
    QPoint pressPoint;
    bool moved = false;
    QRubberBand* rubberBand = nullptr;
    QPoint lastPointer;
};
