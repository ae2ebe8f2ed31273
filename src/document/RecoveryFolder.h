#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

#include "LineEndingStyle.h"

class CCorvelTextBuffer;

// The copy of a modified document's text that survives a crash of the program.
struct SRecoveryCopy {
    QString key;           // names the copy's two files in the folder
    QString textPath;      // the text, with the document's line breaks
    QString originalPath;  // the document's file; empty for an untitled document
    QString title;         // the document's title when it was copied
    QDateTime written;
    LineEndingStyle lineEnding = LineEndingStyle::Win;
};

// The folder of recovery copies: the user's state folder, never a netlist's own. Each copy is a
// text file and an information file beside it, each written to a temporary name and renamed,
// so that a crash in the middle of a copy leaves the previous one whole.
class CRecoveryFolder {
public:
    // $XDG_STATE_HOME/kivra, or ~/.local/state/kivra when the variable is unset or not absolute.
    static QString DefaultPath();

    explicit CRecoveryFolder(QString path = DefaultPath());

    const QString& Path() const { return path; }

    // A key no other document of any process has: this process, when it started, and a serial.
    static QString NewKey();

    // Replaces the copy under the key with the buffer's text. False when it could not be written;
    // the copy written before, if any, then stays.
    bool Write(const QString& key, CCorvelTextBuffer& buffer, const QString& originalPath,
               const QString& title);
    void Remove(const QString& key);

    // The copies whose process is no longer running, oldest first.
    std::vector<SRecoveryCopy> Orphans() const;

private:
    QString TextPath(const QString& key) const;
    QString InfoPath(const QString& key) const;

    QString path;
};
