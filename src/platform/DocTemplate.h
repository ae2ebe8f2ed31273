#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CDocument;
class CFrameWnd;

// One kind of document: how to make its documents and windows, and the strings that name it.
// It keeps the list of its open documents and numbers the untitled ones.
class CDocTemplate {
public:
    // The fields of the template's string, separated by '\n' in this order.
    enum DocStringIndex {
        windowTitle,
        docName,  // base of untitled names: "Kivra" gives "Kivra1", "Kivra2", ...
        fileNewName,
        filterName,  // "Kivra Files (*.cir)"
        filterExt,   // ".cir"
        regFileTypeId,
        regFileTypeName,
    };

    using DocumentFactory = std::function<CDocument*()>;
    // Makes a window with its first view for the document; the window is not shown yet.
    using FrameFactory = std::function<CFrameWnd*(CDocument*)>;

    CDocTemplate(int resourceId, const QString& strings, DocumentFactory makeDocument,
                 FrameFactory makeFrame);
    ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    int ResourceId() const { return resourceId; }
    QString GetDocString(DocStringIndex index) const;
    // The file-dialog filter: "Kivra Files (*.cir)".
    QString FileFilter() const;

    // An empty path makes a new untitled document. A path of a file that is already open
    // activates its window and returns its document. Null when the document could not be
    // made; the reason has been shown.
    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true);
    // The open document of that file, compared after resolving links; null when none.
    CDocument* FindOpenDocument(const QString& path) const;

    // A further window of the document ("New Window").
    CFrameWnd* CreateNewFrame(CDocument* document);
    void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, bool makeVisible = true);

    const std::vector<CDocument*>& Documents() const { return documents; }
    void AddDocument(CDocument* document);
    void RemoveDocument(CDocument* document);

    // Asks to save every modified document; false when the user cancelled.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();

    // The next untitled name: the base name and a number counted from 1.
    void SetDefaultTitle(CDocument* document);

private:
    int resourceId;
    QString strings;
    DocumentFactory makeDocument;
    FrameFactory makeFrame;
    std::vector<CDocument*> documents;
    int untitledCount = 0;
};
