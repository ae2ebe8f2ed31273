#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

// Starts other programs. Arguments are handed over as a list, never through a shell, so that
// blanks and non-Latin letters in paths reach the program whole. Tests put their own launcher in
// place to see or steer what is started.
class CProcessLauncher {
public:
    virtual ~CProcessLauncher() = default;
    // Starts the program in the folder with empty input, its output and errors merged into one
    // channel, and returns it running, as the leader of a process group of its own (see
    // SignalProcessGroup). The environment is the program's own with the "NAME=value" entries
    // given added. Null when it could not be started (missing, not executable, no such folder).
    virtual std::unique_ptr<QProcess> Start(const QString& program, const QStringList& arguments,
                                            const QString& folder,
                                            const QStringList& environment) = 0;
    // Starts the program in the folder and lets it run on its own, with empty input and its
    // output discarded; false when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments,
                               const QString& folder) = 0;
};

// Sends the signal to every process of the group that a program started by Start leads, by the
// program's process id: the program and all it started and did not move elsewhere, also once
// the program itself has ended.
void SignalProcessGroup(qint64 leader, int signal);

// The launcher in use: the system's own, unless a test put another in place.
CProcessLauncher& ProcessLauncher();
// Puts a launcher in place; null restores the system's own. The caller keeps ownership.
void SetProcessLauncher(CProcessLauncher* launcher);
// The system's own launcher, for a test launcher that passes starts on.
CProcessLauncher& SystemProcessLauncher();
