#pragma once

#include <QString>
#include <string>
#include <vector>

#include "CmdTarget.h"

class CDocTemplate;
class CFrameWnd;
class CView;

// A document: its text lives in the subclass; here are the name, the modified flag, the views
// and the steps of new, open, save and close that the subclass builds on.
class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    // --- Name
    const QString& GetTitle() const { return title; }
    virtual void SetTitle(const QString& value);
    // Empty for a document that was never saved.
    const QString& GetPathName() const { return pathName; }
    // Makes the path absolute, takes the file name as the title and puts the file first in the
    // recent-file list when addToRecentFiles is set.
    virtual void SetPathName(const QString& path, bool addToRecentFiles = true);
    CDocTemplate* GetDocTemplate() const { return docTemplate; }
    void SetDocTemplate(CDocTemplate* value) { docTemplate = value; }

    // --- Modified flag
    virtual bool IsModified() const { return modified; }
    virtual void SetModifiedFlag(bool value = true) { modified = value; }

    // --- Views
    const std::vector<CView*>& Views() const { return views; }
    void AddView(CView* view);
    // The view no longer shows the document: it is told (CView::OnDocumentDetached) and its
    // document cleared.
    void RemoveView(CView* view);
    // Asks every view but the sender to show a change (CView::OnUpdate).
    void UpdateAllViews(CView* sender, long hint = 0, void* hintObject = nullptr);
    // Every view's first update (CView::OnInitialUpdate).
    void SendInitialUpdate();
    // The distinct frames that hold the document's views, in the order of the views.
    std::vector<CFrameWnd*> Frames() const;
    // Numbers the document's windows (":1", ":2" in their titles when there are several) and
    // brings their titles up to date.
    void UpdateFrameCounts();

    // --- Steps a subclass extends; each returns false on failure.
    virtual bool OnNewDocument();
    // Checks that the file can be read (a file that cannot be is reported to the user), then
    // empties the document.
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // Destroys the document's windows, empties it and deletes it. Nothing may touch the
    // document afterwards.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}

    // --- A document of a run's result file
    // Whether the document stays open while a run rewrites its file, and follows it
    // (OnRunSource): the waveforms of a raw file do; text documents of a result file close.
    virtual bool FollowsRunFile() const { return false; }
    // The run that writes the document's file, from the lines of its netlist: with fileRewritten
    // the file is new and is read again.
    virtual void OnRunSource(const std::vector<std::string>& netlistLines, bool fileRewritten) {
        (void)netlistLines;
        (void)fileRewritten;
    }

    // --- Saving with the user
    // A modified document asks "Save changes to %1?": Yes saves (false when that fails or is
    // cancelled), No goes on without saving, Cancel answers false. Unmodified: true.
    virtual bool SaveModified();
    // Saves under the document's path; an untitled document, or one whose file is read-only,
    // asks for a name first.
    bool DoFileSave();
    // Saves to path, or asks for a name when path is empty. With replace set the document takes
    // the new name. False when the user cancels or the save fails; the name is then unchanged.
    bool DoSave(const QString& path, bool replace = true);
    // Whether the frame may close: when it is the document's last window, the user is asked to
    // save.
    virtual bool CanCloseFrame(CFrameWnd* frame);

    // --- Commands: Close, Save, Save As
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;

private:
    QString title;
    QString pathName;
    bool modified = false;
    std::vector<CView*> views;
    CDocTemplate* docTemplate = nullptr;
};
