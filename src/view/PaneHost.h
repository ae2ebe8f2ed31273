#pragma once

class CCorvelTextView;
class QScrollBar;

// The split frame that holds a view as one of its panes: panes in one row share the first
// visible line and one vertical scroll bar, panes in one column share the horizontal offset and
// one horizontal scroll bar. A pane's row and column come from its identifier,
// 0xE900 + 16 × row + column.
class CPaneHost {
public:
    static constexpr int kFirstPaneId = 0xE900;

    // The pane at row and column, or null.
    virtual CCorvelTextView* Pane(int row, int column) const = 0;
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual QScrollBar* VerticalBarOfRow(int row) const = 0;
    virtual QScrollBar* HorizontalBarOfColumn(int column) const = 0;

protected:
    ~CPaneHost() = default;
};
