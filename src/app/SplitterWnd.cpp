#include "SplitterWnd.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "CorvelTextView.h"

CSplitterWnd::CSplitterWnd(PaneFactory paneFactory, QWidget* parent)
    : QWidget(parent), factory(std::move(paneFactory)) {
    setMouseTracking(true);  // the cursor changes over boxes and bars
    for (Axis axis : {kRows, kColumns}) {
        for (int index = 0; index < 2; ++index) {
            auto* bar = new QScrollBar(axis == kRows ? Qt::Vertical : Qt::Horizontal, this);
            bar->setFocusPolicy(Qt::NoFocus);
            bar->hide();
            // The pane of the bar's row (column) in the active pane's column (row) takes the
            // action; it scrolls the rest of its row or column itself.
            connect(bar, &QScrollBar::actionTriggered, this, [this, axis, index](int action) {
                CCorvelTextView* pane = axis == kRows ? Pane(index, active->PaneColumn())
                                                      : Pane(active->PaneRow(), index);
                if (pane != nullptr)
                    pane->ApplyScrollAction(axis == kRows, action);
            });
            axes[axis].bars[index] = bar;
        }
        // The tracking bar is hatched, so that the panes show through it while it is dragged.
        QWidget* tracker = new QWidget(this);
        QPalette colors = tracker->palette();
        colors.setBrush(QPalette::Window,
                        QBrush(palette().color(QPalette::Shadow), Qt::Dense4Pattern));
        tracker->setPalette(colors);
        tracker->setAutoFillBackground(true);
        tracker->setAttribute(Qt::WA_TransparentForMouseEvents);
        tracker->hide();
        drags[axis].tracker = tracker;
    }
    SetActive(MakePane(0, 0));
    Relayout();
    static_cast<CView*>(active)->OnInitialUpdate();
}

CSplitterWnd::~CSplitterWnd() {
    // The views go first: while a view dies it may still ask its host, which must be whole.
    std::vector<CCorvelTextView*> doomed = PanesInOrder();
    panes = {};
    active = nullptr;
    for (CCorvelTextView* pane : doomed)
        delete pane;
}

// --- The panes and their scroll bars

CCorvelTextView* CSplitterWnd::Pane(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return nullptr;
    return panes[row][column];
}

QScrollBar* CSplitterWnd::VerticalBarOfRow(int row) const {
    return row >= 0 && row < RowCount() ? axes[kRows].bars[row] : nullptr;
}

QScrollBar* CSplitterWnd::HorizontalBarOfColumn(int column) const {
    return column >= 0 && column < ColumnCount() ? axes[kColumns].bars[column] : nullptr;
}

std::vector<CCorvelTextView*> CSplitterWnd::PanesInOrder() const {
    std::vector<CCorvelTextView*> order;
    for (int row = 0; row < RowCount(); ++row) {
        for (int column = 0; column < ColumnCount(); ++column)
            order.push_back(panes[row][column]);
    }
    return order;
}

CCorvelTextView* CSplitterWnd::MakePane(int row, int column) {
    CCorvelTextView* pane = factory(this);
    pane->SetPane(this, kFirstPaneId + 16 * row + column);
    pane->installEventFilter(this);  // to see which pane has the focus
    panes[row][column] = pane;
    return pane;
}

bool CSplitterWnd::Split(Axis axis, int position) {
    AxisState& state = axes[axis];
    Axis other = axis == kRows ? kColumns : kRows;
    if (state.count == 2 || position < kMinPaneSize ||
        Extent(axis) - position - kSplitBarSize < kMinPaneSize)
        return false;
    // The new panes take the breadth of the existing ones across the split.
    for (int index = 0; index < axes[other].count; ++index) {
        if (SpanOf(other, index).length < kMinPaneSize)
            return false;
    }
    state.count = 2;
    state.split = position;
    std::vector<CCorvelTextView*> created;
    for (int index = 0; index < axes[other].count; ++index)
        created.push_back(axis == kRows ? MakePane(1, index) : MakePane(index, 1));
    Relayout();
    // In order, so that a pane finds the first pane of its row and column already set up.
    for (CCorvelTextView* pane : created) {
        static_cast<CView*>(pane)->OnInitialUpdate();
        pane->show();
    }
    update();
    return true;
}

void CSplitterWnd::Remove(Axis axis, int index) {
    AxisState& state = axes[axis];
    if (state.count < 2 || index < 0 || index > 1)
        return;
    std::vector<CCorvelTextView*> doomed;
    bool activeDoomed = false;
    CCorvelTextView* successor = active;
    for (int across = 0; across < axes[axis == kRows ? kColumns : kRows].count; ++across) {
        CCorvelTextView*& first = axis == kRows ? panes[0][across] : panes[across][0];
        CCorvelTextView*& second = axis == kRows ? panes[1][across] : panes[across][1];
        CCorvelTextView* gone = index == 0 ? first : second;
        CCorvelTextView* kept = index == 0 ? second : first;
        doomed.push_back(gone);
        if (gone == active) {
            activeDoomed = true;
            successor = kept;
        }
        // The survivors are the first row or column now.
        first = kept;
        second = nullptr;
    }
    state.count = 1;
    QWidget* focus = QApplication::focusWidget();
    bool focusLost = std::find(doomed.begin(), doomed.end(), focus) != doomed.end();
    // Identifiers always match the place: the panes find their row, column and bars by them.
    for (int row = 0; row < RowCount(); ++row) {
        for (int column = 0; column < ColumnCount(); ++column)
            panes[row][column]->SetPane(this, kFirstPaneId + 16 * row + column);
    }
    for (CCorvelTextView* pane : doomed)
        delete pane;
    Relayout();
    if (activeDoomed)
        SetActive(successor);
    if (focusLost)
        successor->setFocus();
}

void CSplitterWnd::SetActive(CCorvelTextView* pane) {
    if (pane == active)
        return;
    active = pane;
    // Focusing the splitter, as its frame does, focuses the active pane.
    setFocusProxy(pane);
    emit ActivePaneChanged(pane);
}

void CSplitterWnd::ActivateNext(bool previous) {
    std::vector<CCorvelTextView*> order = PanesInOrder();
    int count = static_cast<int>(order.size());
    int at = static_cast<int>(std::find(order.begin(), order.end(), active) - order.begin());
    CCorvelTextView* next = order[(at + (previous ? count - 1 : 1)) % count];
    SetActive(next);
    next->setFocus();
}

bool CSplitterWnd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (CCorvelTextView* pane : PanesInOrder()) {
            if (pane == watched)
                SetActive(pane);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- Geometry

int CSplitterWnd::BarWidth() const {
    return axes[kRows].bars[0]->sizeHint().width();
}

int CSplitterWnd::BarHeight() const {
    return axes[kColumns].bars[0]->sizeHint().height();
}

int CSplitterWnd::Extent(Axis axis) const {
    return std::max(0, axis == kRows ? height() - BarHeight() : width() - BarWidth());
}

CSplitterWnd::Span CSplitterWnd::SpanOf(Axis axis, int index) const {
    int extent = Extent(axis);
    if (axes[axis].count == 1)
        return {0, extent};
    // A window grown small squeezes the last pane, never the split bar out of the window.
    int split = std::clamp(axes[axis].split, 0, std::max(0, extent - kSplitBarSize));
    if (index == 0)
        return {0, split};
    return {split + kSplitBarSize, extent - split - kSplitBarSize};
}

QRect CSplitterWnd::Box(Axis axis) const {
    if (axes[axis].count == 2)
        return {};
    if (axis == kRows)
        return {Extent(kColumns), 0, BarWidth(), kSplitBoxSize};
    return {0, Extent(kRows), kSplitBoxSize, BarHeight()};
}

QRect CSplitterWnd::Bar(Axis axis) const {
    if (axes[axis].count == 1)
        return {};
    // The bar crosses the scroll bars too, as far as the window's edge.
    int start = SpanOf(axis, 1).start - kSplitBarSize;
    if (axis == kRows)
        return {0, start, width(), kSplitBarSize};
    return {start, 0, kSplitBarSize, height()};
}

void CSplitterWnd::Relayout() {
    for (int row = 0; row < RowCount(); ++row) {
        Span rows = SpanOf(kRows, row);
        for (int column = 0; column < ColumnCount(); ++column) {
            Span columns = SpanOf(kColumns, column);
            panes[row][column]->setGeometry(columns.start, rows.start, columns.length, rows.length);
        }
    }
    // A bar beside a split box starts after the box.
    for (Axis axis : {kRows, kColumns}) {
        int box = axes[axis].count == 1 ? kSplitBoxSize : 0;
        for (int index = 0; index < 2; ++index) {
            QScrollBar* bar = axes[axis].bars[index];
            bar->setVisible(index < axes[axis].count);
            if (index >= axes[axis].count)
                continue;
            Span span = SpanOf(axis, index);
            int skip = index == 0 ? box : 0;
            int length = std::max(0, span.length - skip);
            if (axis == kRows)
                bar->setGeometry(Extent(kColumns), span.start + skip, BarWidth(), length);
            else
                bar->setGeometry(span.start + skip, Extent(kRows), length, BarHeight());
        }
    }
    // Bars handed to other panes carry the ranges of the old ones until the panes set them.
    for (CCorvelTextView* pane : PanesInOrder()) {
        pane->UpdateVerticalScrollBar(false);
        pane->UpdateHorizontalScrollBar(false);
    }
    update();
}

void CSplitterWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void CSplitterWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    for (Axis axis : {kRows, kColumns}) {
        if (QRect box = Box(axis); !box.isEmpty())
            qDrawShadePanel(&painter, box, palette(), false, 1);
        if (QRect bar = Bar(axis); !bar.isEmpty())
            qDrawShadePanel(&painter, bar, palette(), false, 1);
    }
    // The square between the two scroll bars belongs to neither of them.
    painter.fillRect(QRect(Extent(kColumns), Extent(kRows), BarWidth(), BarHeight()),
                     palette().color(QPalette::Window));
}

// --- Dragging boxes and bars

void CSplitterWnd::Track(Axis axis, QPoint point) {
    Drag& drag = drags[axis];
    drag.position =
        std::clamp(Along(axis, point) - drag.grab, 0, std::max(0, Extent(axis) - kSplitBarSize));
    if (axis == kRows)
        drag.tracker->setGeometry(0, drag.position, Extent(kColumns), kSplitBarSize);
    else
        drag.tracker->setGeometry(drag.position, 0, kSplitBarSize, Extent(kRows));
    drag.tracker->raise();
    drag.tracker->show();
}

void CSplitterWnd::FinishDrag(Axis axis) {
    Drag& drag = drags[axis];
    drag.active = false;
    drag.tracker->hide();
    if (axes[axis].count == 1) {
        Split(axis, drag.position);  // refused when a pane would be too small
    } else if (drag.position < kMinPaneSize) {
        Remove(axis, 0);
    } else if (Extent(axis) - drag.position - kSplitBarSize < kMinPaneSize) {
        Remove(axis, 1);
    } else {
        axes[axis].split = drag.position;
        Relayout();
    }
}

void CSplitterWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    // Where the bars cross, both move.
    for (Axis axis : {kRows, kColumns}) {
        QRect grip = Grip(axis);
        if (!grip.contains(point))
            continue;
        drags[axis].active = true;
        drags[axis].grab = Along(axis, point) - Along(axis, grip.topLeft());
        Track(axis, point);
    }
}

void CSplitterWnd::mouseMoveEvent(QMouseEvent* event) {
    QPoint point = event->position().toPoint();
    bool dragging = false;
    for (Axis axis : {kRows, kColumns}) {
        if (drags[axis].active) {
            Track(axis, point);
            dragging = true;
        }
    }
    if (dragging)
        return;
    bool rows = Grip(kRows).contains(point);
    bool columns = Grip(kColumns).contains(point);
    if (rows && columns)
        setCursor(Qt::SizeAllCursor);
    else if (rows)
        setCursor(Qt::SplitVCursor);
    else if (columns)
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
}

void CSplitterWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    for (Axis axis : {kRows, kColumns}) {
        if (drags[axis].active)
            FinishDrag(axis);
    }
}

void CSplitterWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on a split box splits in the middle; it starts no drag.
    QPoint point = event->position().toPoint();
    for (Axis axis : {kRows, kColumns}) {
        if (event->button() == Qt::LeftButton && Box(axis).contains(point))
            Split(axis, (Extent(axis) - kSplitBarSize) / 2);
    }
}
