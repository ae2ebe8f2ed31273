#pragma once

#include <QString>
#include <string>
#include <unordered_map>

#include "NetlistAnalysis.h"

// The findings of one analysis that stand in one file, by line: what the margin marks and what
// the status bar says while the caret is on the line. Built once per analysis, so that painting
// looks a line up rather than walking the findings.
class CLineFindings {
public:
    CLineFindings() = default;
    CLineFindings(const NetlistAnalysis& analysis, const std::string& path);

    // 0 for none, 1 for a warning, 2 for an error: the worst finding of the line.
    int LevelOf(int line) const;
    // The texts of the line's findings, one after another; empty when it has none.
    QString TextOf(int line) const;
    bool Empty() const { return lines.empty(); }

private:
    struct Line {
        int level = 0;
        QString errors;
        QString warnings;
    };
    std::unordered_map<int, Line> lines;
};

// "ошибка: TEXT" or "предупреждение: TEXT".
QString FindingText(const NetlistFinding& finding);
