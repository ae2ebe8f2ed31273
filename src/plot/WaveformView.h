#pragma once

#include <QPrinter>
#include <functional>

#include "View.h"

class CCmdUI;

class CWaveformPanel;

// The view of a raw file's waveforms in a document window: the waveform panel of its document.
class CWaveformView : public CView {
    Q_OBJECT

public:
    explicit CWaveformView(QWidget* parent = nullptr);

    CWaveformPanel* Panel() const { return panel; }
    void OnUpdate(CView* sender, long hint, void* hintObject) override;
    void OnDocumentDetached() override;

    // Where printing gets its printer: the program's one, with the settings the user chose.
    static void SetPrinterSource(std::function<QPrinter*()> source);

    // --- Commands: print the chart, copy its picture.
    void OnFilePrint();
    void OnEditCopy();
    void OnUpdateNeedsFile(CCmdUI& ui);
    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;

private:
    CWaveformPanel* panel = nullptr;
};
