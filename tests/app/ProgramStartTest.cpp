// The real program started on files that cannot be opened, as a user starts it from a terminal:
// its message waits for the user, with the windows live beneath it, and nothing aborts.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifndef KIVRA_PROGRAM
#error "KIVRA_PROGRAM must name the program"
#endif

namespace {

TEST(ProgramStartTest, AFileThatCannotBeOpenedWaitsForTheUserInsteadOfAborting) {
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("new.cir"));
    const QString directory = folder.filePath(QStringLiteral("folder.cir"));
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString pipe = folder.filePath(QStringLiteral("pipe.cir"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString unreadable = folder.filePath(QStringLiteral("unreadable.cir"));
    QFile file(unreadable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("R1 1 0 1k\n");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
    QStringList files = {missing, directory, pipe};
    // Root reads any file.
    if (::geteuid() != 0)
        files << unreadable;

    for (const QString& path : files) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"),
                           folder.filePath(QStringLiteral("state")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KIVRA_PROGRAM), {path});
        ASSERT_TRUE(program.waitForStarted()) << path.toStdString();
        // The message is up well within this; an abort came at the first idle pass under it.
        const bool ended = program.waitForFinished(2500);
        EXPECT_FALSE(ended) << path.toStdString() << " ended with " << program.exitCode() << ": "
                            << program.readAllStandardError().toStdString();
        program.kill();
        program.waitForFinished();
    }
}

}  // namespace
