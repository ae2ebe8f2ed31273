#include "TextPlaces.h"

#include <QCoreApplication>
#include <QFile>
#include <QStatusTipEvent>
#include <algorithm>

#include "DocTemplate.h"
#include "FrameWnd.h"
#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "WinApp.h"

namespace {

TextPosition Clamped(const CCorvelTextView& view, int line, int column) {
    line = std::clamp(line, 0, std::max(0, view.LineTotal() - 1));
    return {std::clamp(column, 0, view.LineLength(line)), line};
}

}  // namespace

CSampleView* ShowTextWindow(CSampleDoc& document) {
    if (document.Views().empty())
        return nullptr;
    CWinApp* application = CWinApp::Instance();
    CFrameWnd* mainFrame =
        application != nullptr ? CFrameWnd::FrameOf(application->MainWindow()) : nullptr;
    CView* view = mainFrame != nullptr ? mainFrame->GetActiveView() : nullptr;
    if (view == nullptr || view->GetDocument() != &document) {
        view = document.Views().front();
        if (CFrameWnd* frame = CFrameWnd::FrameOf(view))
            frame->ActivateFrame();
    }
    return dynamic_cast<CSampleView*>(view);
}

CSampleView* ShowTextWindow(const QString& path) {
    CWinApp* application = CWinApp::Instance();
    // A text window, whatever other window the file's type has.
    if (application == nullptr || application->Templates().empty())
        return nullptr;
    // An untitled netlist is named in its analysis by a path of its own that is no file.
    for (CDocument* open : application->Documents()) {
        auto* text = dynamic_cast<CSampleDoc*>(open);
        if (text != nullptr && text->GetPathName().isEmpty() && !text->buffer.IsReadOnly() &&
            FilePathOf(CNetlistInsight::Of(*text)->AnalysedPath()) == path)
            return ShowTextWindow(*text);
    }
    auto* document =
        dynamic_cast<CSampleDoc*>(application->Templates().front()->OpenDocumentFile(path));
    return document != nullptr ? ShowTextWindow(*document) : nullptr;
}

void SelectLineAtColumn(CCorvelTextView& view, int line, int column) {
    const TextPosition caret = Clamped(view, line, column);
    const TextPosition start{0, caret.y};
    const TextPosition end{view.LineLength(caret.y), caret.y};
    view.SetAnchorPoint(end);
    view.SelectRange(end, start);
    view.PlaceCursor(caret);
    view.BringIntoView(caret);
    view.PlaceCaret();
}

void SelectSpan(CCorvelTextView& view, int line, int column, int length) {
    const TextPosition start = Clamped(view, line, column);
    const TextPosition end = Clamped(view, start.y, start.x + std::max(0, length));
    view.SetAnchorPoint(end);
    view.SelectRange(end, start);
    view.PlaceCursor(start);
    view.BringIntoView(end);
    view.BringIntoView(start);
    view.PlaceCaret();
}

QString FilePathOf(const std::string& file) {
    return QFile::decodeName(QByteArray::fromStdString(file));
}

void ShowStatusText(const QString& text) {
    CWinApp* application = CWinApp::Instance();
    QWidget* mainWindow = application != nullptr ? application->MainWindow() : nullptr;
    if (mainWindow == nullptr)
        return;
    // The prompt area takes what status tips bring.
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(mainWindow, &tip);
}
