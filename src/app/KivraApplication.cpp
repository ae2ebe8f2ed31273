#include "KivraApplication.h"

#include <QMetaObject>
#include <exception>
#include <new>

#include "ModalHost.h"

CKivraApplication::CKivraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString CKivraApplication::OutOfMemoryMessage() {
    return QStringLiteral("Не хватает памяти для выполнения операции.");
}

QString CKivraApplication::FailureMessage(const char* what) {
    return QStringLiteral("Операция прервана из-за внутренней ошибки: ") + QString::fromUtf8(what);
}

bool CKivraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        ReportFailure(OutOfMemoryMessage());
    } catch (const std::exception& failure) {
        ReportFailure(FailureMessage(failure.what()));
    } catch (...) {
        ReportFailure(FailureMessage("unknown exception"));
    }
    return false;
}

void CKivraApplication::ReportFailure(const QString& message) {
    if (reportPending.exchange(true))
        return;
    // Queued to the application's own thread: the handler that failed may have left its widget
    // half way, and a modal loop must not run inside it. Events of other threads come here too.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            // Should the box itself fail, the reports stay off rather than fail in a loop.
            AfxMessageBox(message, MB_OK | MB_ICONHAND);
            reportPending = false;
        },
        Qt::QueuedConnection);
}
