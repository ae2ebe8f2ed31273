#include "ResultWindows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DocTemplate.h"
#include "FileDialogs.h"
#include "FileIdentity.h"
#include "FrameWnd.h"
#include "LogErrors.h"
#include "ModalHost.h"
#include "ResultDocuments.h"
#include "SampleDoc.h"
#include "TextLines.h"
#include "SimulationRun.h"
#include "TextEncoding.h"
#include "WinApp.h"

namespace {

using ResultSlot = CSampleDoc* CResultDocuments::*;

bool IsResultFile(const QString& path, const SimulationPaths& paths) {
    const QString identity = FileIdentity(path);
    return identity == FileIdentity(paths.logFile) || identity == FileIdentity(paths.rawFile);
}

// Every open document of the file. The result document of the last run is among them unless the
// user has saved it under another name since: then it is an ordinary document of that file.
std::vector<CDocument*> WindowsOf(const QString& resultFile) {
    std::vector<CDocument*> showing;
    if (CWinApp* application = CWinApp::Instance()) {
        for (const auto& docTemplate : application->Templates()) {
            if (CDocument* open = docTemplate->FindOpenDocument(resultFile))
                showing.push_back(open);
        }
    }
    return showing;
}

// The Save As of an edited result window, offered beside the netlist under the netlist's name. A
// result file is refused, and the name asked again: the next run would delete it. False when the
// user cancelled or the save failed.
bool SaveResultElsewhere(CDocument& document, const SimulationPaths& paths,
                         const QString& netlist) {
    const QFileInfo result(document.GetPathName());
    const QFileInfo netlistFile(netlist);
    const QString extension = QLatin1Char('.') + result.suffix();
    QString suggested =
        netlistFile.absoluteDir().filePath(netlistFile.completeBaseName() + extension);
    for (;;) {
        std::optional<QString> chosen = AskSaveFileName(suggested, QString(), extension);
        if (!chosen)
            return false;
        if (!IsResultFile(*chosen, paths))
            return document.DoSave(*chosen);
        AfxMessageBox(QStringLiteral("В файл %1 пишет результаты каждый расчет. "
                                     "Выберите другое имя.")
                          .arg(QDir::toNativeSeparators(*chosen)));
        suggested = *chosen;
    }
}

enum class EditedResult { Kept, Dropped, Cancelled };

// What becomes of the edits in a result window before its file is replaced.
EditedResult AskAboutEditedResult(CDocument& document, const SimulationPaths& paths,
                                  const QString& netlist) {
    // The framework's question leads the box, so that it reads like every other save prompt; what
    // follows says why Yes asks for a new name.
    const int answer = AfxMessageBox(
        QStringLiteral("Save changes to %1 under another name?\n\n"
                       "Это файл результатов: новый расчет запишет его заново.\n"
                       "Да — сохранить изменения в другом файле, Нет — не сохранять их, "
                       "Отмена — не начинать расчет.")
            .arg(QDir::toNativeSeparators(document.GetPathName())),
        MB_YESNOCANCEL);
    if (answer == IDNO)
        return EditedResult::Dropped;
    if (answer == IDYES && SaveResultElsewhere(document, paths, netlist))
        return EditedResult::Kept;
    return EditedResult::Cancelled;
}

bool CloseWindowsOf(ResultSlot slot, const QString& resultFile, const SimulationPaths& paths,
                    const CSampleDoc& running) {
    for (CDocument* document : WindowsOf(resultFile)) {
        // The waveforms of the raw file stay open and take the new file when it is there.
        if (document == &running || document->FollowsRunFile())
            continue;
        if (document->IsModified()) {
            switch (AskAboutEditedResult(*document, paths, running.GetPathName())) {
                case EditedResult::Cancelled:
                    return false;
                case EditedResult::Kept:
                    continue;  // an ordinary document of its new file now
                case EditedResult::Dropped:
                    break;
            }
        }
        document->OnCloseDocument();
    }
    if (CResultDocuments* results = CResultDocuments::OfApplication())
        results->*slot = nullptr;
    return true;
}

void OpenResult(ResultSlot slot, const QString& path) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr || CResultDocuments::OfApplication() == nullptr)
        return;
    // The results open as text, whatever other window a raw file has.
    auto* opened = application->Templates().empty()
                       ? nullptr
                       : dynamic_cast<CSampleDoc*>(
                             application->Templates().front()->OpenDocumentFile(path));
    // Opening may have run other code; the slots are looked up again.
    if (CResultDocuments* results = CResultDocuments::OfApplication())
        results->*slot = opened;
    if (opened != nullptr)
        opened->buffer.MakeReadOnly(true);
}

// The first line of the log that starts with "Error", blanks before it aside, with the reason
// the lines after it give when it heads a report on a netlist line ("Error on line 4 or its
// substitute:" is followed by the line and then the reason); empty when there is none. The log is
// read in the encoding its window shows it in: UTF-8 when it is well-formed UTF-8, as ngspice
// writes it, else Windows-1251.
QString FirstErrorLine(const QString& logFile) {
    QFile log(logFile);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = log.readAll();
    const std::string_view all(text.constData(), static_cast<std::size_t>(text.size()));
    const TextEncoding encoding = TextCodec::Detect(all);
    const std::vector<std::string_view> lines = SplitLines(all);
    for (int index = 0; index < static_cast<int>(lines.size()); ++index) {
        if (!IsErrorLine(lines[index]))
            continue;
        const QByteArray line = QByteArray(lines[index].data(), lines[index].size()).trimmed();
        std::string shown(line.constData(), static_cast<std::size_t>(line.size()));
        const std::optional<LogError> report = ParseLogError(lines, index);
        if (report && !report->message.empty() && shown.find(report->message) == std::string::npos)
            shown += "\n" + report->message;
        return TextCodec::Decode(encoding, shown);
    }
    return {};
}

QString NoRawFileMessage(bool logThere, const QString& errorLine) {
    QString text = QStringLiteral(
        "Программа расчета не создала файл результатов kivra.raw, поэтому Talvex.exe не запущен.");
    if (!logThere)
        return text + QStringLiteral("\nФайла kivra.log с ее сообщениями тоже нет.");
    text += QStringLiteral("\nПричина — в ее сообщениях в окне kivra.log");
    if (errorLine.isEmpty())
        return text + QLatin1Char('.');
    return text + QStringLiteral(", первая ошибка:\n") + errorLine;
}

// The waveforms of the raw file: the window that shows them already takes the new file, keeping
// its view; otherwise one opens beside the text windows, and the raw file's text window stays in
// front, as it is without the waveforms.
void ShowWaveforms(const QString& rawFile, const std::vector<std::string>& netlistLines) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr || application->Templates().empty())
        return;
    CDocTemplate* waveforms = application->TemplateBesideText(rawFile);
    if (waveforms == nullptr)
        return;
    if (CDocument* open = waveforms->FindOpenDocument(rawFile)) {
        open->OnRunSource(netlistLines, true);
        return;
    }
    CDocument* opened = waveforms->OpenDocumentFile(rawFile);
    if (opened == nullptr)
        return;
    opened->OnRunSource(netlistLines, false);
    CResultDocuments* results = CResultDocuments::OfApplication();
    if (results != nullptr && results->rawDocument != nullptr) {
        std::vector<CFrameWnd*> frames = results->rawDocument->Frames();
        if (!frames.empty())
            frames.front()->ActivateFrame();
    }
}

}  // namespace

bool CloseResultWindows(const SimulationPaths& paths, const CSampleDoc& running) {
    return CloseWindowsOf(&CResultDocuments::logDocument, paths.logFile, paths, running) &&
           CloseWindowsOf(&CResultDocuments::rawDocument, paths.rawFile, paths, running);
}

bool OpenResultWindows(const SimulationPaths& paths, const std::vector<std::string>& netlistLines) {
    // A missing file is this run's to explain, not the framework's to report as unreadable.
    const bool logThere = QFileInfo::exists(paths.logFile);
    if (logThere)
        OpenResult(&CResultDocuments::logDocument, paths.logFile);
    if (QFileInfo::exists(paths.rawFile)) {
        OpenResult(&CResultDocuments::rawDocument, paths.rawFile);
        ShowWaveforms(paths.rawFile, netlistLines);
        return true;
    }
    AfxMessageBox(NoRawFileMessage(logThere, logThere ? FirstErrorLine(paths.logFile) : QString()));
    return false;
}
