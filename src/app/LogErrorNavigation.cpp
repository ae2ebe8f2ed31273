#include "LogErrorNavigation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <string_view>
#include <vector>

#include "DocTemplate.h"
#include "FrameWnd.h"
#include "LogErrors.h"
#include "NetlistIncludes.h"
#include "ResultDocuments.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "SimulationRun.h"
#include "TextEncoding.h"
#include "LogErrorSource.h"
#include "TextLines.h"
#include "TextPlaces.h"
#include "WinApp.h"

namespace {

bool SameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

std::vector<LogError> ErrorsOf(const CSampleDoc& log) {
    return FindLogErrors(LinesOf(log.buffer));
}

// Opens the file, or brings its window to the front, and selects the line (counted from 1).
void ShowLine(const QString& path, int lineNumber) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return;
    // The line is shown in a text window, whatever other window the file's type has.
    if (application->Templates().empty())
        return;
    auto* document =
        dynamic_cast<CSampleDoc*>(application->Templates().front()->OpenDocumentFile(path));
    if (document == nullptr || document->Views().empty())
        return;
    // The window the user worked in last, when the document has several.
    CFrameWnd* mainFrame = CFrameWnd::FrameOf(application->MainWindow());
    CView* view = mainFrame != nullptr ? mainFrame->GetActiveView() : nullptr;
    if (view == nullptr || view->GetDocument() != document) {
        view = document->Views().front();
        if (CFrameWnd* frame = CFrameWnd::FrameOf(view))
            frame->ActivateFrame();
    }
    if (auto* textView = dynamic_cast<CCorvelTextView*>(view))
        SelectLineAtColumn(*textView, lineNumber - 1, 0);
}

void Reach(CSampleDoc& log, const LogError& error) {
    for (CView* view : log.Views()) {
        if (auto* logView = dynamic_cast<CSampleView*>(view)) {
            logView->MarkReachedReport(error.firstLogLine, error.lastLogLine);
            logView->BringIntoView({0, error.firstLogLine});
        }
    }
    // In the encoding the log is shown in, read before other windows open.
    const QString message = TextCodec::Decode(log.encoding, error.message);
    CResultDocuments* results = CResultDocuments::OfApplication();
    // A log from before this session names no netlist: the message is all there is to show.
    if (results != nullptr && !results->netlistPath.isEmpty())
        ShowLine(FileHoldingLine(results->netlistPath, error), error.netlistLine);
    ShowStatusText(message);
}

// The report reached last in the log; -1 when none is.
int ReachedIndex(const CSampleDoc& log, const std::vector<LogError>& errors) {
    for (CView* view : log.Views()) {
        if (auto* logView = dynamic_cast<CSampleView*>(view))
            return ErrorCoveringLine(errors, logView->ReachedReportLine());
    }
    return -1;
}

}  // namespace

bool IsRunLog(const CDocument* document) {
    auto* sampleDocument = dynamic_cast<const CSampleDoc*>(document);
    if (sampleDocument == nullptr)
        return false;
    CResultDocuments* results = CResultDocuments::OfApplication();
    if (results != nullptr && results->logDocument == sampleDocument)
        return true;
    return sampleDocument->buffer.IsReadOnly() &&
           SameFile(sampleDocument->GetPathName(), KnownSimulationPaths(SimulationFolder()).logFile);
}

CSampleDoc* RunLogDocument() {
    CResultDocuments* results = CResultDocuments::OfApplication();
    if (results != nullptr && results->logDocument != nullptr)
        return results->logDocument;
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return nullptr;
    for (CDocument* document : application->Documents()) {
        if (IsRunLog(document))
            return dynamic_cast<CSampleDoc*>(document);
    }
    return nullptr;
}

bool GoToLogErrorAt(CSampleDoc& log, int logLine) {
    const std::vector<LogError> errors = ErrorsOf(log);
    const int index = ErrorCoveringLine(errors, logLine);
    if (index < 0)
        return false;
    Reach(log, errors[index]);
    return true;
}

bool StepToLogError(bool forward) {
    CSampleDoc* log = RunLogDocument();
    if (log == nullptr)
        return false;
    const std::vector<LogError> errors = ErrorsOf(*log);
    const int count = static_cast<int>(errors.size());
    if (count == 0)
        return false;
    const int reached = ReachedIndex(*log, errors);
    int next;
    if (reached < 0)
        next = forward ? 0 : count - 1;
    else
        next = (reached + (forward ? 1 : count - 1)) % count;
    Reach(*log, errors[next]);
    return true;
}

bool RunLogHasErrors() {
    CSampleDoc* log = RunLogDocument();
    if (log == nullptr)
        return false;
    // Asked on every idle pass: the log is read again only when its text has changed, and a
    // log of millions of lines a slice at a time, so that no pass holds up the window; until the
    // last slice, F4 has only the errors found so far.
    static std::uint64_t readGeneration = 0;
    static bool hasErrors = false;
    static int nextLine = 0;
    if (log->buffer.Generation() != readGeneration) {
        readGeneration = log->buffer.Generation();
        hasErrors = false;
        nextLine = 0;
    }
    const int total = log->buffer.LineTotal();
    if (hasErrors || nextLine >= total)
        return hasErrors;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
    for (int checked = 0; nextLine < total && !hasErrors; ++checked, ++nextLine) {
        hasErrors = IsReportHeading(std::string_view(log->buffer.LineText(nextLine),
                                                     log->buffer.LineLength(nextLine)));
        if ((checked & 8191) == 8191 && std::chrono::steady_clock::now() >= deadline) {
            ++nextLine;
            break;
        }
    }
    // The next pass goes on where this one stopped: an event makes sure there is one.
    if (!hasErrors && nextLine < total)
        QTimer::singleShot(0, qApp, [] {});
    return hasErrors;
}
