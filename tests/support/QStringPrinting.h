#pragma once

#include <QString>
#include <ostream>

// Failed assertions print a QString as its quoted text rather than as bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
