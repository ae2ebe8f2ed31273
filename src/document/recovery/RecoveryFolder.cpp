#include "RecoveryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <set>

#include "ProcessIdentity.h"

namespace {

const QString kTextSuffix = QStringLiteral(".cir");
const QString kInfoSuffix = QStringLiteral(".info");
const QString kPartSuffix = QStringLiteral(".part");

// "<pid>-<start time>" of the key "<pid>-<start time>-<serial>"; empty for a name that is no key.
std::string ProcessTagOfKey(const QString& key) {
    QStringList parts = key.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return std::string();
    return (parts[0] + QLatin1Char('-') + parts[1]).toStdString();
}

bool ProcessOfKeyRuns(const QString& key) {
    std::string tag = ProcessTagOfKey(key);
    return !tag.empty() && ProcessOfTagRuns(tag);
}

QString KeyOfName(const QString& name) {
    return name.section(QLatin1Char('.'), 0, 0);
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

// The information file's lines, name to value.
std::map<QByteArray, QString> ReadInfo(const QString& path) {
    std::map<QByteArray, QString> values;
    QFile info(path);
    if (!info.open(QIODevice::ReadOnly))
        return values;
    for (const QByteArray& line : info.readAll().split('\n')) {
        int equals = line.indexOf('=');
        if (equals > 0)
            values[line.left(equals)] = QString::fromUtf8(line.mid(equals + 1));
    }
    return values;
}

// Writes the pieces to a file of this user's alone and makes them durable.
bool WriteDurably(const QString& path, const std::vector<std::string>& pieces) {
    QByteArray name = QFile::encodeName(path);
    int descriptor =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0)
        return false;
    bool written = true;
    for (const std::string& piece : pieces) {
        std::size_t done = 0;
        while (written && done < piece.size()) {
            ssize_t count = ::write(descriptor, piece.data() + done, piece.size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            written = count > 0;
            done += written ? static_cast<std::size_t>(count) : 0;
        }
    }
    written = written && ::fsync(descriptor) == 0;
    written = ::close(descriptor) == 0 && written;
    if (!written)
        ::unlink(name.constData());
    return written;
}

bool RenameFile(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// After the renames, the folder's entries are made durable too.
void SyncFolder(const QString& folder) {
    int descriptor =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
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
    return QStringLiteral("%1-%2").arg(QString::fromStdString(OwnProcessTag())).arg(++serial);
}

QString CRecoveryFolder::InfoPath(const QString& key) const {
    return path + QLatin1Char('/') + key + kInfoSuffix;
}

QString CRecoveryFolder::TextNamed(const QString& key) const {
    std::map<QByteArray, QString> info = ReadInfo(InfoPath(key));
    auto text = info.find("text");
    // Copies of earlier versions name no text: theirs is the key's own.
    if (text == info.end())
        return key + kTextSuffix;
    // Only a file of the key's own, in this folder.
    const QString& name = text->second;
    if (!name.startsWith(key + QLatin1Char('.')) || name.contains(QLatin1Char('/')))
        return QString();
    return name;
}

void CRecoveryFolder::Write(SRecoveryText text) {
    auto job = std::make_shared<SRecoveryText>(std::move(text));
    writer.Post(job->key.toStdString(), [this, job] { WriteNow(*job); });
}

void CRecoveryFolder::Remove(const QString& key) {
    writer.Post(key.toStdString(), [this, key] { RemoveNow(key); });
}

void CRecoveryFolder::WaitUntilWritten() {
    writer.WaitUntilIdle();
}

void CRecoveryFolder::RemoveOrphan(const QString& key) {
    RemoveNow(key);
}

void CRecoveryFolder::WriteNow(const SRecoveryText& text) {
    // Private: the copies hold the user's unsaved work.
    if (!QDir().mkpath(path))
        return;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString textName =
        text.key + QLatin1Char('.') + QString::number(++textSerial) + kTextSuffix;
    const QString textPath = path + QLatin1Char('/') + textName;
    if (!WriteDurably(textPath + kPartSuffix, text.bytes) ||
        !RenameFile(textPath + kPartSuffix, textPath))
        return;

    QByteArray lines;
    lines += "path=" + text.originalPath.toUtf8() + '\n';
    lines += "title=" + text.title.toUtf8() + '\n';
    lines += "written=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
    lines += QByteArray("lineEnding=") + StyleName(text.lineEnding) + '\n';
    lines += "text=" + textName.toUtf8() + '\n';
    const QString infoPath = InfoPath(text.key);
    if (!WriteDurably(infoPath + kPartSuffix, {lines.toStdString()}) ||
        !RenameFile(infoPath + kPartSuffix, infoPath)) {
        QFile::remove(textPath);
        return;
    }
    SyncFolder(path);

    QString& current = currentText[text.key];
    if (!current.isEmpty() && current != textName)
        QFile::remove(path + QLatin1Char('/') + current);
    current = textName;
}

void CRecoveryFolder::RemoveNow(const QString& key) {
    currentText.erase(key);
    // The information file first: a text without one is never offered.
    QFile::remove(InfoPath(key));
    const QStringList files = QDir(path).entryList({key + QStringLiteral(".*")},
                                                   QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : files)
        QFile::remove(path + QLatin1Char('/') + name);
}

std::vector<SRecoveryCopy> CRecoveryFolder::Orphans() const {
    std::vector<SRecoveryCopy> copies;
    const QStringList infos =
        QDir(path).entryList({QLatin1Char('*') + kInfoSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : infos) {
        SRecoveryCopy copy;
        copy.key = name.left(name.size() - kInfoSuffix.size());
        if (ProcessTagOfKey(copy.key).empty() || ProcessOfKeyRuns(copy.key))
            continue;
        QString textName = TextNamed(copy.key);
        copy.textPath = path + QLatin1Char('/') + textName;
        if (textName.isEmpty() || !QFileInfo(copy.textPath).isFile())
            continue;
        std::map<QByteArray, QString> info = ReadInfo(InfoPath(copy.key));
        copy.originalPath = info["path"];
        copy.title = info["title"];
        copy.written = QDateTime::fromString(info["written"], Qt::ISODate);
        copy.lineEnding = StyleNamed(info["lineEnding"]);
        copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const SRecoveryCopy& a, const SRecoveryCopy& b) {
        return a.written < b.written;
    });
    return copies;
}

void CRecoveryFolder::RemoveLeftovers() {
    const QStringList files =
        QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // What each key of a process no longer running keeps: its information and the text it names,
    // when both are there.
    std::map<QString, std::set<QString>> kept;
    for (const QString& name : files) {
        QString key = KeyOfName(name);
        if (ProcessTagOfKey(key).empty() || ProcessOfKeyRuns(key) || kept.count(key) != 0)
            continue;
        std::set<QString>& keep = kept[key];
        QString textName = QFileInfo::exists(InfoPath(key)) ? TextNamed(key) : QString();
        if (!textName.isEmpty() && files.contains(textName)) {
            keep.insert(key + kInfoSuffix);
            keep.insert(textName);
        }
    }
    for (const QString& name : files) {
        auto keep = kept.find(KeyOfName(name));
        if (keep != kept.end() && keep->second.count(name) == 0)
            QFile::remove(path + QLatin1Char('/') + name);
    }
}
