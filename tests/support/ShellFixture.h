#pragma once

// The program started as from the desktop, with its main window, for tests of documents in it:
// settings of their own, a folder for their files, scripted dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

#include "SampleApp.h"
#include "ScriptedModalHost.h"

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

    // Runs what the event loop would: queued refreshes and the deletion of closed windows.
    static void Settle() {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ScriptedModalHost host;
    QTemporaryDir settingsFolder;
    QTemporaryDir folder;
    std::unique_ptr<CSampleApp> application;
};

}  // namespace kivra_test
