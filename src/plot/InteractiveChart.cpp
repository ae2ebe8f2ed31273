#include "InteractiveChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "TraceDecimation.h"
#include "TraceReadout.h"

namespace {

// How near, in pixels, the pointer must come to a mark to take it.
constexpr int kGrip = 5;
// The share of the view one step of the wheel or one key zooms by.
constexpr double kZoomStep = 0.85;

const QColor kCursorColours[2] = {QColor(200, 0, 0), QColor(0, 90, 200)};

}  // namespace

CInteractiveChart::CInteractiveChart(QWidget* parent) : CWaveformChart(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The chart does its own zooming; QCustomPlot keeps the pan by dragging.
    setInteractions(QCP::iRangeDrag);
}

QCPAxisRect* CInteractiveChart::PaneAt(QPoint point) const {
    for (QCPAxisRect* pane : Panes()) {
        if (pane->rect().contains(point))
            return pane;
    }
    return Panes().isEmpty() ? nullptr : Panes().front();
}

double CInteractiveChart::SnappedX(double x, double pointerY) const {
    const STrace* nearest = nullptr;
    double distance = INFINITY;
    for (const STrace& trace : Traces()) {
        CDrawablePlot& plot = *Plots()[trace.plot];
        if (!plot.ScaleIsSorted())
            continue;
        if (pointerY < 0) {
            nearest = &trace;
            break;
        }
        const SDrawableSeries& series = plot.Series(trace.vector, trace.part);
        const double value =
            TraceValueAt(plot.Scale(), series.values, std::min(series.count, plot.Points()), x);
        const double pixel = trace.plottable->valueAxis()->coordToPixel(value);
        if (std::isfinite(pixel) && std::abs(pixel - pointerY) < distance) {
            distance = std::abs(pixel - pointerY);
            nearest = &trace;
        }
    }
    if (nearest == nullptr)
        return x;
    CDrawablePlot& plot = *Plots()[nearest->plot];
    if (plot.Points() == 0)
        return x;
    return plot.Scale()[NearestSample(plot.Scale(), plot.Points(), x)];
}

void CInteractiveChart::SetCursor(bool b, std::optional<double> x, double pointerY) {
    std::optional<double>& cursor = b ? cursorB : cursorA;
    cursor = x ? std::optional<double>(SnappedX(*x, pointerY)) : std::nullopt;
    RefreshMarks();
    emit cursorsChanged();
}

void CInteractiveChart::AddLevel(double value) {
    levels.push_back(value);
    RefreshMarks();
    emit cursorsChanged();
}

void CInteractiveChart::ClearMarks() {
    cursorA.reset();
    cursorB.reset();
    levels.clear();
    RefreshMarks();
    emit cursorsChanged();
}

void CInteractiveChart::RefreshMarks() {
    for (QCPAbstractItem* item : markItems)
        removeItem(item);
    markItems.clear();
    const std::optional<double> cursors[2] = {cursorA, cursorB};
    for (int which = 0; which < 2; ++which) {
        if (!cursors[which])
            continue;
        for (QCPAxisRect* pane : Panes()) {
            auto* line = new QCPItemStraightLine(this);
            line->setClipAxisRect(pane);
            for (QCPItemPosition* end : {line->point1, line->point2})
                end->setAxes(pane->axis(QCPAxis::atBottom), pane->axis(QCPAxis::atLeft));
            line->point1->setCoords(*cursors[which], 0);
            line->point2->setCoords(*cursors[which], 1);
            line->setPen(QPen(kCursorColours[which], 1, Qt::DashLine));
            markItems.push_back(line);
        }
        auto* label = new QCPItemText(this);
        label->setClipToAxisRect(false);
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setAxes(xAxis, yAxis);
        label->position->setAxisRect(Panes().front());
        label->position->setCoords(*cursors[which], 0);
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setText(which == 0 ? QStringLiteral("A") : QStringLiteral("B"));
        label->setColor(kCursorColours[which]);
        markItems.push_back(label);
    }
    for (double level : levels) {
        auto* line = new QCPItemStraightLine(this);
        line->setClipAxisRect(Panes().front());
        for (QCPItemPosition* end : {line->point1, line->point2})
            end->setAxes(xAxis, yAxis);
        line->point1->setCoords(0, level);
        line->point2->setCoords(1, level);
        line->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashDotLine));
        markItems.push_back(line);
    }
    replot(QCustomPlot::rpQueuedReplot);
}

CInteractiveChart::Drag CInteractiveChart::MarkAt(QPoint point, int* level) const {
    const std::optional<double> cursors[2] = {cursorA, cursorB};
    for (int which = 0; which < 2; ++which) {
        if (cursors[which] && std::abs(xAxis->coordToPixel(*cursors[which]) - point.x()) <= kGrip)
            return which == 0 ? Drag::CursorA : Drag::CursorB;
    }
    if (!Panes().isEmpty() && Panes().front()->rect().contains(point)) {
        for (std::size_t index = 0; index < levels.size(); ++index) {
            if (std::abs(yAxis->coordToPixel(levels[index]) - point.y()) <= kGrip) {
                *level = static_cast<int>(index);
                return Drag::Level;
            }
        }
    }
    return Drag::None;
}

void CInteractiveChart::mousePressEvent(QMouseEvent* event) {
    pressPoint = event->pos();
    moved = false;
    if (event->button() == Qt::RightButton) {
        drag = Drag::Box;
        if (rubberBand == nullptr)
            rubberBand = new QRubberBand(QRubberBand::Rectangle, this);
        rubberBand->setGeometry(QRect(pressPoint, QSize()));
        rubberBand->show();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    drag = MarkAt(pressPoint, &draggedLevel);
    if (drag == Drag::None) {
        drag = Drag::Pan;
        CWaveformChart::mousePressEvent(event);
    }
}

void CInteractiveChart::mouseMoveEvent(QMouseEvent* event) {
    lastPointer = event->pos();
    if ((event->pos() - pressPoint).manhattanLength() > 3)
        moved = moved || drag != Drag::None;
    const double x = xAxis->pixelToCoord(event->pos().x());
    switch (drag) {
        case Drag::CursorA:
        case Drag::CursorB:
            SetCursor(drag == Drag::CursorB, x, event->pos().y());
            return;
        case Drag::Level:
            if (draggedLevel >= 0 && draggedLevel < static_cast<int>(levels.size())) {
                levels[draggedLevel] = yAxis->pixelToCoord(event->pos().y());
                RefreshMarks();
                emit cursorsChanged();
            }
            return;
        case Drag::Box:
            rubberBand->setGeometry(QRect(pressPoint, event->pos()).normalized());
            return;
        case Drag::Pan:
        case Drag::None:
            break;
    }
    CWaveformChart::mouseMoveEvent(event);
    // A drag without the button (the pointer only moving over a mark) shows it can be taken.
    int level = -1;
    const Drag over = drag == Drag::None ? MarkAt(event->pos(), &level) : Drag::None;
    setCursor(over == Drag::Level                         ? Qt::SizeVerCursor
              : over == Drag::CursorA || over == Drag::CursorB ? Qt::SizeHorCursor
                                                               : Qt::ArrowCursor);
}

void CInteractiveChart::mouseReleaseEvent(QMouseEvent* event) {
    const Drag ended = drag;
    drag = Drag::None;
    const double x = xAxis->pixelToCoord(event->pos().x());
    if (ended == Drag::Box) {
        rubberBand->hide();
        QCPAxisRect* pane = PaneAt(pressPoint);
        const QRect box = QRect(pressPoint, event->pos()).normalized();
        if (moved && box.width() > 3 && box.height() > 3 && pane != nullptr) {
            QCPAxis* keys = pane->axis(QCPAxis::atBottom);
            QCPAxis* values = pane->axis(QCPAxis::atLeft);
            keys->setRange(keys->pixelToCoord(box.left()), keys->pixelToCoord(box.right()));
            values->setRange(values->pixelToCoord(box.bottom()), values->pixelToCoord(box.top()));
            replot(QCustomPlot::rpQueuedReplot);
        } else {
            SetCursor(true, x, event->pos().y());
        }
        return;
    }
    if (ended == Drag::Pan) {
        CWaveformChart::mouseReleaseEvent(event);
        if (!moved && event->button() == Qt::LeftButton)
            SetCursor(false, x, event->pos().y());
    }
}

void CInteractiveChart::ZoomScale(double factor, double centre) {
    xAxis->scaleRange(factor, centre);
    replot(QCustomPlot::rpQueuedReplot);
}

void CInteractiveChart::ZoomValues(QCPAxisRect* pane, double factor, double centre) {
    if (pane == nullptr)
        return;
    pane->axis(QCPAxis::atLeft)->scaleRange(factor, centre);
    replot(QCustomPlot::rpQueuedReplot);
}

void CInteractiveChart::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const double factor = std::pow(kZoomStep, steps);
    const QPoint at = event->position().toPoint();
    if (event->modifiers() & Qt::ControlModifier) {
        QCPAxisRect* pane = PaneAt(at);
        if (pane != nullptr)
            ZoomValues(pane, factor, pane->axis(QCPAxis::atLeft)->pixelToCoord(at.y()));
    } else {
        ZoomScale(factor, xAxis->pixelToCoord(at.x()));
    }
    event->accept();
}

void CInteractiveChart::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    const QCPRange range = xAxis->range();
    auto panScale = [&](double share) {
        if (xAxis->scaleType() == QCPAxis::stLogarithmic && range.lower > 0) {
            const double ratio = std::pow(range.upper / range.lower, share);
            xAxis->setRange(range.lower * ratio, range.upper * ratio);
        } else {
            xAxis->moveRange(range.size() * share);
        }
        replot(QCustomPlot::rpQueuedReplot);
    };
    switch (event->key()) {
        case Qt::Key_Home:
            FitAll();
            replot(QCustomPlot::rpQueuedReplot);
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            if (control)
                ZoomValues(Panes().value(0), kZoomStep, yAxis->range().center());
            else
                ZoomScale(kZoomStep, xAxis->scaleType() == QCPAxis::stLogarithmic
                                         ? std::sqrt(range.lower * range.upper)
                                         : range.center());
            break;
        case Qt::Key_Minus:
            if (control)
                ZoomValues(Panes().value(0), 1 / kZoomStep, yAxis->range().center());
            else
                ZoomScale(1 / kZoomStep, xAxis->scaleType() == QCPAxis::stLogarithmic
                                             ? std::sqrt(range.lower * range.upper)
                                             : range.center());
            break;
        case Qt::Key_Left:
            panScale(-0.1);
            break;
        case Qt::Key_Right:
            panScale(0.1);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
            yAxis->moveRange(yAxis->range().size() * (event->key() == Qt::Key_Up ? 0.1 : -0.1));
            replot(QCustomPlot::rpQueuedReplot);
            break;
        case Qt::Key_L:
            AddLevel(rect().contains(lastPointer) && Panes().front()->rect().contains(lastPointer)
                         ? yAxis->pixelToCoord(lastPointer.y())
                         : yAxis->range().center());
            break;
        case Qt::Key_Escape:
            ClearMarks();
            break;
        default:
            CWaveformChart::keyPressEvent(event);
            return;
    }
    event->accept();
}
