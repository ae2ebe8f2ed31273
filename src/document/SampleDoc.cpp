#include "SampleDoc.h"

#include "BackgroundLoad.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QStatusTipEvent>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cstring>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "DocTemplate.h"
#include "EncodingDetection.h"
#include "FileIdentity.h"
#include "FrameWnd.h"
#include "ModalHost.h"
#include "RecoveryFolder.h"
#include "RecoveryKeeper.h"
#include "ResultDocuments.h"
#include "View.h"
#include "WinApp.h"

void CSampleDoc::CSampleTextBuffer::MarkModified(bool value) {
    CCorvelTextBuffer::MarkModified(value);
    if (ownerDocument != nullptr)
        ownerDocument->SetModifiedFlag(value);
}

void CSampleDoc::CSampleTextBuffer::MarkUnsaved() {
    savedPosition = -1;
    MarkModified(true);
}

namespace {

std::shared_ptr<CRecoveryFolder>& SharedRecoveryFolder() {
    static std::shared_ptr<CRecoveryFolder> folder;
    return folder;
}

}  // namespace

void CSampleDoc::SetRecoveryFolder(std::shared_ptr<CRecoveryFolder> folder) {
    SharedRecoveryFolder() = std::move(folder);
}

LogFont DefaultDocumentFont(int screenWidth) {
    LogFont font;
    font.height = screenWidth < 800 ? -13 : (screenWidth < 1024 ? -14 : -15);
    font.weight = LogFont::kNormalWeight;
    font.charSet = LogFont::kRussianCharSet;
    font.faceName = "Courier New";
    return font;
}

int ScreenWidth() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return 1024;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 1024;
}

CSampleDoc::CSampleDoc()
    : buffer(this),
      logFont(DefaultDocumentFont(ScreenWidth())),
      recoveryFolder(SharedRecoveryFolder()) {
    if (recoveryFolder)
        recovery = std::make_unique<CRecoveryKeeper>(*this, *recoveryFolder);
}

CSampleDoc::~CSampleDoc() {
    // The buffer goes before the base does: the views let go of it first, and nothing reaches
    // this document through it any more.
    std::vector<CView*> remaining = Views();
    for (CView* view : remaining)
        RemoveView(view);
    buffer.ownerDocument = nullptr;
}

const CCommandTable& CSampleDoc::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CSampleDoc>(CDocument::ClassCommands())
            .On(ID_DOC_READONLY, &CSampleDoc::OnToggleReadOnly)
            .OnUpdate(ID_DOC_READONLY, &CSampleDoc::OnUpdateToggleReadOnly)
            .On(ID_VIEW_FONT, &CSampleDoc::OnChooseFont)
            .On(ID_VIEW_OTHER_ENCODING, &CSampleDoc::OnViewOtherEncoding)
            .OnUpdate(ID_VIEW_OTHER_ENCODING, &CSampleDoc::OnUpdateViewOtherEncoding)
            .On(ID_ANALYSIS_START, &CSampleDoc::OnAnalysisStart)
            .OnUpdate(ID_ANALYSIS_START, &CSampleDoc::OnUpdateAnalysisStart)
            .Build();
    return table;
}

const CCommandTable& CSampleDoc::Commands() const {
    return ClassCommands();
}

bool CSampleDoc::IsModified() const {
    return modifiedFlag;
}

void CSampleDoc::SetModifiedFlag(bool value) {
    const bool changed = modifiedFlag != value;
    modifiedFlag = value;
    // The windows' titles and tabs mark a modified document.
    if (changed)
        UpdateFrameCounts();
    if (recovery)
        recovery->DocumentChanged();
}

bool CSampleDoc::RestoreRecoveryCopy(const SRecoveryCopy& copy) {
    QByteArray name = QFile::encodeName(copy.textPath);
    if (!buffer.LoadFile(name.constData(), copy.lineEnding))
        return false;
    buffer.MakeReadOnly(false);
    buffer.MarkUnsaved();
    SetEncoding(DetectEncoding(buffer));
    if (GetPathName().isEmpty() && !copy.originalPath.isEmpty())
        SetPathName(copy.originalPath, false);
    if (recovery)
        recovery->WriteNow();
    return true;
}

void CSampleDoc::DeleteContents() {
    backgroundLoad.reset();
    CDocument::DeleteContents();
    buffer.Clear();
}

bool CSampleDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return false;
    buffer.CreateEmpty(LineEndingStyle::Win);
    return true;
}

bool CSampleDoc::OnOpenDocument(const QString& path) {
    if (!CDocument::OnOpenDocument(path))
        return false;
    backgroundLoad.reset();
    if (QFileInfo(path).size() >= kBackgroundLoadFrom)
        return OpenInBackground(path);
    QByteArray name = QFile::encodeName(path);
    if (buffer.LoadFile(name.constData(), LineEndingStyle::Detect)) {
        // The empty window of the start gives way to the file, but only to one that opened.
        CloseUntitledDocuments();
        TakeStamp(path);
        encodingChosen = false;
        SetEncoding(DetectEncoding(buffer));
        if (buffer.LoadCutAtNul()) {
            AfxMessageBox(QStringLiteral("В файле %1 есть нулевые байты: строки показаны только "
                                         "до них.\nФайл открыт только для чтения, чтобы "
                                         "сохранение не укоротило его.")
                              .arg(QDir::toNativeSeparators(path)));
        }
        return true;
    }
    ReportLoadFailure(path, buffer.LastFileError());
    return false;
}

void CSampleDoc::ReportLoadFailure(const QString& path, int error) {
    // Say why rather than let the window silently not appear.
    QString reason = error == EFBIG ? QStringLiteral("В файле есть слишком длинная строка.")
                                    : FileErrorReason(error);
    AfxMessageBox(QStringLiteral("Не удается прочитать файл %1.\n%2")
                      .arg(QDir::toNativeSeparators(path), reason));
}

bool CSampleDoc::OpenInBackground(const QString& path) {
    QByteArray name = QFile::encodeName(path);
    if (!buffer.LoadFile(name.constData(), LineEndingStyle::Detect, {}, kFirstScreenBytes)) {
        ReportLoadFailure(path, buffer.LastFileError());
        return false;
    }
    CloseUntitledDocuments();
    TakeStamp(path);
    encodingChosen = false;
    SetEncoding(DetectEncoding(buffer));
    // The first screen is no whole text: nothing of it may be saved over the file.
    buffer.MakeReadOnly(true);
    const QString fileName = QFileInfo(path).fileName();
    backgroundLoad = std::make_unique<CBackgroundLoad>(
        name.toStdString(),
        [this, fileName](double share) {
            ShowLoadProgress(QStringLiteral("Чтение %1: %2 %")
                                 .arg(fileName)
                                 .arg(static_cast<int>(share * 100)));
        },
        [this](std::unique_ptr<CCorvelTextBuffer> text, TextEncoding encoding) {
            TakeBackgroundText(std::move(text), encoding);
        },
        [this, path](int error) {
            ShowLoadProgress(QString());
            ReportLoadFailure(path, error);
        });
    return true;
}

bool CSampleDoc::Loading() const {
    return backgroundLoad != nullptr && !backgroundLoad->Finished();
}

void CSampleDoc::TakeBackgroundText(std::unique_ptr<CCorvelTextBuffer> text,
                                    TextEncoding encoding) {
    // A result window stays read-only; any other file is as writable as its own attributes.
    const bool result = IsRunResult();
    buffer.TakeLoadedText(*text);
    if (result)
        buffer.MakeReadOnly(true);
    if (!encodingChosen)
        SetEncoding(encoding);
    TakeStamp(GetPathName());
    ShowLoadProgress(QString());
    if (buffer.LoadCutAtNul()) {
        AfxMessageBox(QStringLiteral("В файле %1 есть нулевые байты: строки показаны только "
                                     "до них.\nФайл открыт только для чтения, чтобы "
                                     "сохранение не укоротило его.")
                          .arg(QDir::toNativeSeparators(GetPathName())));
    }
}

void CSampleDoc::ShowLoadProgress(const QString& text) {
    // The status bar of the window the document is shown in, while it is the active one.
    for (CView* view : Views()) {
        if (view->isActiveWindow() && view->hasFocus()) {
            QStatusTipEvent tip(text);
            QCoreApplication::sendEvent(view->window(), &tip);
            return;
        }
    }
}

QString CSampleDoc::FileErrorReason(int error) {
    if (error == ENOTSUP)
        return QStringLiteral(
            "Это не обычный файл, а канал или устройство: "
            "открываются и сохраняются только файлы.");
    return QString::fromLocal8Bit(std::strerror(error));
}

bool CSampleDoc::OnSaveDocument(const QString& path) {
    // The lines of a file with NUL bytes end at them: written back, the file would lose the rest.
    if (buffer.LoadCutAtNul() && !GetPathName().isEmpty() &&
        QFileInfo(path).canonicalFilePath() == QFileInfo(GetPathName()).canonicalFilePath()) {
        AfxMessageBox(QStringLiteral("Файл %1 не сохранён: в нём есть нулевые байты, и "
                                     "сохранение укоротило бы его.\nСохраните текст под другим "
                                     "именем.")
                          .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!ConfirmOverwriteOfChangedFile(path))
        return false;
    QByteArray name = QFile::encodeName(path);
    bool stored = buffer.StoreFile(name.constData(), LineEndingStyle::Detect, true);
    if (CWinApp* application = CWinApp::Instance()) {
        if (CFrameWnd* mainFrame = CFrameWnd::FrameOf(application->MainWindow()))
            mainFrame->OnUpdateFrameTitle();
    }
    if (!stored) {
        QString message =
            QStringLiteral("Не удается сохранить файл %1.\n%2")
                .arg(QDir::toNativeSeparators(path), FileErrorReason(buffer.LastFileError()));
        if (!buffer.KeptCopyPath().empty()) {
            message += QStringLiteral("\nПрежний текст файла сохранён в %1.")
                           .arg(QDir::toNativeSeparators(
                               QFile::decodeName(buffer.KeptCopyPath().c_str())));
        }
        AfxMessageBox(message);
        return false;
    }
    TakeStamp(path);
    return true;
}

void CSampleDoc::SetEncoding(TextEncoding newEncoding) {
    encoding = newEncoding;
    UpdateAllViews(nullptr, 0, nullptr);
}

namespace {

TextEncoding OtherEncoding(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? TextEncoding::Windows1251 : TextEncoding::Utf8;
}

}  // namespace

void CSampleDoc::OnViewOtherEncoding() {
    // Only the reading of the bytes changes: the text is as modified, or not, as it was.
    encodingChosen = true;
    SetEncoding(OtherEncoding(encoding));
}

void CSampleDoc::OnUpdateViewOtherEncoding(CCmdUI& ui) {
    ui.SetText(OtherEncoding(encoding) == TextEncoding::Utf8 ? "Открыть в кодировке UTF-8"
                                                             : "Открыть в кодировке Windows-1251");
}

void CSampleDoc::TakeStamp(const QString& path) {
    stampedPath = path;
    diskStamp = StampOfFile(path);
}

bool CSampleDoc::IsRunResult() const {
    CResultDocuments* results = CResultDocuments::OfApplication();
    return results != nullptr && (results->logDocument == this || results->rawDocument == this);
}

bool CSampleDoc::ConfirmOverwriteOfChangedFile(const QString& path) {
    if (stampedPath.isEmpty() || !diskStamp.exists || IsRunResult() ||
        FileIdentity(path) != FileIdentity(stampedPath)) {
        return true;
    }
    SFileStamp now = StampOfFile(path);
    if (!now.exists || now == diskStamp)
        return true;
    int answer = AfxMessageBox(QStringLiteral("Файл %1 изменён другой программой после того, как "
                                              "был открыт или сохранён здесь.\nЗаписать ваш текст "
                                              "поверх него?")
                                   .arg(QDir::toNativeSeparators(path)),
                               MB_YESNO);
    return answer == IDYES;
}

void CSampleDoc::CheckDiskChange() {
    const QString path = GetPathName();
    if (path.isEmpty() || checkingDisk || IsRunResult())
        return;
    if (FileIdentity(path) != FileIdentity(stampedPath)) {
        TakeStamp(path);
        return;
    }
    SFileStamp now = StampOfFile(path);
    if (now == diskStamp)
        return;
    // A message box lets events run, and an activation in them must not ask again.
    checkingDisk = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{checkingDisk};
    const QString shown = QDir::toNativeSeparators(path);
    if (!now.exists) {
        diskStamp = now;  // said once
        buffer.MarkUnsaved();
        AfxMessageBox(QStringLiteral("Файл %1 удалён или переименован другой программой.\n"
                                     "Текст остаётся в окне и помечен как изменённый: "
                                     "сохраните его, чтобы не потерять.")
                          .arg(shown));
        return;
    }
    if (IsModified()) {
        int answer = AfxMessageBox(QStringLiteral("Файл %1 изменён другой программой.\n"
                                                  "Загрузить его заново? Ваши изменения будут "
                                                  "потеряны.\n\n«Нет» оставляет ваш текст.")
                                       .arg(shown),
                                   MB_YESNO | MB_DEFBUTTON2);
        if (answer != IDYES) {
            diskStamp = now;  // the user keeps this text over that file
            return;
        }
    }
    // A reading still under way would bring the old text back after the new.
    backgroundLoad.reset();
    int error = ReloadFromDisk(*this);
    if (error == 0) {
        TakeStamp(path);
        return;
    }
    diskStamp = now;
    AfxMessageBox(QStringLiteral("Не удается прочитать файл %1 заново.\n%2\nТекст в окне остаётся.")
                      .arg(shown, FileErrorReason(error)));
}

void CSampleDoc::OnCloseDocument() {
    if (CResultDocuments* results = CResultDocuments::OfApplication()) {
        if (results->logDocument == this)
            results->logDocument = nullptr;
        if (results->rawDocument == this)
            results->rawDocument = nullptr;
    }
    CDocument::OnCloseDocument();
}

void CSampleDoc::CloseUntitledDocuments() {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return;
    for (const auto& docTemplate : application->Templates()) {
        bool closedOne = true;
        while (closedOne) {
            closedOne = false;
            for (CDocument* document : docTemplate->Documents()) {
                if (document == this || !document->GetPathName().isEmpty() ||
                    document->IsModified())
                    continue;
                // A read-only window without a file is one the program filled (a list of
                // places), not the empty one of the start.
                auto* text = dynamic_cast<CSampleDoc*>(document);
                if (text != nullptr && text->buffer.IsReadOnly())
                    continue;
                document->OnCloseDocument();
                closedOne = true;  // the list changed: walk it again from the start
                break;
            }
        }
    }
}

void CSampleDoc::OnToggleReadOnly() {
    if (buffer.IsReadOnly()) {
        buffer.MakeReadOnly(false);
        return;
    }
    buffer.MakeReadOnly(true);
    AfxMessageBox(QStringLiteral("Document now read-only!"));
}

void CSampleDoc::OnUpdateToggleReadOnly(CCmdUI& ui) {
    ui.SetCheck(buffer.IsReadOnly() ? CCmdUI::Checked : CCmdUI::Unchecked);
}

void CSampleDoc::OnChooseFont() {
    QFontDialog dialog;
    // The options go first: the chooser filters its list of families when it is given a font.
    // The desktop's own chooser may ignore the fixed-pitch filter.
    dialog.setOptions(QFontDialog::MonospacedFonts | QFontDialog::DontUseNativeDialog);
    // The chooser lists faces under the names fontconfig gives them: "Courier New" is offered as
    // the face it resolves to, and would otherwise start on the first face of the list.
    QFont initial = logFont.ToQFont();
    initial.setFamily(QFontInfo(initial).family());
    dialog.setCurrentFont(initial);
    const QFont shown = dialog.currentFont();
    if (ModalHost().RunModal(dialog) != QDialog::Accepted)
        return;
    const QFont chosen = dialog.selectedFont();
    LogFont result = LogFont::FromQFont(chosen, logFont.charSet);
    // The chooser counts whole points: a face or size the user left alone stays exactly as it
    // was, rather than 14 pixels coming back as 11 points, that is 15 pixels.
    if (chosen.family() == shown.family())
        result.faceName = logFont.faceName;
    if (chosen.pointSize() == shown.pointSize())
        result.height = logFont.height;
    logFont = result;
    UpdateAllViews(nullptr, 0, nullptr);
}
