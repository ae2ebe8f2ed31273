#pragma once

#include <QSettings>
#include <QString>

// The per-user settings of the program: an INI file under the user's configuration folder, at
// "<root>/<application>.ini", with sections and keys as the callers name them ("CorvelEdit/Find").
class CSettingsStore : public QSettings {
public:
    CSettingsStore();

    // Where the settings live; set once at start-up, before the first store is opened.
    static void SetRoot(const QString& root, const QString& application);
    static QString Root();
    static QString Application();
};
