#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace {

// Loads one catalog of Qt's translations and installs it; false when it is not there.
bool InstallCatalog(QCoreApplication& application, const QString& name) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace

bool InstallQtTranslations(QCoreApplication& application) {
    // qtbase holds the texts of the widgets; qt is the catalog of every module and may be missing.
    bool widgets = InstallCatalog(application, QStringLiteral("qtbase_ru"));
    InstallCatalog(application, QStringLiteral("qt_ru"));
    return widgets;
}
