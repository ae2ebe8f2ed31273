#include "ProcessLauncher.h"

#include <QProcess>

namespace {

class CSystemProcessLauncher : public CProcessLauncher {
public:
    std::unique_ptr<QProcess> Start(const QString& program, const QStringList& arguments,
                                    const QString& folder) override {
        auto process = std::make_unique<QProcess>();
        process->setProgram(program);
        process->setArguments(arguments);
        process->setWorkingDirectory(folder);
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
