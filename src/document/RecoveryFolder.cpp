#include "RecoveryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "CorvelTextBuffer.h"

namespace {

const QString kTextSuffix = QStringLiteral(".cir");
const QString kInfoSuffix = QStringLiteral(".info");

// The start time of a process in clock ticks since boot, which together with its id names it
// for good: an id alone is reused once the process ends. Empty when the process does not exist.
QString StartTimeOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces and parentheses itself.
    int end = line.lastIndexOf(')');
    if (end < 0)
        return QString();
    QList<QByteArray> fields = line.mid(end + 2).split(' ');
    // A process that has ended but was not yet reaped by its parent runs no more.
    if (fields.isEmpty() || fields[0] == "Z" || fields[0] == "X")
        return QString();
    // Field 22 of the line; the fields after the name start with field 3.
    constexpr int kStartTime = 22 - 3;
    return fields.size() > kStartTime ? QString::fromLatin1(fields[kStartTime]) : QString();
}

// Whether the process that made the key still runs.
bool ProcessOfKeyRuns(const QString& key) {
    QStringList parts = key.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return false;
    bool numeric = false;
    qint64 pid = parts[0].toLongLong(&numeric);
    if (!numeric || pid <= 0)
        return false;
    QString startTime = StartTimeOf(pid);
    return !startTime.isEmpty() && startTime == parts[1];
}

const char* StyleName(LineEndingStyle style) {
    switch (style) {
        case LineEndingStyle::Unix:
            return "unix";
        case LineEndingStyle::Mac:
            return "mac";
        default:
            return "win";
    }
}

LineEndingStyle StyleNamed(const QString& name) {
    if (name == QLatin1String("unix"))
        return LineEndingStyle::Unix;
    if (name == QLatin1String("mac"))
        return LineEndingStyle::Mac;
    return LineEndingStyle::Win;
}

}  // namespace

QString CRecoveryFolder::DefaultPath() {
    QString state = QString::fromLocal8Bit(qgetenv("XDG_STATE_HOME"));
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/kivra");
}

CRecoveryFolder::CRecoveryFolder(QString folder) : path(std::move(folder)) {}

QString CRecoveryFolder::NewKey() {
    static std::atomic<int> serial{0};
    // Looked up again in a forked child, which is a process of its own.
    static qint64 cachedPid = -1;
    static QString cachedStartTime;
    qint64 pid = ::getpid();
    if (pid != cachedPid) {
        cachedStartTime = StartTimeOf(pid);
        cachedPid = pid;
    }
    return QStringLiteral("%1-%2-%3").arg(pid).arg(cachedStartTime).arg(++serial);
}

QString CRecoveryFolder::TextPath(const QString& key) const {
    return path + QLatin1Char('/') + key + kTextSuffix;
}

QString CRecoveryFolder::InfoPath(const QString& key) const {
    return path + QLatin1Char('/') + key + kInfoSuffix;
}

bool CRecoveryFolder::Write(const QString& key, CCorvelTextBuffer& buffer,
                            const QString& originalPath, const QString& title) {
    // Private: the copies hold the user's unsaved work.
    if (!QDir().mkpath(path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The text goes first: an information file always has a whole text beside it.
    QByteArray textName = QFile::encodeName(TextPath(key));
    if (!buffer.StoreFile(textName.constData(), LineEndingStyle::Detect, false))
        return false;

    QSaveFile info(InfoPath(key));
    if (!info.open(QIODevice::WriteOnly))
        return false;
    QByteArray lines;
    lines += "path=" + originalPath.toUtf8() + '\n';
    lines += "title=" + title.toUtf8() + '\n';
    lines += "written=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
    lines += QByteArray("lineEnding=") + StyleName(buffer.CurrentLineEnding()) + '\n';
    info.write(lines);
    return info.commit();
}

void CRecoveryFolder::Remove(const QString& key) {
    // The information file first: a text without one is never offered.
    QFile::remove(InfoPath(key));
    QFile::remove(TextPath(key));
}

std::vector<SRecoveryCopy> CRecoveryFolder::Orphans() const {
    std::vector<SRecoveryCopy> copies;
    const QStringList infos =
        QDir(path).entryList({QLatin1Char('*') + kInfoSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : infos) {
        SRecoveryCopy copy;
        copy.key = name.left(name.size() - kInfoSuffix.size());
        copy.textPath = TextPath(copy.key);
        if (ProcessOfKeyRuns(copy.key) || !QFileInfo::exists(copy.textPath))
            continue;
        QFile info(InfoPath(copy.key));
        if (!info.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : info.readAll().split('\n')) {
            int equals = line.indexOf('=');
            if (equals < 0)
                continue;
            QByteArray name = line.left(equals);
            QString value = QString::fromUtf8(line.mid(equals + 1));
            if (name == "path")
                copy.originalPath = value;
            else if (name == "title")
                copy.title = value;
            else if (name == "written")
                copy.written = QDateTime::fromString(value, Qt::ISODate);
            else if (name == "lineEnding")
                copy.lineEnding = StyleNamed(value);
        }
        copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const SRecoveryCopy& a, const SRecoveryCopy& b) {
        return a.written < b.written;
    });
    return copies;
}
