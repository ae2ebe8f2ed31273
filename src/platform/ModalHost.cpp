#include "ModalHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {

class CDesktopModalHost : public CModalHost {
public:
    int RunModal(QDialog& dialog) override { return dialog.exec(); }
    QAction* RunMenu(QMenu& menu, const QPoint& at) override { return menu.exec(at); }
    bool OpenWithDesktop(const QUrl& url) override {
        // xdg-open counts as opened once it has started, whatever it then finds: the desktop is
        // asked first. Where it cannot be asked, Qt's own answer stands.
        if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
            return false;
        std::optional<bool> handled = DesktopHasHandler(url);
        if (handled.has_value() && !*handled)
            return false;
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            return QDesktopServices::openUrl(url);
        // The opener's own status decides: it can find a handler and still fail to start it.
        // One that is still busy after a moment has handed the file on and counts as opened.
        auto* opener = new QProcess;
        opener->setStandardInputFile(QProcess::nullDevice());
        opener->setStandardOutputFile(QProcess::nullDevice());
        opener->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        QObject::connect(opener, &QProcess::errorOccurred, opener,
                         [opener](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 opener->deleteLater();
                         });
        opener->start(QStringLiteral("xdg-open"),
                      {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
        if (!opener->waitForStarted())
            return false;
        if (!opener->waitForFinished(2000))
            return true;
        return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    }
};

// The desktop's default program for the MIME type, empty when it names none; nothing when
// xdg-mime is not there, fails or does not answer in time.
std::optional<QString> DefaultApplication(const QString& mimeType) {
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted())
        return std::nullopt;
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// xdg-open shows web pages in the browser the system names even when no program claims them.
bool SystemNamesABrowser() {
    return !qEnvironmentVariableIsEmpty("BROWSER") ||
           !QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty();
}

CModalHost* installedHost = nullptr;

QString& Title() {
    static QString title = QStringLiteral("Kivra");
    return title;
}

}  // namespace

CModalHost& ModalHost() {
    return installedHost != nullptr ? *installedHost : DesktopModalHost();
}

void SetModalHost(CModalHost* host) {
    installedHost = host;
}

CModalHost& DesktopModalHost() {
    static CDesktopModalHost desktop;
    return desktop;
}

std::optional<bool> DesktopHasHandler(const QUrl& url) {
    QStringList types;
    bool page = false;
    if (url.isLocalFile()) {
        QMimeType type = QMimeDatabase().mimeTypeForFile(url.toLocalFile());
        // Without the system's table of types nothing can be asked.
        if (!type.isValid())
            return std::nullopt;
        // A viewer may claim the type by another of its names (application/x-chm for help files).
        types << type.name() << type.aliases();
        page = type.inherits(QStringLiteral("text/html"));
    } else {
        types << QStringLiteral("x-scheme-handler/") + url.scheme();
        page = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    }
    if (page && SystemNamesABrowser())
        return true;
    for (const QString& type : types) {
        std::optional<QString> application = DefaultApplication(type);
        if (!application.has_value())
            return std::nullopt;
        if (!application->isEmpty())
            return true;
    }
    return false;
}

QString ApplicationTitle() {
    return Title();
}

void SetApplicationTitle(const QString& title) {
    Title() = title;
}

unsigned MessageBoxIcon(unsigned type) {
    if ((type & MB_ICONMASK) != 0)
        return type & MB_ICONMASK;
    unsigned buttons = type & MB_TYPEMASK;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
}

int AfxMessageBox(const QString& text, unsigned type) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(ApplicationTitle());
    box.setText(text);
    switch (MessageBoxIcon(type)) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONASTERISK:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case MB_YESNOCANCEL:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton((type & MB_DEFBUTTON2) != 0 ? QMessageBox::No : QMessageBox::Yes);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (ModalHost().RunModal(box)) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            // Closed without a button: the escape answer of its buttons.
            switch (type & MB_TYPEMASK) {
                case MB_OK:
                    return IDOK;
                case MB_YESNO:
                    return IDNO;
                default:
                    return IDCANCEL;
            }
    }
}
