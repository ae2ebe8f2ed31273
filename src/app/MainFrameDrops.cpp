#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "DroppedFiles.h"
#include "MainFrame.h"
#include "WinApp.h"

// Files dropped on the main window open as documents.

namespace {

// Opening a file copies nothing away from its folder: a file manager told "moved" could remove
// the original.
void AnswerCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

}  // namespace

// Files dropped anywhere on the window (a text view, the tab strip, the area of the document
// windows) arrive here: the views take only text, the other widgets take no drops.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (HoldsLocalFiles(event->mimeData()))
        AnswerCopy(event);
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (HoldsLocalFiles(event->mimeData()))
        AnswerCopy(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr || !HoldsLocalFiles(event->mimeData()))
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    AnswerCopy(event);
    activateWindow();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            application->OpenDocumentFile(url.toLocalFile());
    }
}
