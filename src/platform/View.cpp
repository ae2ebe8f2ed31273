#include "View.h"

#include <QEvent>
#include <QKeyEvent>

#include "Document.h"

CView::CView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

CView::~CView() {
    if (document != nullptr)
        document->RemoveView(this);
}

CCmdTarget* CView::NextCommandTarget() const {
    if (document != nullptr)
        return document;
    return CCmdTarget::NextCommandTarget();
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, long, void*) {
    update();
}

int CView::CommandForKey(const QKeyEvent& event) const {
    return keyTable.CommandFor(event);
}

bool CView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claiming the key here keeps application shortcuts from taking it: Qt then
            // delivers it to this view as a key press.
            if (CommandForKey(*static_cast<QKeyEvent*>(event)) != 0) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress:
            // Before QWidget::event, which would take Tab and Shift+Tab for focus changes.
            if (const int id = CommandForKey(*static_cast<QKeyEvent*>(event))) {
                event->accept();
                // The command may close this view: nothing below touches it.
                ExecuteCommand(id);
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::event(event);
}
