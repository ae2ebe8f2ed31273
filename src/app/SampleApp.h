#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "ResultDocuments.h"
#include "WinApp.h"

class CCmdUI;
class CMainFrame;
class QPrinter;

// The application: starts the program, registers the netlist document, makes the main window,
// and answers the About box and the three help commands. It also holds the result documents of
// the last simulation run.
class CSampleApp : public CWinApp, public CResultDocuments {
public:
    static constexpr int kRecentFileCount = 4;

    // The files of the command line, to open in their order.
    explicit CSampleApp(QStringList files = {});
    ~CSampleApp() override;

    bool InitInstance() override;

    CMainFrame* MainFrame() const { return mainFrame; }
    const QString& HelpFilePath() const { return helpFilePath; }
    // The first page of the same help as plain pages, for a desktop without a viewer of the file.
    const QString& HelpPagesPath() const { return helpPagesPath; }
    // The page the web-site command opens.
    static QString WebsiteAddress();

    // The desktop session is ending: asks to save each modified document as leaving the program
    // does, but closes nothing, since the session may yet go on. The session manager's permission
    // to interact is sought only when some document is modified; without it nothing is asked.
    // False when the user cancelled: the session should then not end.
    bool CommitSessionData(const std::function<bool()>& allowsInteraction);

    // The file of the active document may have been changed by another program while the user
    // was elsewhere: checked once the activation is over, so that a question asked about it does
    // not come in the middle of one.
    void CheckActiveDocumentOnDisk();

    // The printer every print job uses; printer setup changes its settings. Made on first use.
    QPrinter& Printer();

    // --- Commands
    void OnAppAbout();
    // The help file, or the same pages in the browser where no viewer of the file is installed.
    void OnHelpContents();
    void OnHelpUserGuide();
    void OnHelpWebsite();
    // Printer setup: the desktop's print dialog choosing the printer and its settings.
    void OnFilePrintSetup();
    // F4 and Shift+F4: from report to report of the last run's log, to the lines they name.
    void OnNextError();
    void OnPreviousError();
    void OnUpdateErrorTravel(CCmdUI& ui);

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;

private:
    QStringList files;
    CMainFrame* mainFrame = nullptr;
    QString helpFilePath;
    QString helpPagesPath;
    std::unique_ptr<QPrinter> printer;
};
