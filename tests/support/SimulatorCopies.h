#pragma once

// The real simulator programs, copied into a program folder of a test's own: each program with
// the files it reads beside it and the folder the two share.

#include <QDir>
#include <QFile>
#include <QString>

#ifndef KIVRA_SIMULATORS_DIR
#error "KIVRA_SIMULATORS_DIR must name the folder of the simulator scripts"
#endif

namespace kivra_test {

// Copies the sub-folder ("Murin", "Talvex" or "common") of the simulators into programFolder,
// replacing what stands there under the same names; false when a file could not be copied.
inline bool CopySimulatorFolder(const QString& programFolder, const QString& name) {
    const QDir source(QStringLiteral(KIVRA_SIMULATORS_DIR "/") + name);
    const QString target = programFolder + QLatin1Char('/') + name;
    if (!QDir().mkpath(target))
        return false;
    for (const QString& file : source.entryList(QDir::Files)) {
        QFile::remove(target + QLatin1Char('/') + file);
        // The copy keeps the executable bits.
        if (!QFile::copy(source.filePath(file), target + QLatin1Char('/') + file))
            return false;
    }
    return true;
}

}  // namespace kivra_test
