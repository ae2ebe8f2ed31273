#pragma once

#include <QWidget>

#include <utility>

#include "CmdTarget.h"
#include "KeyTable.h"

class CDocument;
class QKeyEvent;

// A window that shows a document and is the first target of the commands while it is active.
// Its key table is consulted before the widget's own key handling: a bound key runs its command,
// routed from this view along the command chain, and goes no further.
class CView : public QWidget, public CCmdTarget {
    Q_OBJECT

public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    // The document shown; null for a view without one. The document sets it when it takes
    // the view (CDocument::AddView) and clears it when it lets go.
    CDocument* GetDocument() const { return document; }
    void SetDocument(CDocument* value) { document = value; }
    // The document let go of the view (it closes, or the view's window goes): the view must
    // stop using anything of it. The default does nothing.
    virtual void OnDocumentDetached() {}
    // Commands the view does not handle go on to its document.
    CCmdTarget* NextCommandTarget() const override;

    // Once, when the view is first shown with its document. The default runs
    // OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // The document asks its views to show a change; sender is the view that made it, or null.
    // The default repaints the whole view.
    virtual void OnUpdate(CView* sender, long hint, void* hintObject);

    const CKeyTable& KeyTable() const { return keyTable; }
    CKeyTable& KeyTable() { return keyTable; }
    void SetKeyTable(CKeyTable table) { keyTable = std::move(table); }

protected:
    // The command a key event stands for, or 0. The default asks the view's key table.
    virtual int CommandForKey(const QKeyEvent& event) const;

    bool event(QEvent* event) override;

private:
    CDocument* document = nullptr;
    CKeyTable keyTable;
};
