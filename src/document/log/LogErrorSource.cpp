#include "LogErrorSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "NetlistIncludes.h"
#include "TextLines.h"

QString FileHoldingLine(const QString& netlist, const LogError& error) {
    if (error.echoedLine.empty())
        return netlist;
    const CFileLines netlistLines(netlist);
    if (HoldsEchoedLine(netlistLines.Lines(), error.netlistLine, error.echoedLine))
        return netlist;
    // The simulator runs in the netlist's folder: relative names start from there.
    const QDir folder = QFileInfo(netlist).absoluteDir();
    for (const std::string& name : IncludedFiles(netlistLines.Lines())) {
        const QString path =
            folder.absoluteFilePath(QFile::decodeName(QByteArray::fromStdString(name)));
        if (HoldsEchoedLine(CFileLines(path).Lines(), error.netlistLine, error.echoedLine))
            return path;
    }
    return netlist;
}

