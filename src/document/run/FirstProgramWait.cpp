#include "FirstProgramWait.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <utility>

#include <signal.h>

#include "ProcessLauncher.h"
#include "RunProgressWindow.h"
#include "WaitCursor.h"
#include "WinApp.h"

namespace {

bool waiting = false;

// Marks the wait for as long as it lasts.
class CWaitingMark {
public:
    CWaitingMark() { waiting = true; }
    ~CWaitingMark() { waiting = false; }
    CWaitingMark(const CWaitingMark&) = delete;
    CWaitingMark& operator=(const CWaitingMark&) = delete;
};

// Refuses every close of the window it watches and reports it instead. The window would
// otherwise close its documents under the waiting run and leave the program running.
class CCloseRefusal : public QObject {
public:
    explicit CCloseRefusal(std::function<void()> onClose) : onClose(std::move(onClose)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close)
            return false;
        // Consuming the event is not enough: a close event that stays accepted closes.
        event->ignore();
        onClose();
        return true;
    }

private:
    std::function<void()> onClose;
};

QWidget* MainWindow() {
    CWinApp* application = CWinApp::Instance();
    return application != nullptr ? application->MainWindow() : nullptr;
}

}  // namespace

WaitEnd WaitForFirstProgram(QProcess& program) {
    CWaitingMark mark;
    QWidget* mainWindow = MainWindow();
    QPointer<CRunProgressWindow> window = new CRunProgressWindow(mainWindow);
    window->show();

    QEventLoop loop;
    QTimer killer;
    killer.setSingleShot(true);
    bool stopRequested = false;
    bool closeRequested = false;
    // A stop reaches the program's whole group: the simulator it runs as well.
    const qint64 group = program.processId();
    auto stop = [group, &killer, &stopRequested] {
        if (stopRequested)
            return;
        stopRequested = true;
        SignalProcessGroup(group, SIGTERM);
        // A program that ignores the request is ended all the same.
        killer.start(2000);
    };
    QObject::connect(&program, &QProcess::readyRead, window,
                     [&program, window] { window->AppendOutput(program.readAll()); });
    QObject::connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&killer, &QTimer::timeout, &program,
                     [group] { SignalProcessGroup(group, SIGKILL); });
    QObject::connect(window, &CRunProgressWindow::StopRequested, &program, stop);
    CCloseRefusal refusal([&closeRequested, &stop] {
        closeRequested = true;
        stop();
    });
    QPointer<QWidget> watched = mainWindow;
    if (watched != nullptr)
        watched->installEventFilter(&refusal);
    {
        CWaitCursor wait;
        if (program.state() != QProcess::NotRunning)
            loop.exec();
    }
    if (watched != nullptr)
        watched->removeEventFilter(&refusal);
    delete window;  // null when its owner went first

    if (program.state() != QProcess::NotRunning) {
        // Only the application's closing ends every event loop while the program still runs.
        SignalProcessGroup(group, SIGKILL);
        program.waitForFinished(1000);
        return WaitEnd::Abandoned;
    }
    // What the stopped program started and left behind goes with it.
    if (stopRequested)
        SignalProcessGroup(group, SIGKILL);
    if (closeRequested)
        return WaitEnd::Closing;
    if (stopRequested)
        return WaitEnd::Stopped;
    return program.exitStatus() == QProcess::CrashExit ? WaitEnd::Crashed : WaitEnd::Exited;
}

bool IsWaitingForFirstProgram() {
    return waiting;
}

void CloseMainWindowAgain() {
    QWidget* mainWindow = MainWindow();
    if (mainWindow == nullptr)
        return;
    // Queued, so that it runs from the loop that called the run, after the run has returned.
    QMetaObject::invokeMethod(
        mainWindow, [mainWindow] { mainWindow->close(); }, Qt::QueuedConnection);
}
