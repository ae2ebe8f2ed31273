#pragma once

// The program started as from the desktop, with its main window, for tests of documents in it:
// settings of their own, a folder for their files, scripted dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

#include "EventLoop.h"
#include "SampleApp.h"
#include "ScriptedModalHost.h"
#include "TestFiles.h"

namespace kivra_test {

// A window's title as the desktop shows it: Qt's "[*]" is "*" while the window is marked
// modified, and nothing otherwise.
inline QString ShownTitle(const QWidget& window) {
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"),
                         window.isWindowModified() ? QStringLiteral("*") : QString());
}

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test keeps its settings apart: test processes run side by side.
        ASSERT_TRUE(settingsFolder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        ASSERT_TRUE(folder.isValid());
        application = std::make_unique<CSampleApp>();
        ASSERT_TRUE(application->InitInstance());
        Settle();
    }

    void TearDown() override {
        application.reset();
        Settle();
    }

    // A file of the test's folder holding these bytes; its path.
    QString MakeFile(const QString& name, const QByteArray& bytes = "R1 1 0 1k\r\n") {
        QString path = folder.filePath(name);
        WriteBytes(path, bytes);
        return path;
    }

    ScriptedModalHost host;
    QTemporaryDir settingsFolder;
    QTemporaryDir folder;
    std::unique_ptr<CSampleApp> application;
};

}  // namespace kivra_test
