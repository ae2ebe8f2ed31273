#include "LineFindings.h"

#include <algorithm>

QString FindingText(const NetlistFinding& finding) {
    const QString text = QString::fromStdString(finding.text);
    return finding.level == FindingLevel::Error ? QStringLiteral("ошибка: ") + text
                                                : QStringLiteral("предупреждение: ") + text;
}

CLineFindings::CLineFindings(const NetlistAnalysis& analysis, const std::string& path) {
    for (const NetlistFinding& finding : analysis.findings) {
        if (finding.place.file != path)
            continue;
        Line& line = lines[finding.place.line];
        const bool error = finding.level == FindingLevel::Error;
        // The errors of a line are told first: they are what the mark shows.
        QString& texts = error ? line.errors : line.warnings;
        if (!texts.isEmpty())
            texts += QStringLiteral("; ");
        texts += FindingText(finding);
        line.level = std::max(line.level, error ? 2 : 1);
    }
}

int CLineFindings::LevelOf(int line) const {
    auto found = lines.find(line);
    return found == lines.end() ? 0 : found->second.level;
}

QString CLineFindings::TextOf(int line) const {
    auto found = lines.find(line);
    if (found == lines.end())
        return QString();
    const Line& texts = found->second;
    if (texts.errors.isEmpty() || texts.warnings.isEmpty())
        return texts.errors + texts.warnings;
    return texts.errors + QStringLiteral("; ") + texts.warnings;
}
