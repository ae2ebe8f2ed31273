#include "DocTemplate.h"

#include <QStringList>
#include <algorithm>

#include "Document.h"
#include "FileIdentity.h"
#include "FrameWnd.h"
#include "WaitCursor.h"

CDocTemplate::CDocTemplate(int resourceId, const QString& strings, DocumentFactory makeDocument,
                           FrameFactory makeFrame)
    : resourceId(resourceId),
      strings(strings),
      makeDocument(std::move(makeDocument)),
      makeFrame(std::move(makeFrame)) {}

CDocTemplate::~CDocTemplate() {
    CloseAllDocuments();
}

QString CDocTemplate::GetDocString(DocStringIndex index) const {
    QStringList fields = strings.split(QLatin1Char('\n'));
    return index < fields.size() ? fields.at(index) : QString();
}

QString CDocTemplate::FileFilter() const {
    return GetDocString(filterName);
}

CDocument* CDocTemplate::FindOpenDocument(const QString& path) const {
    QString wanted = FileIdentity(path);
    for (CDocument* document : documents) {
        if (!document->GetPathName().isEmpty() && FileIdentity(document->GetPathName()) == wanted)
            return document;
    }
    return nullptr;
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible) {
    if (!path.isEmpty()) {
        if (CDocument* open = FindOpenDocument(path)) {
            std::vector<CFrameWnd*> frames = open->Frames();
            if (!frames.empty())
                frames.front()->ActivateFrame();
            return open;
        }
    }

    CDocument* document = makeDocument();
    AddDocument(document);
    CFrameWnd* frame = makeFrame(document);
    bool made;
    if (path.isEmpty()) {
        SetDefaultTitle(document);
        made = document->OnNewDocument();
        if (!made)
            --untitledCount;
    } else {
        CWaitCursor wait;
        made = document->OnOpenDocument(path);
        if (made)
            document->SetPathName(path);
    }
    if (!made) {
        if (frame != nullptr)
            frame->DestroyFrame();
        delete document;
        return nullptr;
    }
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document) {
    return makeFrame(document);
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* document, bool makeVisible) {
    if (frame == nullptr)
        return;
    frame->InitialUpdateFrame(document, makeVisible);
    document->UpdateFrameCounts();
}

void CDocTemplate::AddDocument(CDocument* document) {
    documents.push_back(document);
    document->SetDocTemplate(this);
}

void CDocTemplate::RemoveDocument(CDocument* document) {
    documents.erase(std::remove(documents.begin(), documents.end(), document), documents.end());
    if (document->GetDocTemplate() == this)
        document->SetDocTemplate(nullptr);
}

bool CDocTemplate::SaveAllModified() {
    // A save may close nothing, but go by a copy all the same.
    std::vector<CDocument*> all = documents;
    for (CDocument* document : all) {
        if (std::find(documents.begin(), documents.end(), document) == documents.end())
            continue;
        if (!document->SaveModified())
            return false;
    }
    return true;
}

void CDocTemplate::CloseAllDocuments() {
    while (!documents.empty())
        documents.front()->OnCloseDocument();
}

void CDocTemplate::SetDefaultTitle(CDocument* document) {
    ++untitledCount;
    document->SetTitle(GetDocString(docName) + QString::number(untitledCount));
}
