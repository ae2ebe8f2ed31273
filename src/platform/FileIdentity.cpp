#include "FileIdentity.h"

#include <QDir>
#include <QFileInfo>

QString FileIdentity(const QString& path) {
    QFileInfo info(path);
    QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
