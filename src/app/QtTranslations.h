#pragma once

class QCoreApplication;

// Qt draws some texts of its own: the buttons of message boxes, the file, font and print dialogs,
// the menu of a document window. The interface is Russian whatever the user's locale, so these
// come in Russian too. Installs the translations on the application, which keeps them; false when
// Qt's Russian texts are not installed (Debian package qt6-translations-l10n) and stay English.
bool InstallQtTranslations(QCoreApplication& application);
