#include "StructurePanel.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <iterator>
#include <algorithm>
#include <vector>

#include "ChildFrame.h"
#include "CorvelTextView.h"
#include "MainFrame.h"
#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "SettingsStore.h"
#include "TextPlaces.h"

namespace {

constexpr char kVisibleKey[] = "MainWindow/StructurePanel";
constexpr int kLineRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kFileRole = Qt::UserRole + 2;  // an included file's path; empty for the netlist

// The headings in the order they are listed; the title and .end stand on their own.
struct Heading {
    OutlineKind kind;
    const char* text;
};
constexpr Heading kHeadings[] = {
    {OutlineKind::Subcircuit, "Подсхемы"}, {OutlineKind::Model, "Модели"},
    {OutlineKind::Parameter, "Параметры"}, {OutlineKind::Include, "Включения"},
    {OutlineKind::Analysis, "Анализы"},    {OutlineKind::Control, "Блоки .control"},
};

QTreeWidgetItem* EntryItem(const OutlineItem& entry, const QString& key) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(entry.label)));
    item->setData(0, kLineRole, entry.line);
    item->setData(0, kKeyRole, key);
    const QString file = FilePathOf(entry.file);
    item->setData(0, kFileRole, file);
    item->setToolTip(0, file.isEmpty() ? QStringLiteral("Строка %1").arg(entry.line + 1)
                                       : QStringLiteral("%1, строка %2").arg(file).arg(entry.line + 1));
    return item;
}

QTreeWidgetItem* HeadingItem(const char* text) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromUtf8(text)));
    item->setData(0, kLineRole, -1);
    item->setData(0, kKeyRole, item->text(0));
    QFont font = item->font(0);
    font.setBold(true);
    item->setFont(0, font);
    return item;
}

// The top-level items: the title, the headings that have entries, in their own order whatever
// order the netlist names things in, and .end. An entry inside a subcircuit stands under it.
std::vector<QTreeWidgetItem*> OutlineItems(const std::vector<OutlineItem>& outline) {
    constexpr std::size_t kCount = std::size(kHeadings);
    QTreeWidgetItem* headings[kCount] = {};
    std::vector<QTreeWidgetItem*> items(outline.size(), nullptr);
    QTreeWidgetItem* title = nullptr;
    QTreeWidgetItem* end = nullptr;
    for (std::size_t index = 0; index < outline.size(); ++index) {
        const OutlineItem& entry = outline[index];
        const QString label = QString::fromStdString(entry.label);
        QTreeWidgetItem* parent = entry.parent >= 0 && entry.parent < static_cast<int>(index)
                                      ? items[entry.parent]
                                      : nullptr;
        if (parent == nullptr && entry.kind == OutlineKind::Title) {
            title = items[index] = EntryItem(entry, label);
            continue;
        }
        if (parent == nullptr && entry.kind == OutlineKind::End) {
            end = items[index] = EntryItem(entry, label);
            continue;
        }
        if (parent == nullptr) {
            const auto* heading = std::find_if(std::begin(kHeadings), std::end(kHeadings),
                                               [&](const Heading& h) { return h.kind == entry.kind; });
            if (heading == std::end(kHeadings))
                continue;  // the elements of the netlist itself are no part of its outline
            QTreeWidgetItem*& made = headings[heading - std::begin(kHeadings)];
            if (made == nullptr)
                made = HeadingItem(heading->text);
            parent = made;
        }
        items[index] = EntryItem(entry, parent->data(0, kKeyRole).toString() + QLatin1Char('/') + label);
        parent->addChild(items[index]);
    }
    std::vector<QTreeWidgetItem*> top;
    if (title != nullptr)
        top.push_back(title);
    for (QTreeWidgetItem* heading : headings) {
        if (heading != nullptr)
            top.push_back(heading);
    }
    if (end != nullptr)
        top.push_back(end);
    return top;
}

bool SameOutline(const std::vector<OutlineItem>& a, const std::vector<OutlineItem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const OutlineItem& x, const OutlineItem& y) {
                          return x.kind == y.kind && x.line == y.line && x.parent == y.parent &&
                                 x.label == y.label && x.file == y.file;
                      });
}

}  // namespace

bool CStructurePanel::KeptVisible() {
    return CSettingsStore().value(QLatin1String(kVisibleKey), false).toBool();
}

void CStructurePanel::KeepVisible(bool visible) {
    CSettingsStore().setValue(QLatin1String(kVisibleKey), visible);
}

namespace {

// The outline asks for less room than a list's default: the window starts narrow, and the text
// beside it needs the width more. The user may drag it wider.
class OutlineTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    QSize sizeHint() const override { return {180, 400}; }
};

}  // namespace

CStructurePanel::CStructurePanel(CMainFrame& owner)
    : QDockWidget(QStringLiteral("Структура"), &owner), frame(owner) {
    setObjectName(QStringLiteral("structurePanel"));
    tree = new OutlineTree(this);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->header()->setStretchLastSection(true);
    // Only a click chooses: the panel never keeps the focus the text had.
    tree->setFocusPolicy(Qt::ClickFocus);
    setWidget(tree);
    connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { GoTo(item); });
    connect(tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { GoTo(item); });
    // A hidden panel is filled when it shows.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            Rebuild();
    });
}

void CStructurePanel::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    KeepVisible(false);
}

void CStructurePanel::FollowActiveWindow() {
    CChildFrame* child = frame.ActiveChild();
    auto* document = dynamic_cast<CSampleDoc*>(child != nullptr ? child->GetActiveDocument()
                                                                : nullptr);
    CNetlistInsight* now = document != nullptr ? CNetlistInsight::Of(*document) : nullptr;
    if (now != nullptr && !now->Analysed())
        now = nullptr;
    if (now != insight) {
        if (insight)
            disconnect(insight, nullptr, this, nullptr);
        insight = now;
        if (now != nullptr)
            connect(now, &CNetlistInsight::analysisChanged, this, [this] { Rebuild(); });
    }
    Rebuild();
}

QHash<QString, bool> CStructurePanel::ExpansionStates() const {
    QHash<QString, bool> states;
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it)
        states.insert((*it)->data(0, kKeyRole).toString(), (*it)->isExpanded());
    return states;
}

void CStructurePanel::Rebuild() {
    if (isHidden())
        return;
    CSampleDoc* document = nullptr;
    if (insight) {
        CChildFrame* child = frame.ActiveChild();
        document = dynamic_cast<CSampleDoc*>(child != nullptr ? child->GetActiveDocument()
                                                              : nullptr);
    }
    tree->setUpdatesEnabled(false);
    Fill(document);
    tree->setUpdatesEnabled(true);
}

void CStructurePanel::Fill(CSampleDoc* document) {
    const bool sameDocument = document == shownDocument && document != nullptr;
    std::shared_ptr<const NetlistAnalysis> analysis = insight ? insight->Analysis() : nullptr;
    // Typing within a line leaves the outline as it was, and a large one is not built again.
    if (sameDocument && analysis != nullptr && SameOutline(analysis->outline, shownOutline))
        return;
    const QHash<QString, bool> before = ExpansionStates();
    const int scrolled = tree->verticalScrollBar()->value();
    shownDocument = document;
    shownOutline.clear();
    tree->clear();
    if (analysis == nullptr)
        return;
    shownOutline = analysis->outline;
    for (QTreeWidgetItem* item : OutlineItems(analysis->outline))
        tree->addTopLevelItem(item);
    // A new document opens its headings; the same one keeps what the user opened and closed.
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        const bool isHeading = (*it)->data(0, kLineRole).toInt() < 0;
        (*it)->setExpanded(sameDocument
                               ? before.value((*it)->data(0, kKeyRole).toString(), isHeading)
                               : isHeading);
    }
    if (sameDocument)
        tree->verticalScrollBar()->setValue(scrolled);
}

void CStructurePanel::GoTo(QTreeWidgetItem* item) {
    const int line = item != nullptr ? item->data(0, kLineRole).toInt() : -1;
    if (line < 0)
        return;
    // What an included file defines opens that file.
    const QString file = item->data(0, kFileRole).toString();
    if (!file.isEmpty()) {
        if (CSampleView* shown = ShowTextWindow(file)) {
            SelectLineAtColumn(*shown, line, 0);
            shown->setFocus();
        }
        return;
    }
    auto* view = dynamic_cast<CCorvelTextView*>(frame.GetActiveView());
    if (view == nullptr || view->GetDocument() != shownDocument)
        return;
    SelectLineAtColumn(*view, line, 0);
    view->setFocus();
}
