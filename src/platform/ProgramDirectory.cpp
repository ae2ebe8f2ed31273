#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ProgramDirectory() {
    if (QCoreApplication::instance() == nullptr)
        return QString();
    QFileInfo program(QCoreApplication::applicationFilePath());
    QString resolved = program.canonicalFilePath();
    if (resolved.isEmpty())
        return QString();
    return QFileInfo(resolved).absolutePath();
}

QString ProgramFile(const QString& name) {
    QString folder = ProgramDirectory();
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}
