// The main of the tests of Qt widgets: one QApplication for the whole binary, then GoogleTest.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

// A test binary may run under the program's own application class, naming it and its header.
#ifdef KIVRA_TEST_APPLICATION
#include KIVRA_TEST_APPLICATION_HEADER
using TestApplication = KIVRA_TEST_APPLICATION;
#else
using TestApplication = QApplication;
#endif

int main(int argc, char** argv) {
    // Discovery runs the binary with no environment of ours: widgets need a platform even then.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each test process gets settings of its own: CTest runs the cases of one binary side by
    // side, and they must not read each other's recent files or dialog choices. Never the
    // user's own settings.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME", QDir::tempPath());
    QDir().mkpath(base);
    QTemporaryDir settings(base + QStringLiteral("/run-XXXXXX"));
    if (settings.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    // Nor the user's recovery copies: each process keeps its own, and finds none at its start.
    QTemporaryDir state(QDir::tempPath() + QStringLiteral("/kivra-state-XXXXXX"));
    if (state.isValid())
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    TestApplication application(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
