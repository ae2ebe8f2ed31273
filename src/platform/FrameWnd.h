#pragma once

#include <vector>

#include "CmdTarget.h"

class CDocument;
class CView;
class QWidget;

// A window that holds views: the main window, or a child window of one document. Documents
// reach their windows through their views; the template creates and shows child windows through
// this interface.
class CFrameWnd : public CCmdTarget {
public:
    // The widget of the frame.
    virtual QWidget* FrameWidget() = 0;
    // The view that commands go to first; null when none.
    virtual CView* GetActiveView() const = 0;
    // The document of the active view; null when none.
    virtual CDocument* GetActiveDocument() const;
    // Every view of the frame.
    virtual std::vector<CView*> FrameViews() const = 0;

    // First showing: the views get their initial update, then the frame is activated.
    virtual void InitialUpdateFrame(CDocument* document, bool makeVisible);
    // Shows the frame and makes it the active one.
    virtual void ActivateFrame() = 0;
    // Takes the frame off the screen now and deletes it once control is back in the event loop
    // (the command that asked may still be running in one of its views). Its views leave their
    // document at once.
    virtual void DestroyFrame() = 0;
    // Brings the frame's title in line with its document (title, window number).
    virtual void OnUpdateFrameTitle() {}

    // The frame that holds the widget, looking outwards from it; null when none.
    static CFrameWnd* FrameOf(QWidget* widget);
};
