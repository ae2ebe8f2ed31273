#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "LineFindings.h"

class CNetlistInsight;
class CSampleDoc;
class CSampleView;

// What one view shows of its netlist's findings: the marks in its margin, repainted with each
// new analysis, and the text of the caret line's findings in the status bar while the view is
// the active one. The text is shown when the caret comes to such a line or the line's findings
// change, once; it goes when the caret leaves the line, unless another message took its place.
class CViewFindings : public QObject {
public:
    CViewFindings(CSampleView& view, CSampleDoc& document);

    int LevelOf(int line) const { return lines.LevelOf(line); }

private:
    void TakeAnalysis();
    // On the idle pass: a look at the caret's line, and nothing more when it is as before.
    void FollowCaret();

    CSampleView& view;
    QPointer<CNetlistInsight> insight;
    CLineFindings lines;
    int caretLine = -1;
    QString shownText;
};
