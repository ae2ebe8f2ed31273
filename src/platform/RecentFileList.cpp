#include "RecentFileList.h"

#include <QDir>
#include <QFileInfo>

#include "FileIdentity.h"
#include "SettingsStore.h"

namespace {

QString Shortened(const QString& path) {
    if (path.size() <= CRecentFileList::kLongestMenuPath)
        return path;
    // Keep the start of the path and the whole file name, with "..." between them.
    QString name = QFileInfo(path).fileName();
    int room = CRecentFileList::kLongestMenuPath - static_cast<int>(name.size()) - 4;
    if (room <= 0)
        return QStringLiteral("...") + name.right(CRecentFileList::kLongestMenuPath - 3);
    return path.left(room) + QStringLiteral(".../") + name;
}

}  // namespace

CRecentFileList::CRecentFileList(int size, QString section, QString entryPrefix)
    : size(size > 0 ? size : 1), section(std::move(section)), entryPrefix(std::move(entryPrefix)) {}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty())
        return;
    QString identity = FileIdentity(path);
    for (int index = 0; index < Count(); ++index) {
        if (FileIdentity(paths.at(index)) == identity) {
            paths.removeAt(index);
            break;
        }
    }
    paths.prepend(identity);
    while (Count() > size)
        paths.removeLast();
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < Count())
        paths.removeAt(index);
}

void CRecentFileList::ReadList() {
    paths.clear();
    CSettingsStore settings;
    settings.beginGroup(section);
    for (int number = 1; number <= size; ++number) {
        QString path = settings.value(entryPrefix + QString::number(number)).toString();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
}

void CRecentFileList::WriteList() const {
    CSettingsStore settings;
    settings.remove(section);
    settings.beginGroup(section);
    for (int index = 0; index < Count(); ++index)
        settings.setValue(entryPrefix + QString::number(index + 1), paths.at(index));
}

QString CRecentFileList::MenuText(int index) const {
    QString shown = Shortened(QDir::toNativeSeparators(paths.at(index)));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
