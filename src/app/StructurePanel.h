#pragma once

#include <QDockWidget>
#include <QPointer>
#include <QHash>
#include <QString>
#include <vector>

#include "NetlistAnalysis.h"

class CMainFrame;
class CNetlistInsight;
class CSampleDoc;
class QTreeWidget;
class QTreeWidgetItem;

// The "Структура" panel: the outline of the active netlist window, its top-level entries under
// headings by kind and each subcircuit's entries under it. A click on an entry selects its line
// in the active view and gives the view the focus. The outline follows the active window and
// every new analysis; a rebuild keeps what was expanded and where the list was scrolled, and
// never takes the focus from the text.
class CStructurePanel : public QDockWidget {
    Q_OBJECT
public:
    // Whether the panel shows, as the settings keep it between sessions. Hidden at first: the
    // window starts narrow, and the text needs the room more.
    static bool KeptVisible();
    static void KeepVisible(bool visible);

    explicit CStructurePanel(CMainFrame& frame);

    QTreeWidget* Tree() const { return tree; }
    // The netlist of the active window; the panel follows it from now on.
    void FollowActiveWindow();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Rebuild();
    void Fill(CSampleDoc* shown);
    void GoTo(QTreeWidgetItem* item);
    // Whether each entry is expanded, by its key: a heading's text, or the keys of the items it
    // stands under and its label.
    QHash<QString, bool> ExpansionStates() const;

    CMainFrame& frame;
    QTreeWidget* tree = nullptr;
    QPointer<CNetlistInsight> insight;
    // The document shown now, only ever compared: it may be gone.
    const void* shownDocument = nullptr;
    std::vector<OutlineItem> shownOutline;
};
