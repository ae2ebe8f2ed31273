#pragma once

#include <QObject>
#include <QPointer>

class CNetlistInsight;
class CSampleDoc;

// The "Проблемы" window: every finding of a netlist's analysis, the netlist's own and its
// includes', as a list of places. While the window is open it follows the analysis of the
// netlist it was opened for; it lets go once the window is closed.
class CProblemsList : public QObject {
public:
    static const QString& Title();
    // Lists the findings of the text as it is now and brings the window to the front.
    static void Show(CSampleDoc& document);

private:
    explicit CProblemsList(QObject* parent) : QObject(parent) {}
    void Follow(CNetlistInsight* followed);
    void Refresh();

    QPointer<CNetlistInsight> insight;
};
