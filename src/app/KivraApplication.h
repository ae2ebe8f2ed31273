#pragma once

#include <QApplication>
#include <QString>
#include <atomic>

// The program's QApplication. A failure that escapes an event handler (memory running out, a
// broken precondition of the text buffer) ends only the operation it interrupted: the user is
// told what failed, and the program keeps running with every unsaved document.
class CKivraApplication : public QApplication {
    Q_OBJECT

public:
    CKivraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // What the user is told about a failure.
    static QString OutOfMemoryMessage();
    static QString FailureMessage(const char* what);

private:
    // Shows the message once the failed delivery has unwound. While one report waits or is
    // shown, further failures are not reported: a handler failing for every event of a storm, or
    // again inside the message box's own loop, must not stack up boxes.
    void ReportFailure(const QString& message);

    std::atomic<bool> reportPending{false};
};
