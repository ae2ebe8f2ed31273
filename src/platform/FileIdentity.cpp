#include "FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

QString FileIdentity(const QString& path) {
    QFileInfo info(path);
    QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

SFileStamp StampOfFile(const QString& path) {
    SFileStamp stamp;
    struct stat status {};
    QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.modifiedNanoseconds =
        std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
    stamp.size = status.st_size;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    return stamp;
}
