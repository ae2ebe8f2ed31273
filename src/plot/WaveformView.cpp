#include "WaveformView.h"

#include <QVBoxLayout>

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
    if (hint == CWaveformDoc::FileRead && document->File() != nullptr)
        panel->ShowFile(document->File(), document->NetlistLines());
}

void CWaveformView::OnDocumentDetached() {
    // The panel keeps its own share of the file; nothing of the document is used any more.
}
