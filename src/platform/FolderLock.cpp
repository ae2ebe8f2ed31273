#include "FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <set>

bool HoldLockFile(const QString& path) {
    static std::set<QString> held;
    if (held.count(path) != 0)
        return true;
    const QByteArray name = QFile::encodeName(path);
    int descriptor = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return false;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return false;
    }
    // The descriptor stays open, and the lock with it, until the process ends.
    held.insert(path);
    return true;
}
