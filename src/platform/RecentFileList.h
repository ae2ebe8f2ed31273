#pragma once

#include <QString>
#include <QStringList>

// The most recently opened or saved files, newest first, kept in the settings store under
// "Recent File List" as "File1" ... "FileN".
class CRecentFileList {
public:
    explicit CRecentFileList(int size, QString section = QStringLiteral("Recent File List"),
                             QString entryPrefix = QStringLiteral("File"));

    int Size() const { return size; }
    int Count() const { return static_cast<int>(paths.size()); }
    const QString& At(int index) const { return paths.at(index); }

    // Puts the file first; an entry for the same file moves rather than repeats, and the
    // oldest entry falls off the end.
    void Add(const QString& path);
    void Remove(int index);

    void ReadList();
    void WriteList() const;

    // The menu text of an entry: "&1 " and the path, shortened in the middle to fit a menu,
    // with ampersands doubled so that they show.
    QString MenuText(int index) const;

    static constexpr int kLongestMenuPath = 48;

private:
    int size;
    QString section;
    QString entryPrefix;
    QStringList paths;
};
