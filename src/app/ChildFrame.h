#pragma once

#include <functional>

#include <QMdiSubWindow>

#include "FrameWnd.h"

class CDocument;
class CSplitterWnd;

// The window of one document inside the main window: it opens and activates maximized, and holds
// a split frame of up to 2 × 2 panes, each a view of the document.
class CChildFrame : public QMdiSubWindow, public CFrameWnd {
    Q_OBJECT

public:
    explicit CChildFrame(CDocument* document, QWidget* parent = nullptr);
    // A window of one view that is no text view (the waveforms of a raw file): no split frame.
    CChildFrame(CDocument* document, const std::function<CView*(QWidget*)>& makeView,
                QWidget* parent = nullptr);
    ~CChildFrame() override;

    QWidget* FrameWidget() override { return this; }
    CView* GetActiveView() const override;
    std::vector<CView*> FrameViews() const override;
    void ActivateFrame() override;
    void DestroyFrame() override;
    // The document's title, with ":n" when the document has more than one window.
    void OnUpdateFrameTitle() override;

    CSplitterWnd* Splitter() const { return splitter; }

    // Moves the window in its normal state to where the main window places it, remembering the
    // place: while the window is still there, the user has not placed it himself.
    void PlaceByFrame(const QRect& rect);
    bool StillPlacedByFrame() const;

    // --- Commands
    void OnNextPane();
    void OnPrevPane();

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;
    // Closing the last window of a document closes the document, after asking to save it.
    void closeEvent(QCloseEvent* event) override;

private:
    CDocument* frameDocument;
    CSplitterWnd* splitter = nullptr;
    CView* singleView = nullptr;
    bool destroying = false;
    QRect framePlacement;
};
