#pragma once

#include "CorvelEditView.h"

class CSampleDoc;
class CViewFindings;
class QContextMenuEvent;
class QMouseEvent;

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
    LineScanState ColorizeVisible(LineScanState state, int line, int from, int to, ColorRun* runs,
                                  int& runCount, bool wantEndState) override;
    CCorvelTextBuffer* LocateBuffer() override;

    // The context menu: cut, copy and paste, enabled as in the main menu, and the definition of
    // the name at the caret.
    void ShowContextMenu(const QPoint& globalPosition);

    // In a view of the run's log: the lines of the report that error travel reached last, which
    // keep a background of their own whether or not the view has the focus. A new text (the
    // initial update) has none.
    void MarkReachedReport(int firstLine, int lastLine);
    // The first line of that report; -1 when none.
    int ReachedReportLine() const { return reachedFirst; }
    void LineHighlight(int line, std::optional<QColor>& background, std::optional<QColor>& text,
                       bool& fillAfterText) const override;
    // The worst finding of the line in the netlist's last analysis.
    int ProblemLevelOfLine(int line) const override;

    // --- Commands: from names of the netlist to their definitions and usages, and completion
    void OnGoToDefinition();
    void OnGoBack();
    void OnUpdateGoBack(CCmdUI& ui);
    void OnFindUsages();
    // Only where the text can be edited.
    void OnCompleteWord();
    void OnUpdateCompleteWord(CCmdUI& ui);

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // In the run's log a double click on a report goes to the line it names; elsewhere it selects
    // a word.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int reachedFirst = -1;
    int reachedLast = -1;
    // The findings of the document the view shows; made at the initial update.
    CViewFindings* findings = nullptr;
};
