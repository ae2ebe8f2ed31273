#pragma once

#include <QDateTime>
#include <QString>

#include <map>
#include <string>
#include <vector>

#include "LineEndingStyle.h"
#include "SerialWorker.h"

// The copy of a modified document's text that survives a crash of the program.
struct SRecoveryCopy {
    QString key;           // names the copy's files in the folder
    QString textPath;      // the text, with the document's line breaks
    QString originalPath;  // the document's file; empty for an untitled document
    QString title;         // the document's title when it was copied
    QDateTime written;
    LineEndingStyle lineEnding = LineEndingStyle::Win;
};

// A text to be kept as the copy under its key.
struct SRecoveryText {
    QString key;
    std::vector<std::string> bytes;  // the text as the file would hold it, in pieces
    QString originalPath;
    QString title;
    LineEndingStyle lineEnding = LineEndingStyle::Win;
};

// The folder of recovery copies: the user's state folder, never a netlist's own. A copy is a text
// file and an information file that names it. Copies are written on a thread of their own, each
// text under a new name, and only then does the information file, replaced in one rename, point
// to it: a kill at any moment leaves the previous copy or the new one whole and offered.
class CRecoveryFolder {
public:
    // $XDG_STATE_HOME/kivra, or ~/.local/state/kivra when the variable is unset or not absolute.
    static QString DefaultPath();

    explicit CRecoveryFolder(QString path = DefaultPath());

    const QString& Path() const { return path; }

    // A key no other document of any process has: this process, when it started, and a serial.
    static QString NewKey();

    // Hands the text over to replace the copy under its key, and returns at once. A copy that
    // cannot be written leaves the one before it.
    void Write(SRecoveryText text);
    // Removes the copy under the key once what was handed over before is done.
    void Remove(const QString& key);
    // Returns once everything handed over is on disk or removed.
    void WaitUntilWritten();

    // The copies whose process is no longer running, oldest first.
    std::vector<SRecoveryCopy> Orphans() const;
    // Removes at once a copy whose process is no longer running.
    void RemoveOrphan(const QString& key);
    // Removes what processes no longer running left that is not a whole copy: temporaries of a
    // copy being written, texts no information file names, information without its text.
    void RemoveLeftovers();

private:
    // The work of the writer's thread.
    void WriteNow(const SRecoveryText& text);
    void RemoveNow(const QString& key);

    QString InfoPath(const QString& key) const;
    // The text file the key's information names; empty when there is none.
    QString TextNamed(const QString& key) const;

    QString path;
    // The text file each key's information names now; touched by the writer's thread only.
    std::map<QString, QString> currentText;
    int textSerial = 0;
    // Last: it goes first, and waits for the jobs that use what is above.
    CSerialWorker writer;
};
