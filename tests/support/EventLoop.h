#pragma once

// Running the event loop from a test: once through what is queued, or until a condition holds.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

namespace kivra_test {

// Runs what the event loop would: queued refreshes, the deletion of closed windows, and what
// those deletions queue in turn.
inline void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Lets the event loop run, where there is one, until the condition holds or the time is up;
// looks again every pollMilliseconds. Whether the condition holds in the end.
template <typename Condition>
bool WaitFor(Condition condition, int milliseconds = 5000, int pollMilliseconds = 5) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return condition();
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(static_cast<unsigned long>(pollMilliseconds));
    }
    return true;
}

}  // namespace kivra_test
