// Start analysis: the netlist is saved and simulated by the first program, its result files are
// shown read-only, and the control lines go to the second program as a deck.

#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "DocTemplate.h"
#include "ModalHost.h"
#include "ProcessLauncher.h"
#include "ResultDocuments.h"
#include "RunProgressWindow.h"
#include "SampleDoc.h"
#include "SimulationRun.h"
#include "WaitCursor.h"
#include "WinApp.h"

namespace {

// How the wait for the first program ended.
enum class WaitEnd {
    Exited,     // on its own, whatever its status
    Stopped,    // the user asked for it to end
    Crashed,    // killed by a signal nobody here sent
    Abandoned,  // the program is closing while the simulator still runs
};

// Waits for the program in an event loop of its own that dispatches every event, so that the
// whole interface stays usable, another run included; nothing polls. The progress window shows
// the program's output meanwhile.
WaitEnd WaitForFirstProgram(QProcess& program) {
    CWinApp* application = CWinApp::Instance();
    QPointer<CRunProgressWindow> window =
        new CRunProgressWindow(application != nullptr ? application->MainWindow() : nullptr);
    window->show();

    QEventLoop loop;
    QTimer killer;
    killer.setSingleShot(true);
    bool stopRequested = false;
    QObject::connect(&program, &QProcess::readyRead, window,
                     [&program, window] { window->AppendOutput(program.readAll()); });
    QObject::connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&killer, &QTimer::timeout, &program, &QProcess::kill);
    QObject::connect(window, &CRunProgressWindow::StopRequested, &program,
                     [&program, &killer, &stopRequested] {
                         if (stopRequested)
                             return;
                         stopRequested = true;
                         program.terminate();
                         // A program that ignores the request is ended all the same.
                         killer.start(2000);
                     });
    {
        CWaitCursor wait;
        if (program.state() != QProcess::NotRunning)
            loop.exec();
    }
    delete window;  // null when its owner went first

    if (program.state() != QProcess::NotRunning) {
        // Only the application's closing ends every event loop while the program still runs.
        program.kill();
        program.waitForFinished(1000);
        return WaitEnd::Abandoned;
    }
    if (stopRequested)
        return WaitEnd::Stopped;
    return program.exitStatus() == QProcess::CrashExit ? WaitEnd::Crashed : WaitEnd::Exited;
}

bool TextIsEmpty(const CSampleDoc::CSampleTextBuffer& buffer) {
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (buffer.LineLength(line) > 0)
            return false;
    }
    return true;
}

std::vector<std::string_view> DocumentLines(const CSampleDoc::CSampleTextBuffer& buffer) {
    std::vector<std::string_view> lines;
    lines.reserve(buffer.LineTotal());
    for (int line = 0; line < buffer.LineTotal(); ++line)
        lines.emplace_back(buffer.LineText(line), buffer.LineLength(line));
    return lines;
}

using ResultSlot = CSampleDoc* CResultDocuments::*;

// Closes the result document of the last run, and any other window of the same result file (the
// user may have opened it again from the recent files), so that no window shows a file being
// replaced or keeps the old text. A result window the user has edited asks to be saved first;
// false when the user cancelled, and the run stops. The document being simulated is never closed,
// even if it once showed a result.
bool CloseResult(ResultSlot slot, const CSampleDoc* running, const QString& resultFile) {
    CResultDocuments* results = CResultDocuments::OfApplication();
    CWinApp* application = CWinApp::Instance();
    if (results == nullptr || application == nullptr)
        return true;
    std::vector<CDocument*> showing;
    if (CSampleDoc* shown = results->*slot)
        showing.push_back(shown);
    for (const auto& docTemplate : application->Templates()) {
        CDocument* open = docTemplate->FindOpenDocument(resultFile);
        if (open != nullptr && std::find(showing.begin(), showing.end(), open) == showing.end())
            showing.push_back(open);
    }
    for (CDocument* document : showing) {
        if (document == running)
            continue;
        if (!document->SaveModified())
            return false;
        if (results->*slot == document)
            results->*slot = nullptr;
        document->OnCloseDocument();
    }
    results->*slot = nullptr;
    return true;
}

void OpenResult(ResultSlot slot, const QString& path) {
    CResultDocuments* results = CResultDocuments::OfApplication();
    CWinApp* application = CWinApp::Instance();
    if (results == nullptr || application == nullptr)
        return;
    if (CSampleDoc* shown = results->*slot) {
        // A run started during the wait has shown its results already: they are read again.
        if (shown->OnOpenDocument(path)) {
            shown->buffer.MakeReadOnly(true);
            shown->SendInitialUpdate();
        }
        return;
    }
    auto* opened = dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(path));
    // Opening may have run other code; the slot is looked up again.
    results = CResultDocuments::OfApplication();
    if (results != nullptr)
        results->*slot = opened;
    if (opened != nullptr)
        opened->buffer.MakeReadOnly(true);
}

// The whole run. The document is not touched once the simulator has been waited for, unless it
// is still open.
void RunAnalysis(CSampleDoc* document) {
    const SimulationPaths paths = SimulationPathsIn(SimulationFolder());

    if (document->GetPathName().isEmpty()) {
        if (TextIsEmpty(document->buffer)) {
            AfxMessageBox(QStringLiteral("Файл с описанием схемы пуст!"), MB_OK | MB_ICONHAND);
            return;
        }
        // Declining the Save As leaves no path, which the extension test below reports.
        document->DoFileSave();
    }
    if (!HasNetlistExtension(document->GetPathName())) {
        AfxMessageBox(QStringLiteral(
            "В выбранном окне нет описания схемы или файл не имеет расширение .cir"));
        return;
    }
    // The simulator reads the file, so the file must hold the text as shown. A failed save has
    // been reported; the run goes on with the file as it is.
    if (document->IsModified())
        document->DoFileSave();
    const QString netlist = document->GetPathName();
    const std::weak_ptr<const void> documentAlive = document->Lifetime();

    if (!CloseResult(&CResultDocuments::logDocument, document, paths.logFile) ||
        !CloseResult(&CResultDocuments::rawDocument, document, paths.rawFile))
        return;
    QFile::remove(paths.rawFile);
    QFile::remove(paths.logFile);

    std::unique_ptr<QProcess> first = ProcessLauncher().Start(
        paths.firstProgram, FirstProgramArguments(netlist), paths.firstFolder);
    if (first == nullptr) {
        AfxMessageBox(QStringLiteral("Murin1.exe отсутствует."));
        AfxMessageBox(QStringLiteral("Murin1.exe испорчен или отсутствует."));
        AfxMessageBox(QStringLiteral("Расчет аварийно прерван."));
    } else {
        switch (WaitForFirstProgram(*first)) {
            case WaitEnd::Abandoned:
                return;
            case WaitEnd::Crashed:
                AfxMessageBox(QStringLiteral("Расчет аварийно прерван."));
                break;
            case WaitEnd::Exited:
            case WaitEnd::Stopped:
                break;
        }
        first.reset();
    }

    OpenResult(&CResultDocuments::logDocument, paths.logFile);
    OpenResult(&CResultDocuments::rawDocument, paths.rawFile);

    // A document closed during the wait has no lines to give.
    if (documentAlive.expired())
        return;

    QFile deckFile(paths.deckFile);
    if (!deckFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        AfxMessageBox(QStringLiteral("Не открывается для записи временный файл temp.cir"));
        return;
    }
    const ControlDeck deck = BuildControlDeck(DocumentLines(document->buffer));
    if (deck.blockUnclosed)
        AfxMessageBox(QStringLiteral("Не найдена строка .endc"), MB_OK | MB_ICONHAND);
    const std::string text = ControlDeckText(deck);
    bool written = deckFile.write(text.data(), static_cast<qint64>(text.size())) ==
                   static_cast<qint64>(text.size());
    written = deckFile.flush() && written;
    deckFile.close();
    if (!written) {
        AfxMessageBox(QStringLiteral("Не открывается для записи временный файл temp.cir"));
        return;
    }
    if (deck.copiedLines == 0)
        return;

    if (!ProcessLauncher().StartDetached(paths.secondProgram, SecondProgramArguments(),
                                         paths.secondFolder))
        AfxMessageBox(QStringLiteral("Файл Talvex.exe отсутствует"));
}

}  // namespace

void CSampleDoc::OnAnalysisStart() {
    // The run may outlive this document: nothing of it is used here afterwards.
    RunAnalysis(this);
}
