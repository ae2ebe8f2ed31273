#include "Document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "CommandIds.h"
#include "CommandTable.h"
#include "DocTemplate.h"
#include "FileDialogs.h"
#include "FrameWnd.h"
#include "ModalHost.h"
#include "View.h"
#include "WinApp.h"

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views outliving their document would point at nothing.
    std::vector<CView*> remaining = views;
    for (CView* view : remaining)
        RemoveView(view);
    if (docTemplate != nullptr)
        docTemplate->RemoveDocument(this);
}

const CCommandTable& CDocument::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CDocument>(CCmdTarget::ClassCommands())
            .On(ID_FILE_CLOSE, &CDocument::OnFileClose)
            .On(ID_FILE_SAVE, &CDocument::OnFileSave)
            .On(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
            .Build();
    return table;
}

const CCommandTable& CDocument::Commands() const {
    return ClassCommands();
}

void CDocument::SetTitle(const QString& value) {
    title = value;
    UpdateFrameCounts();
}

void CDocument::SetPathName(const QString& path, bool addToRecentFiles) {
    QFileInfo info(path);
    pathName = QDir::cleanPath(info.absoluteFilePath());
    SetTitle(info.fileName());
    if (addToRecentFiles) {
        if (CWinApp* application = CWinApp::Instance())
            application->AddToRecentFileList(pathName);
    }
}

void CDocument::AddView(CView* view) {
    if (std::find(views.begin(), views.end(), view) != views.end())
        return;
    views.push_back(view);
    view->SetDocument(this);
}

void CDocument::RemoveView(CView* view) {
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end())
        return;
    views.erase(found);
    view->SetDocument(nullptr);
    view->OnDocumentDetached();
}

void CDocument::UpdateAllViews(CView* sender, long hint, void* hintObject) {
    std::vector<CView*> all = views;
    for (CView* view : all) {
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
    }
}

void CDocument::SendInitialUpdate() {
    std::vector<CView*> all = views;
    for (CView* view : all)
        view->OnInitialUpdate();
}

std::vector<CFrameWnd*> CDocument::Frames() const {
    std::vector<CFrameWnd*> frames;
    for (CView* view : views) {
        CFrameWnd* frame = CFrameWnd::FrameOf(view);
        if (frame != nullptr && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    return frames;
}

void CDocument::UpdateFrameCounts() {
    for (CFrameWnd* frame : Frames())
        frame->OnUpdateFrameTitle();
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    pathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& path) {
    // Opening a pipe to try it would wait for a writer: what exists and is not a regular file is
    // left to the document's own load, which refuses it with its reason.
    QFileInfo entry(path);
    if (!entry.exists() || entry.isFile()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            AfxMessageBox(QStringLiteral("Не удается открыть файл %1.\n%2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
            return false;
        }
        file.close();
    }
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const QString&) {
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument() {
    // The windows go first: their views let go of the document before its contents do.
    for (CFrameWnd* frame : Frames())
        frame->DestroyFrame();
    DeleteContents();
    delete this;
}

bool CDocument::SaveModified() {
    if (!IsModified())
        return true;
    QString name = pathName.isEmpty() ? title : QDir::toNativeSeparators(pathName);
    switch (AfxMessageBox(QStringLiteral("Save changes to %1?").arg(name), MB_YESNOCANCEL)) {
        case IDYES:
            return DoFileSave();
        case IDNO:
            return true;
        default:
            return false;
    }
}

bool CDocument::DoFileSave() {
    QFileInfo info(pathName);
    // A file without write bits is read-only even to the superuser, who could write it anyway:
    // the buffer's store refuses it too.
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    bool readOnly = info.exists() && (!info.isWritable() || (info.permissions() & writeBits) == 0);
    if (pathName.isEmpty() || readOnly)
        return DoSave(QString());
    return DoSave(pathName);
}

bool CDocument::DoSave(const QString& path, bool replace) {
    QString target = path;
    if (target.isEmpty()) {
        QString suggested = pathName.isEmpty() ? title : pathName;
        QString extension =
            docTemplate ? docTemplate->GetDocString(CDocTemplate::filterExt) : QString();
        if (!suggested.isEmpty() && !extension.isEmpty() && QFileInfo(suggested).suffix().isEmpty())
            suggested += extension;
        std::optional<QString> chosen = AskSaveFileName(
            suggested, docTemplate ? docTemplate->FileFilter() : QString(), extension);
        if (!chosen)
            return false;
        target = *chosen;
    }
    if (!OnSaveDocument(target))
        return false;
    if (replace)
        SetPathName(target);
    return true;
}

bool CDocument::CanCloseFrame(CFrameWnd* frame) {
    std::vector<CFrameWnd*> frames = Frames();
    bool otherWindow = std::any_of(frames.begin(), frames.end(),
                                   [frame](CFrameWnd* other) { return other != frame; });
    return otherWindow || SaveModified();
}

void CDocument::OnFileClose() {
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave() {
    DoFileSave();
}

void CDocument::OnFileSaveAs() {
    DoSave(QString());
}
