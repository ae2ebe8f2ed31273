#include "SampleApp.h"

#include <QAbstractPrintDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "AboutDlg.h"
#include "ChildFrame.h"
#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "CorvelTextView.h"
#include "DocTemplate.h"
#include "WaveformDoc.h"
#include "WaveformView.h"
#include "Document.h"
#include "MainFrame.h"
#include "ModalHost.h"
#include "ProgramDirectory.h"
#include "RecoveryFolder.h"
#include "RecoveryOffer.h"
#include "ReportTravel.h"
#include "SampleDoc.h"

#ifndef KIVRA_WEBSITE
#define KIVRA_WEBSITE ""
#endif

namespace {

const QString kDocumentStrings =
    QStringLiteral("\nKivra\nKivra\nKivra Files (*.cir)\n.cir\ncir\nKivra Document");
// Raw files of a simulator open as waveforms; the run's kivra.raw opens as text as well.
const QString kWaveformStrings = QStringLiteral(
    "\nWaveforms\n\nРезультаты расчета (*.raw)\n.raw\nraw\nKivra Waveforms");

// Shows a file with the desktop's viewer for it, or says in one message why it is not shown.
void ShowFileOnDesktop(const QString& path) {
    QFileInfo file(path);
    if (!file.exists()) {
        AfxMessageBox(QStringLiteral("Не удалось открыть файл %1: файл не найден.")
                          .arg(QDir::toNativeSeparators(path)));
    } else if (!ModalHost().OpenWithDesktop(QUrl::fromLocalFile(path))) {
        AfxMessageBox(
            QStringLiteral("Не удалось открыть файл %1: не найдена программа для просмотра %2.")
                .arg(file.fileName(), file.suffix().toUpper()));
    }
}

}  // namespace

CSampleApp::CSampleApp(QStringList files) : files(std::move(files)) {}

CSampleApp::~CSampleApp() {
    // The documents close while the main window that holds their windows still exists.
    CloseAllDocuments();
    delete mainFrame;
    CCorvelTextView::SetPrinterSource({});
}

const CCommandTable& CSampleApp::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CSampleApp>(CWinApp::ClassCommands())
            .On(ID_APP_ABOUT, &CSampleApp::OnAppAbout)
            .On(ID_HELP_CONTENTS, &CSampleApp::OnHelpContents)
            .On(ID_HELP, &CSampleApp::OnHelpContents)
            .On(ID_HELP_USER_GUIDE, &CSampleApp::OnHelpUserGuide)
            .On(ID_HELP_WEBSITE, &CSampleApp::OnHelpWebsite)
            .On(ID_FILE_PRINT_SETUP, &CSampleApp::OnFilePrintSetup)
            .On(ID_ANALYSIS_NEXT_ERROR, &CSampleApp::OnNextError)
            .OnUpdate(ID_ANALYSIS_NEXT_ERROR, &CSampleApp::OnUpdateErrorTravel)
            .On(ID_ANALYSIS_PREVIOUS_ERROR, &CSampleApp::OnPreviousError)
            .OnUpdate(ID_ANALYSIS_PREVIOUS_ERROR, &CSampleApp::OnUpdateErrorTravel)
            .Build();
    return table;
}

const CCommandTable& CSampleApp::Commands() const {
    return ClassCommands();
}

bool CSampleApp::InitInstance() {
    SetApplicationTitle(QStringLiteral("Kivra"));
    SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
    LoadStdProfileSettings(kRecentFileCount);

    mainFrame = new CMainFrame();
    mainFrame->SetNextCommandTarget(this);
    SetMainWindow(mainFrame);
    CMainFrame* frame = mainFrame;
    AddDocTemplate(new CDocTemplate(
        129, kDocumentStrings, [] { return new CSampleDoc(); },
        [frame](CDocument* document) -> CFrameWnd* { return frame->CreateChildFrame(document); }));
    AddDocTemplate(new CDocTemplate(
        130, kWaveformStrings, [] { return new CWaveformDoc(); },
        [frame](CDocument* document) -> CFrameWnd* {
            return frame->CreateChildFrame(
                document, [](QWidget* parent) -> CView* { return new CWaveformView(parent); });
        }));

    // With the main window as context, the connection goes with it.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, mainFrame,
                     [this](QSessionManager& manager) {
                         if (!CommitSessionData([&manager] { return manager.allowsInteraction(); }))
                             manager.cancel();
                     });

    helpFilePath = ProgramFile(QStringLiteral("Kivra.chm"));
    helpPagesPath = ProgramFile(QStringLiteral("help/index.html"));
    CCorvelTextView::SetPrinterSource([this] { return &Printer(); });
    CWaveformView::SetPrinterSource([this] { return &Printer(); });

    // Back from another program, or in another document window: its file may have changed.
    QObject::connect(mainFrame->MdiArea(), &QMdiArea::subWindowActivated, mainFrame,
                     [this](QMdiSubWindow* window) {
                         if (window != nullptr)
                             CheckActiveDocumentOnDisk();
                     });
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, mainFrame,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             CheckActiveDocumentOnDisk();
                     });

    // Modified documents keep copies that outlive a crash, in the user's state folder.
    auto recoveryFolder = std::make_shared<CRecoveryFolder>();
    recoveryFolder->RemoveLeftovers();
    CSampleDoc::SetRecoveryFolder(recoveryFolder);

    // The window shows before the files open, so that messages about them have an owner; where
    // and how large the user last left it, maximized or not.
    mainFrame->RestorePlacement();
    mainFrame->show();
    if (!ProcessShellCommand(files))
        return false;
    OfferRecoveryCopies(*this, *recoveryFolder);
    mainFrame->ActivateFrame();
    return true;
}

void CSampleApp::CheckActiveDocumentOnDisk() {
    QTimer::singleShot(0, mainFrame, [this] {
        CChildFrame* child = mainFrame->ActiveChild();
        if (auto* document =
                dynamic_cast<CSampleDoc*>(child != nullptr ? child->GetActiveDocument() : nullptr))
            document->CheckDiskChange();
    });
}

bool CSampleApp::CommitSessionData(const std::function<bool()>& allowsInteraction) {
    std::vector<CDocument*> documents = Documents();
    bool anyModified = std::any_of(documents.begin(), documents.end(),
                                   [](CDocument* document) { return document->IsModified(); });
    if (!anyModified || !allowsInteraction())
        return true;
    return SaveAllModified();
}

QString CSampleApp::WebsiteAddress() {
    QString configured = QStringLiteral(KIVRA_WEBSITE);
    if (!configured.isEmpty())
        return configured;
    return QUrl::fromLocalFile(ProgramFile(QStringLiteral("Kivra.html"))).toString();
}

void CSampleApp::OnAppAbout() {
    CAboutDlg dialog(mainFrame);
    ModalHost().RunModal(dialog);
}

void CSampleApp::OnHelpContents() {
    // The help file needs a viewer of its own; without one its pages open in the browser. A file
    // that is not there cannot be shown by any viewer.
    for (const QString& path : {helpFilePath, helpPagesPath}) {
        if (QFileInfo::exists(path) && ModalHost().OpenWithDesktop(QUrl::fromLocalFile(path)))
            return;
    }
    AfxMessageBox(QStringLiteral("Failed to launch help."));
}

void CSampleApp::OnHelpUserGuide() {
    ShowFileOnDesktop(ProgramFile(QStringLiteral("UserGuideA.pdf")));
}

void CSampleApp::OnHelpWebsite() {
    QUrl address(WebsiteAddress());
    if (address.isLocalFile()) {
        ShowFileOnDesktop(address.toLocalFile());
    } else if (!ModalHost().OpenWithDesktop(address)) {
        AfxMessageBox(QStringLiteral("Не удалось открыть страницу %1: не найден браузер.")
                          .arg(address.toString()));
    }
}

QPrinter& CSampleApp::Printer() {
    if (!printer)
        printer = CCorvelTextView::MakePrinter();
    return *printer;
}

void CSampleApp::OnFilePrintSetup() {
    QPrintDialog dialog(&Printer(), mainFrame);
    dialog.setWindowTitle(QStringLiteral("Параметры принтера"));
    // Only the printer and its settings are chosen here; what to print is asked when printing.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    // Accepting writes the choice into the printer.
    ModalHost().RunModal(dialog);
}

void CSampleApp::OnNextError() {
    StepToNextReport(true);
}

void CSampleApp::OnPreviousError() {
    StepToNextReport(false);
}

void CSampleApp::OnUpdateErrorTravel(CCmdUI& ui) {
    ui.Enable(HasReportToStepTo());
}
