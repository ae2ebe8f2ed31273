#include "ModalHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

namespace {

class CDesktopModalHost : public CModalHost {
public:
    int RunModal(QDialog& dialog) override { return dialog.exec(); }
    QAction* RunMenu(QMenu& menu, const QPoint& at) override { return menu.exec(at); }
    bool OpenWithDesktop(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

CModalHost* installedHost = nullptr;

QString& Title() {
    static QString title = QStringLiteral("Kivra");
    return title;
}

}  // namespace

CModalHost& ModalHost() {
    static CDesktopModalHost desktop;
    return installedHost != nullptr ? *installedHost : desktop;
}

void SetModalHost(CModalHost* host) {
    installedHost = host;
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
            box.setDefaultButton(QMessageBox::Yes);
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
