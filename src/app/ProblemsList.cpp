#include "ProblemsList.h"

#include <QFile>
#include <QWidget>
#include <vector>

#include "LineFindings.h"
#include "NetlistInsight.h"
#include "PlaceList.h"
#include "WinApp.h"

namespace {

std::vector<PlaceListEntry> EntriesOf(const NetlistAnalysis* analysis) {
    std::vector<PlaceListEntry> entries;
    if (analysis == nullptr)
        return entries;
    entries.reserve(analysis->findings.size());
    for (const NetlistFinding& finding : analysis->findings) {
        entries.push_back({QFile::decodeName(finding.place.file.c_str()), finding.place.line,
                           finding.place.column, FindingText(finding)});
    }
    return entries;
}

QPointer<CProblemsList>& Instance() {
    static QPointer<CProblemsList> instance;
    return instance;
}

}  // namespace

const QString& CProblemsList::Title() {
    static const QString title = QStringLiteral("Проблемы");
    return title;
}

void CProblemsList::Show(CSampleDoc& document) {
    CNetlistInsight* followed = CNetlistInsight::Of(document);
    std::shared_ptr<const NetlistAnalysis> analysis = followed->Current();
    QPointer<CProblemsList>& instance = Instance();
    if (!instance) {
        CWinApp* application = CWinApp::Instance();
        instance = new CProblemsList(application != nullptr ? application->MainWindow() : nullptr);
    }
    instance->Follow(followed);
    ShowPlaceList(Title(), EntriesOf(analysis.get()));
}

void CProblemsList::Follow(CNetlistInsight* followed) {
    if (insight == followed)
        return;
    if (insight)
        disconnect(insight, nullptr, this, nullptr);
    insight = followed;
    connect(followed, &CNetlistInsight::analysisChanged, this, [this] { Refresh(); });
}

void CProblemsList::Refresh() {
    if (!insight)
        return;
    std::shared_ptr<const NetlistAnalysis> analysis = insight->Analysis();
    // A closed window is not opened again by the next keystroke.
    if (!RefreshPlaceList(Title(), EntriesOf(analysis.get()))) {
        disconnect(insight, nullptr, this, nullptr);
        insight = nullptr;
    }
}
