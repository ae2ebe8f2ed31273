#pragma once

#include "View.h"

class CWaveformPanel;

// The view of a raw file's waveforms in a document window: the waveform panel of its document.
class CWaveformView : public CView {
    Q_OBJECT

public:
    explicit CWaveformView(QWidget* parent = nullptr);

    CWaveformPanel* Panel() const { return panel; }
    void OnUpdate(CView* sender, long hint, void* hintObject) override;
    void OnDocumentDetached() override;

private:
    CWaveformPanel* panel = nullptr;
};
