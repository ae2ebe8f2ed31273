#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "CmdTarget.h"
#include "RecentFileList.h"

class CDocTemplate;
class CDocument;
class CCmdUI;
class QWidget;

// The application: its document templates, the recent-file list, the main window and the
// application-wide commands (new, open, recent files, exit). One instance exists while the
// program runs.
class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // The one application object; null before it is made and after it is gone.
    static CWinApp* Instance();

    // Sets up the program; false ends it without a window.
    virtual bool InitInstance() { return true; }

    // Where settings live: "<root>/<application title>.ini" in the user's configuration folder.
    void SetRegistryKey(const QString& root);
    // Reads the recent-file list of the given size.
    void LoadStdProfileSettings(int recentFileCount);
    // Writes the recent-file list back.
    void SaveStdProfileSettings();

    // Takes ownership.
    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const { return templates; }
    // Every open document of every template.
    std::vector<CDocument*> Documents() const;

    // Opens the file as a document of the first template (or activates it when it is open);
    // null when it could not be opened.
    // Opens the file as text, with the first template. A file whose extension another template
    // names (a raw file's waveforms) opens there as well, beside its text window, which stays in
    // front. The text document, or null.
    virtual CDocument* OpenDocumentFile(const QString& path);
    // The template other than the first whose extension the file has; null when none.
    CDocTemplate* TemplateBesideText(const QString& path) const;
    void AddToRecentFileList(const QString& path);
    CRecentFileList* RecentFiles() const { return recentFiles.get(); }

    QWidget* MainWindow() const { return mainWindow; }
    void SetMainWindow(QWidget* window) { mainWindow = window; }

    // Asks to save every modified document; false when the user cancelled.
    bool SaveAllModified();
    void CloseAllDocuments();

    // The files of the command line: none makes an untitled document; otherwise each opens in
    // turn, the last one opened staying active, and one that cannot be opened is reported and
    // passed over. False when files were given and none of them opened.
    bool ProcessShellCommand(const QStringList& files);

    // --- Commands
    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int id);
    void OnUpdateRecentFileMenu(CCmdUI& ui);
    void OnAppExit();

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;

private:
    std::vector<std::unique_ptr<CDocTemplate>> templates;
    std::unique_ptr<CRecentFileList> recentFiles;
    QWidget* mainWindow = nullptr;
};
