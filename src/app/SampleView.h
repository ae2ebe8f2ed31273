#pragma once

#include "CorvelEditView.h"

class CSampleDoc;
class QContextMenuEvent;

// A pane of a netlist window: the edit view over its document's text, in the document's font,
// coloured as a netlist, with a short context menu.
class CSampleView : public CCorvelEditView {
public:
    explicit CSampleView(QWidget* parent = nullptr);
    ~CSampleView() override;

    CSampleDoc* GetSampleDocument() const;

    void OnInitialUpdate() override;
    // Whatever the document changed as a whole, the view takes its font again.
    void OnUpdate(CView* sender, long hint, void* hintObject) override;
    void OnDocumentDetached() override;
    LineScanState ColorizeLine(LineScanState state, int line, ColorRun* runs,
                               int& runCount) override;
    CCorvelTextBuffer* LocateBuffer() override;

    // The context menu: cut, copy and paste, enabled as in the main menu.
    void ShowContextMenu(const QPoint& globalPosition);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
