#include "SampleView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "ActionCmdUI.h"
#include "CmdUI.h"
#include "CommandTable.h"
#include "CommandIds.h"
#include "CompletionPopup.h"
#include "LogErrorNavigation.h"
#include "ModalHost.h"
#include "NetlistColorizer.h"
#include "NetlistNavigation.h"
#include "PlaceList.h"
#include "ReportTravel.h"
#include "SampleDoc.h"
#include "ViewFindings.h"

CSampleView::CSampleView(QWidget* parent) : CCorvelEditView(parent) {}

CSampleView::~CSampleView() = default;

const CCommandTable& CSampleView::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CSampleView>(CCorvelEditView::ClassCommands())
            .On(ID_GO_TO_DEFINITION, &CSampleView::OnGoToDefinition)
            .On(ID_GO_BACK, &CSampleView::OnGoBack)
            .OnUpdate(ID_GO_BACK, &CSampleView::OnUpdateGoBack)
            .On(ID_FIND_USAGES, &CSampleView::OnFindUsages)
            .On(ID_COMPLETE_WORD, &CSampleView::OnCompleteWord)
            .OnUpdate(ID_COMPLETE_WORD, &CSampleView::OnUpdateCompleteWord)
            .Build();
    return table;
}

const CCommandTable& CSampleView::Commands() const {
    return ClassCommands();
}

void CSampleView::OnGoToDefinition() {
    GoToDefinition(*this);
}

void CSampleView::OnGoBack() {
    GoBackFromDefinition();
}

void CSampleView::OnUpdateGoBack(CCmdUI& ui) {
    ui.Enable(CanGoBackFromDefinition());
}

void CSampleView::OnFindUsages() {
    ShowUsages(*this);
}

void CSampleView::OnCompleteWord() {
    CCompletionPopup::Offer(*this);
}

void CSampleView::OnUpdateCompleteWord(CCmdUI& ui) {
    ui.Enable(IsEditable());
}

CSampleDoc* CSampleView::GetSampleDocument() const {
    return dynamic_cast<CSampleDoc*>(GetDocument());
}

void CSampleView::OnInitialUpdate() {
    CCorvelEditView::OnInitialUpdate();
    reachedFirst = reachedLast = -1;
    if (CSampleDoc* document = GetSampleDocument()) {
        SetEncoding(document->encoding);
        ApplyFont(document->logFont);
        delete findings;
        findings = new CViewFindings(*this, *document);
    }
}

void CSampleView::OnUpdate(CView*, long, void*) {
    if (CSampleDoc* document = GetSampleDocument()) {
        SetEncoding(document->encoding);
        ApplyFont(document->logFont);
    }
}

void CSampleView::OnDocumentDetached() {
    delete findings;
    findings = nullptr;
    UnbindBuffer();
}

int CSampleView::ProblemLevelOfLine(int line) const {
    return findings != nullptr ? findings->LevelOf(line) : 0;
}

LineScanState CSampleView::ColorizeLine(LineScanState state, int line, ColorRun* runs,
                                        int& runCount) {
    // A list of places is no netlist: its lines keep the text's plain colours.
    if (IsPlaceList(GetDocument()))
        return CCorvelEditView::ColorizeLine(state, line, runs, runCount);
    return ClassifyNetlistLine(state, LineText(line), LineLength(line), runs, runCount);
}

LineScanState CSampleView::ColorizeVisible(LineScanState state, int line, int from, int to,
                                           ColorRun* runs, int& runCount, bool wantEndState) {
    if (IsPlaceList(GetDocument()))
        return CCorvelEditView::ColorizeVisible(state, line, from, to, runs, runCount,
                                                wantEndState);
    return ClassifyNetlistLineWindow(state, LineText(line), LineLength(line), from, to, runs,
                                     runCount, wantEndState);
}

CCorvelTextBuffer* CSampleView::LocateBuffer() {
    CSampleDoc* document = GetSampleDocument();
    return document != nullptr ? &document->buffer : nullptr;
}

void CSampleView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    ShowContextMenu(event->globalPos());
}

void CSampleView::ShowContextMenu(const QPoint& globalPosition) {
    QMenu menu(this);
    struct Item {
        const char* text;
        int id;
    };
    for (const Item& item : {Item{"Вырезать\tCtrl+X", ID_EDIT_CUT},
                             Item{"Копировать", ID_EDIT_COPY}, Item{"Вставить", ID_EDIT_PASTE}}) {
        QAction* action = menu.addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        CActionCmdUI ui(item.id, *action);
        RouteUpdateCommandUI(ui);
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("Перейти к определению"))->setData(ID_GO_TO_DEFINITION);
    QAction* chosen = ModalHost().RunMenu(menu, globalPosition);
    if (chosen != nullptr)
        ExecuteCommand(chosen->data().toInt());
}

void CSampleView::MarkReachedReport(int firstLine, int lastLine) {
    if (reachedFirst >= 0)
        RepaintLines(reachedFirst, reachedLast);
    reachedFirst = firstLine;
    reachedLast = lastLine;
    RepaintLines(firstLine, lastLine);
}

void CSampleView::LineHighlight(int line, std::optional<QColor>& background,
                                std::optional<QColor>& text, bool& fillAfterText) const {
    CCorvelEditView::LineHighlight(line, background, text, fillAfterText);
    if (reachedFirst >= 0 && reachedFirst <= line && line <= reachedLast) {
        background = QColor(255, 228, 181);
        fillAfterText = true;
    }
    // The first line of a list of places is an entry like the others, no netlist's title.
    if (line == 0 && !text && IsPlaceList(GetDocument()))
        text = RoleColor(NormalText);
}

void CSampleView::mouseDoubleClickEvent(QMouseEvent* event) {
    CSampleDoc* document = GetSampleDocument();
    if (event->button() == Qt::LeftButton && !mouseSelecting && document != nullptr &&
        (IsRunLog(document) || IsPlaceList(document))) {
        const int line = PointToText(NearestBoundaryPoint(event->position().toPoint())).y;
        if (IsPlaceList(document) ? GoToPlaceListEntryAt(*document, line)
                                  : GoToLogErrorAt(*document, line)) {
            if (!IsPlaceList(document))
                NoteRunLogUsed();
            event->accept();
            return;
        }
    }
    CCorvelEditView::mouseDoubleClickEvent(event);
}
