#pragma once

#include <QString>
#include <optional>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QUrl;

// Every modal step of the program and every hand-over to the desktop goes through this one
// object, so that tests can answer dialogs and message boxes without a modal loop and can see
// what would have been opened.
class CModalHost {
public:
    virtual ~CModalHost() = default;
    // Runs the dialog modally; the result of QDialog::exec (a QMessageBox gives the standard
    // button that was pressed).
    virtual int RunModal(QDialog& dialog) = 0;
    // Shows a popup menu at a screen point until the user picks an item or dismisses it; the
    // item picked (already triggered), or null.
    virtual QAction* RunMenu(QMenu& menu, const QPoint& at) = 0;
    // Opens a file or web page with the desktop's handler; false when the file is not there, the
    // desktop has no program for it, or none could be started.
    virtual bool OpenWithDesktop(const QUrl& url) = 0;
};

// The host in use: the desktop's own, unless a test put another in place.
CModalHost& ModalHost();
// Puts a host in place; null restores the desktop's own. The caller keeps ownership.
void SetModalHost(CModalHost* host);
// The desktop's own host, for a test host that hands some steps on to it.
CModalHost& DesktopModalHost();

// Whether the desktop has a program for what the address names: for a local file, for its MIME
// type or an alias of it; for a web address, for its scheme. Pages also count as shown when the
// system names a browser. Asked through xdg-mime, as xdg-open decides; empty when it cannot be
// asked.
std::optional<bool> DesktopHasHandler(const QUrl& url);

// Message-box types and answers, with their usual values.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_TYPEMASK = 0x0F,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONMASK = 0xF0,
    // The second button is the one Enter presses: for a question whose first answer loses work.
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// The message box of the program: captioned with the application title, owned by the active
// window. Without an icon flag, OK and OK/Cancel boxes warn and Yes/No boxes ask. Returns IDOK,
// IDCANCEL, IDYES or IDNO; closing the box counts as Cancel (or No, or OK where that is the only
// way out).
int AfxMessageBox(const QString& text, unsigned type = MB_OK);

// The icon flag the box shows for the type: the given one, or the default of its buttons.
unsigned MessageBoxIcon(unsigned type);

// The title of the application, the caption of its message boxes ("Kivra").
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
