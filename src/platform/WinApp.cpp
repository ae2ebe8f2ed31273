#include "WinApp.h"

#include "FrameWnd.h"

#include <QFileInfo>
#include <QWidget>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "DocTemplate.h"
#include "Document.h"
#include "FileDialogs.h"
#include "ModalHost.h"
#include "SettingsStore.h"

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

CWinApp::CWinApp() {
    theApplication = this;
}

CWinApp::~CWinApp() {
    // Documents go before the templates that list them.
    CloseAllDocuments();
    templates.clear();
    if (theApplication == this)
        theApplication = nullptr;
}

CWinApp* CWinApp::Instance() {
    return theApplication;
}

const CCommandTable& CWinApp::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CWinApp>(CCmdTarget::ClassCommands())
            .On(ID_FILE_NEW, &CWinApp::OnFileNew)
            .On(ID_FILE_OPEN, &CWinApp::OnFileOpen)
            .OnRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, &CWinApp::OnOpenRecentFile)
            .OnUpdateRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, &CWinApp::OnUpdateRecentFileMenu)
            .On(ID_APP_EXIT, &CWinApp::OnAppExit)
            .Build();
    return table;
}

const CCommandTable& CWinApp::Commands() const {
    return ClassCommands();
}

void CWinApp::SetRegistryKey(const QString& root) {
    CSettingsStore::SetRoot(root, ApplicationTitle());
}

void CWinApp::LoadStdProfileSettings(int recentFileCount) {
    recentFiles = std::make_unique<CRecentFileList>(recentFileCount);
    recentFiles->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
    if (recentFiles)
        recentFiles->WriteList();
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    templates.emplace_back(docTemplate);
}

std::vector<CDocument*> CWinApp::Documents() const {
    std::vector<CDocument*> all;
    for (const auto& docTemplate : templates)
        all.insert(all.end(), docTemplate->Documents().begin(), docTemplate->Documents().end());
    return all;
}

CDocTemplate* CWinApp::TemplateBesideText(const QString& path) const {
    for (std::size_t index = 1; index < templates.size(); ++index) {
        const QString extension = templates[index]->GetDocString(CDocTemplate::filterExt);
        if (!extension.isEmpty() && path.endsWith(extension, Qt::CaseInsensitive))
            return templates[index].get();
    }
    return nullptr;
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
    if (templates.empty())
        return nullptr;
    CDocument* text = templates.front()->OpenDocumentFile(path);
    CDocTemplate* beside = text != nullptr ? TemplateBesideText(path) : nullptr;
    if (beside != nullptr && beside->FindOpenDocument(path) == nullptr &&
        beside->OpenDocumentFile(path) != nullptr) {
        // The text window, which every file has, stays in front.
        std::vector<CFrameWnd*> frames = text->Frames();
        if (!frames.empty())
            frames.front()->ActivateFrame();
    }
    return text;
}

void CWinApp::AddToRecentFileList(const QString& path) {
    if (recentFiles) {
        recentFiles->Add(path);
        // Written at once, so that a crash or a second instance does not lose it.
        recentFiles->WriteList();
    }
}

bool CWinApp::SaveAllModified() {
    for (const auto& docTemplate : templates) {
        if (!docTemplate->SaveAllModified())
            return false;
    }
    return true;
}

void CWinApp::CloseAllDocuments() {
    for (const auto& docTemplate : templates)
        docTemplate->CloseAllDocuments();
}

bool CWinApp::ProcessShellCommand(const QStringList& files) {
    if (files.isEmpty()) {
        if (templates.empty())
            return false;
        return templates.front()->OpenDocumentFile(QString()) != nullptr;
    }
    bool anyOpened = false;
    for (const QString& path : files) {
        if (OpenDocumentFile(path) != nullptr)
            anyOpened = true;
    }
    return anyOpened;
}

void CWinApp::OnFileNew() {
    if (!templates.empty())
        templates.front()->OpenDocumentFile(QString());
}

void CWinApp::OnFileOpen() {
    QStringList filters;
    for (const auto& docTemplate : templates)
        filters << docTemplate->FileFilter();
    const QString filter = filters.join(QStringLiteral(";;"));
    if (std::optional<QString> path = AskOpenFileName(filter))
        OpenDocumentFile(*path);
}

void CWinApp::OnOpenRecentFile(int id) {
    int index = id - ID_FILE_MRU_FIRST;
    if (!recentFiles || index < 0 || index >= recentFiles->Count())
        return;
    QString path = recentFiles->At(index);
    // A file that no longer opens leaves the list.
    if (OpenDocumentFile(path) == nullptr) {
        recentFiles->Remove(index);
        recentFiles->WriteList();
    }
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI& ui) {
    int index = ui.Id() - ID_FILE_MRU_FIRST;
    ui.Enable(recentFiles && index < recentFiles->Count());
}

void CWinApp::OnAppExit() {
    if (mainWindow != nullptr)
        mainWindow->close();
}
