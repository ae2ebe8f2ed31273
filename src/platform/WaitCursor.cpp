#include "WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor()
    : shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor() {
    if (shown)
        QGuiApplication::restoreOverrideCursor();
}
