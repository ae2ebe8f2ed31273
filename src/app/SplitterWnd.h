#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "PaneHost.h"

class CCorvelTextView;
class QScrollBar;

// The split frame of a document window: up to 2 rows and 2 columns of views of one document.
// The panes of a row share one vertical scroll bar on the right edge, the panes of a column one
// horizontal scroll bar at the bottom. The user splits by dragging the split box above the
// vertical bar (into rows) or left of the horizontal bar (into columns), resizes by dragging the
// split bar between panes, and removes a row or column by dragging its split bar until a pane
// would be smaller than the minimum.
class CSplitterWnd : public QWidget, public CPaneHost {
    Q_OBJECT

public:
    // Makes a new view of the document, a child of parent; the splitter places it as a pane.
    using PaneFactory = std::function<CCorvelTextView*(QWidget* parent)>;

    static constexpr int kMaxRows = 2;
    static constexpr int kMaxColumns = 2;
    static constexpr int kMinPaneSize = 30;
    static constexpr int kSplitBarSize = 6;  // thickness of the bar between two panes
    static constexpr int kSplitBoxSize = 7;  // length of a split box along its scroll bar

    // Makes the first pane (row 0, column 0) and runs its initial update.
    explicit CSplitterWnd(PaneFactory factory, QWidget* parent = nullptr);
    ~CSplitterWnd() override;

    CCorvelTextView* Pane(int row, int column) const override;
    int RowCount() const override { return axes[kRows].count; }
    int ColumnCount() const override { return axes[kColumns].count; }
    QScrollBar* VerticalBarOfRow(int row) const override;
    QScrollBar* HorizontalBarOfColumn(int column) const override;

    // Adds the second row (column) with its split bar's top (left) edge at y (x); false when the
    // maximum is reached or a pane would be smaller than the minimum.
    bool SplitRow(int y) { return Split(kRows, y); }
    bool SplitColumn(int x) { return Split(kColumns, x); }
    // Removes a row (column) and its views; the panes after it move up (left) and are renumbered.
    void DeleteRow(int row) { Remove(kRows, row); }
    void DeleteColumn(int column) { Remove(kColumns, column); }

    // The pane that last had the focus; the first pane until another one had it.
    CCorvelTextView* ActivePane() const { return active; }
    // Gives the focus to the next (previous) pane in row-major order, wrapping around.
    void ActivateNext(bool previous);

    // Where the user drags: the split box while there is room for another row (column), the
    // split bar once there are two; empty when neither is there.
    QRect RowSplitBox() const { return Box(kRows); }
    QRect ColumnSplitBox() const { return Box(kColumns); }
    QRect RowSplitBar() const { return Bar(kRows); }
    QRect ColumnSplitBar() const { return Bar(kColumns); }

signals:
    // The frame routes its commands to the active pane.
    void ActivePaneChanged(CCorvelTextView* pane);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rows and columns are handled alike: an axis is one of the two.
    enum Axis { kRows = 0, kColumns = 1 };
    struct AxisState {
        int count = 1;
        int split = 0;  // the split bar's leading edge, while count is 2
        std::array<QScrollBar*, 2> bars{};
    };
    struct Span {
        int start;
        int length;
    };
    struct Drag {
        bool active = false;
        int grab = 0;      // the pointer's distance from the leading edge of what it took
        int position = 0;  // the tracking bar's leading edge
        QWidget* tracker = nullptr;
    };

    bool Split(Axis axis, int position);
    void Remove(Axis axis, int index);
    CCorvelTextView* MakePane(int row, int column);
    // Places panes, bars and boxes, then lets every pane recompute its bars.
    void Relayout();
    void SetActive(CCorvelTextView* pane);
    std::vector<CCorvelTextView*> PanesInOrder() const;

    // The length along the axis that the panes and split bars share.
    int Extent(Axis axis) const;
    Span SpanOf(Axis axis, int index) const;
    QRect Box(Axis axis) const;
    QRect Bar(Axis axis) const;
    // The box while the axis has one pane, else the bar.
    QRect Grip(Axis axis) const { return axes[axis].count == 1 ? Box(axis) : Bar(axis); }
    static int Along(Axis axis, QPoint point) { return axis == kRows ? point.y() : point.x(); }
    int BarWidth() const;
    int BarHeight() const;
    void Track(Axis axis, QPoint point);
    void FinishDrag(Axis axis);

    PaneFactory factory;
    std::array<std::array<CCorvelTextView*, kMaxColumns>, kMaxRows> panes{};  // [row][column]
    std::array<AxisState, 2> axes;
    std::array<Drag, 2> drags;
    CCorvelTextView* active = nullptr;
};
