#include "ProcessLauncher.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <signal.h>
#include <unistd.h>

namespace {

class CSystemProcessLauncher : public CProcessLauncher {
public:
    std::unique_ptr<QProcess> Start(const QString& program, const QStringList& arguments,
                                    const QString& folder,
                                    const QStringList& environment) override {
        auto process = std::make_unique<QProcess>();
        process->setProgram(program);
        process->setArguments(arguments);
        process->setWorkingDirectory(folder);
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment) {
            qsizetype equals = entry.indexOf(QLatin1Char('='));
            variables.insert(entry.left(equals), entry.mid(equals + 1));
        }
        process->setProcessEnvironment(variables);
        // A group of its own, which a stop ends as a whole.
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        process->start();
        // Only the exec itself is waited for: a missing or unusable program shows at once.
        if (!process->waitForStarted(-1))
            return nullptr;
        return process;
    }

    bool StartDetached(const QString& program, const QStringList& arguments,
                       const QString& folder) override {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(folder);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        return process.startDetached();
    }
};

CProcessLauncher* installedLauncher = nullptr;

}  // namespace

void SignalProcessGroup(qint64 leader, int signal) {
    // The group keeps its number while any of its processes lives, after the leader too.
    if (leader > 1)
        ::kill(-static_cast<pid_t>(leader), signal);
}

CProcessLauncher& SystemProcessLauncher() {
    static CSystemProcessLauncher system;
    return system;
}

CProcessLauncher& ProcessLauncher() {
    return installedLauncher != nullptr ? *installedLauncher : SystemProcessLauncher();
}

void SetProcessLauncher(CProcessLauncher* launcher) {
    installedLauncher = launcher;
}
