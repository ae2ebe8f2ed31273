#include "WaveformView.h"

#include <QVBoxLayout>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "WaveformDoc.h"
#include "WaveformPanel.h"

CWaveformView::CWaveformView(QWidget* parent) : CView(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    panel = new CWaveformPanel(this);
    layout->addWidget(panel);
    setFocusProxy(panel);
}

void CWaveformView::OnUpdate(CView*, long hint, void*) {
    auto* document = dynamic_cast<CWaveformDoc*>(GetDocument());
    if (document == nullptr)
        return;
    if (document->ReadingProgress() >= 0) {
        panel->ShowReading(document->GetPathName(), document->ReadingProgress());
        return;
    }
    // A reading that moved on is no new file: the panel shows it once it is whole.
    if ((hint == CWaveformDoc::FileRead || hint == CWaveformDoc::NetlistGiven) &&
        document->Prepared() != nullptr)
        panel->ShowFile(document->Prepared(), document->NetlistLines(),
                        hint == CWaveformDoc::FileRead);
}

void CWaveformView::OnDocumentDetached() {
    // The panel keeps its own share of the file; nothing of the document is used any more.
}

namespace {

std::function<QPrinter*()>& PrinterSource() {
    static std::function<QPrinter*()> source;
    return source;
}

}  // namespace

void CWaveformView::SetPrinterSource(std::function<QPrinter*()> source) {
    PrinterSource() = std::move(source);
}

const CCommandTable& CWaveformView::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CWaveformView>(CCmdTarget::ClassCommands())
            .On(ID_FILE_PRINT, &CWaveformView::OnFilePrint)
            .OnUpdate(ID_FILE_PRINT, &CWaveformView::OnUpdateNeedsFile)
            .On(ID_EDIT_COPY, &CWaveformView::OnEditCopy)
            .OnUpdate(ID_EDIT_COPY, &CWaveformView::OnUpdateNeedsFile)
            .Build();
    return table;
}

const CCommandTable& CWaveformView::Commands() const {
    return ClassCommands();
}

void CWaveformView::OnFilePrint() {
    QPrinter* printer = PrinterSource() ? PrinterSource()() : nullptr;
    if (printer != nullptr) {
        panel->Print(*printer);
        return;
    }
    QPrinter own;
    panel->Print(own);
}

void CWaveformView::OnEditCopy() {
    panel->CopyPicture();
}

void CWaveformView::OnUpdateNeedsFile(CCmdUI& ui) {
    ui.Enable(panel->HasFile());
}
