#include "ViewFindings.h"

#include <QCoreApplication>
#include <QStatusTipEvent>

#include "MainFrame.h"
#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "WinApp.h"

namespace {

CMainFrame* MainFrame() {
    CWinApp* application = CWinApp::Instance();
    return application != nullptr ? dynamic_cast<CMainFrame*>(application->MainWindow())
                                  : nullptr;
}

}  // namespace

CViewFindings::CViewFindings(CSampleView& owner, CSampleDoc& document)
    : QObject(&owner), view(owner), insight(CNetlistInsight::Of(document)) {
    connect(insight, &CNetlistInsight::analysisChanged, this, [this] { TakeAnalysis(); });
    if (CMainFrame* frame = MainFrame())
        connect(frame, &CMainFrame::idlePassed, this, [this] { FollowCaret(); });
    TakeAnalysis();
}

void CViewFindings::TakeAnalysis() {
    std::shared_ptr<const NetlistAnalysis> analysis = insight ? insight->Analysis() : nullptr;
    CLineFindings now;
    if (analysis != nullptr)
        now = CLineFindings(*analysis, insight->AnalysedPath());
    if (now.Empty() && lines.Empty())
        return;
    lines = std::move(now);
    view.update(QRect(0, 0, view.MarginWidth(), view.height()));
}

void CViewFindings::FollowCaret() {
    CMainFrame* frame = MainFrame();
    if (frame == nullptr || frame->GetActiveView() != &view) {
        // Coming back to the window shows the line's findings again.
        caretLine = -1;
        shownText.clear();
        return;
    }
    if (insight)
        insight->FollowPath();
    const int line = view.CaretPosition().y;
    const QString text = lines.TextOf(line);
    if (line == caretLine && text == shownText)
        return;
    caretLine = line;
    // Leaving the line takes its text away, but not a message shown since.
    if (text.isEmpty() && (shownText.isEmpty() || frame->PaneText(0) != shownText)) {
        shownText.clear();
        return;
    }
    shownText = text;
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(frame, &tip);
}
