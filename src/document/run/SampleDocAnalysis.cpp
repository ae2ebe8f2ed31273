// Start analysis: the netlist is saved and simulated by the first program, its result files are
// shown read-only, and the control lines go to the second program as a deck.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "CmdUI.h"
#include "FirstProgramWait.h"
#include "ModalHost.h"
#include "ProcessLauncher.h"
#include "ResultDocuments.h"
#include "ResultWindows.h"
#include "SampleDoc.h"
#include "SimulationRun.h"
#include "TextLines.h"
#include "WinApp.h"

namespace {

bool TextIsEmpty(const CSampleDoc::CSampleTextBuffer& buffer) {
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (buffer.LineLength(line) > 0)
            return false;
    }
    return true;
}

// Writes the deck of the netlist's control lines; false, said to the user, when it cannot be.
// The copied-line count says whether the second program has anything to do.
bool WriteControlDeck(const CSampleDoc& document, const QString& deckPath, int& copiedLines) {
    QFile deckFile(deckPath);
    // The netlist's control lines are the user's alone.
    const QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!deckFile.open(QIODevice::WriteOnly | QIODevice::Truncate, privateFile) ||
        !deckFile.setPermissions(privateFile)) {
        AfxMessageBox(QStringLiteral("Не открывается для записи временный файл temp.cir"));
        return false;
    }
    const ControlDeck deck = BuildControlDeck(LinesOf(document.buffer));
    if (deck.blockUnclosed)
        AfxMessageBox(QStringLiteral("Не найдена строка .endc"), MB_OK | MB_ICONHAND);
    const std::string text = ControlDeckText(deck);
    bool written = deckFile.write(text.data(), static_cast<qint64>(text.size())) ==
                   static_cast<qint64>(text.size());
    written = deckFile.flush() && written;
    deckFile.close();
    if (!written) {
        AfxMessageBox(QStringLiteral("Не открывается для записи временный файл temp.cir"));
        return false;
    }
    copiedLines = deck.copiedLines;
    return true;
}

bool RefuseWithoutNetlistExtension(const CSampleDoc& document) {
    if (HasNetlistExtension(document.GetPathName()))
        return false;
    AfxMessageBox(
        QStringLiteral("В выбранном окне нет описания схемы или файл не имеет расширение .cir"));
    return true;
}

// The simulator reads the file, so the file must hold the text as shown: when the save fails
// (it has said why) or is declined, the run does not start. A read-only file is saved through
// the Save As dialog, which may give it another name.
bool SaveForTheSimulator(CSampleDoc& document) {
    if (!document.IsModified())
        return true;
    if (document.DoFileSave())
        return !RefuseWithoutNetlistExtension(document);
    AfxMessageBox(
        QStringLiteral("Схема не сохранена, расчет не начат: программа расчета "
                       "читает схему из файла."));
    return false;
}

// The netlist's lines, for the waveforms' choice of vectors; none when the document was closed
// during the wait.
std::vector<std::string> NetlistLines(const std::weak_ptr<const void>& documentAlive,
                                      const CSampleDoc& document) {
    std::vector<std::string> lines;
    if (documentAlive.expired())
        return lines;
    for (std::string_view line : LinesOf(document.buffer))
        lines.emplace_back(line);
    return lines;
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
    if (RefuseWithoutNetlistExtension(*document) || !SaveForTheSimulator(*document))
        return;
    const QString netlist = document->GetPathName();
    const std::weak_ptr<const void> documentAlive = document->Lifetime();

    if (!CloseResultWindows(paths, *document))
        return;
    QFile::remove(paths.rawFile);
    QFile::remove(paths.logFile);
    if (CResultDocuments* results = CResultDocuments::OfApplication())
        results->netlistPath = netlist;

    // The first program's private files, which go with the run however it ends.
    QTemporaryDir privateFolder(QStringLiteral("/tmp/kivra-run.XXXXXX"));
    QStringList environment;
    if (privateFolder.isValid())
        environment << QStringLiteral("KIVRA_RUN_FOLDER=") + privateFolder.path();
    std::unique_ptr<QProcess> first = ProcessLauncher().Start(
        paths.firstProgram, FirstProgramArguments(netlist), paths.firstFolder, environment);
    if (first == nullptr) {
        AfxMessageBox(QStringLiteral("Murin1.exe отсутствует."));
        AfxMessageBox(QStringLiteral("Murin1.exe испорчен или отсутствует."));
        AfxMessageBox(QStringLiteral("Расчет аварийно прерван."));
    } else {
        const WaitEnd end = WaitForFirstProgram(*first);
        // Gone before anything is said: a message may wait long for the user.
        privateFolder.remove();
        switch (end) {
            case WaitEnd::Abandoned:
                return;
            case WaitEnd::Closing:
                // Nothing more is shown or started: the user is leaving.
                CloseMainWindowAgain();
                return;
            case WaitEnd::Stopped:
                // What a stopped run left is not the netlist's result: nothing is opened.
                AfxMessageBox(
                    QStringLiteral("Расчет остановлен. Результаты неполные, "
                                   "они не открываются."));
                return;
            case WaitEnd::Crashed:
                AfxMessageBox(QStringLiteral("Расчет аварийно прерван."));
                break;
            case WaitEnd::Exited:
                break;
        }
        first.reset();
    }

    const bool rawThere = OpenResultWindows(paths, NetlistLines(documentAlive, *document));

    // A document closed during the wait has no lines to give.
    if (documentAlive.expired())
        return;
    int copiedLines = 0;
    if (!WriteControlDeck(*document, paths.deckFile, copiedLines))
        return;
    // The second program would only fail to load a raw file that is not there; the user has been
    // told why.
    if (copiedLines == 0 || !rawThere)
        return;

    if (!ProcessLauncher().StartDetached(paths.secondProgram, SecondProgramArguments(),
                                         paths.secondFolder))
        AfxMessageBox(QStringLiteral("Файл Talvex.exe отсутствует"));
}

// In a window of a result file, the netlist that the results are of, opened again if it was
// closed; the document itself otherwise.
CSampleDoc* NetlistToRun(CSampleDoc* document) {
    CResultDocuments* results = CResultDocuments::OfApplication();
    if (results == nullptr || results->netlistPath.isEmpty() ||
        (document != results->logDocument && document != results->rawDocument))
        return document;
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return document;
    // Null when it can no longer be opened; the reason has been shown.
    return dynamic_cast<CSampleDoc*>(application->OpenDocumentFile(results->netlistPath));
}

}  // namespace

void CSampleDoc::OnAnalysisStart() {
    // One run at a time: a second would delete the result files the first one waits for. The
    // command is disabled meanwhile, but a route of it may still come.
    if (IsWaitingForFirstProgram())
        return;
    // The run may outlive this document: nothing of it is used here afterwards.
    if (CSampleDoc* netlist = NetlistToRun(this))
        RunAnalysis(netlist);
}

void CSampleDoc::OnUpdateAnalysisStart(CCmdUI& ui) {
    ui.Enable(!IsWaitingForFirstProgram());
}
