#include "SettingsStore.h"

namespace {

QString& RootName() {
    static QString root = QStringLiteral("Local AppWizard-Generated Applications");
    return root;
}

QString& ApplicationName() {
    static QString application = QStringLiteral("Kivra");
    return application;
}

}  // namespace

CSettingsStore::CSettingsStore()
    : QSettings(QSettings::IniFormat, QSettings::UserScope, RootName(), ApplicationName()) {}

void CSettingsStore::SetRoot(const QString& root, const QString& application) {
    RootName() = root;
    ApplicationName() = application;
}

QString CSettingsStore::Root() {
    return RootName();
}

QString CSettingsStore::Application() {
    return ApplicationName();
}
