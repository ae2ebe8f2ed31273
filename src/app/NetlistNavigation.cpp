#include "NetlistNavigation.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NetlistInsight.h"
#include "PlaceList.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "TextEncoding.h"
#include "TextPlaces.h"
#include "WinApp.h"

namespace {

// Where F12 was pressed. The document is reached while it lives; once closed, its file opens
// again.
struct BackPlace {
    CSampleDoc* document = nullptr;
    std::weak_ptr<const void> lifetime;
    QString path;
    TextPosition caret;
};

std::vector<BackPlace>& BackStack() {
    static std::vector<BackPlace> places;
    return places;
}

// Names end at blanks, brackets, quotes, '=' and the operators of an expression; '+' and '-'
// stay, for ports such as "in+".
bool IsNameByte(char byte) {
    return static_cast<unsigned char>(byte) > ' ' &&
           std::strchr("=(){}[],;'\"*/<>!&|^?", byte) == nullptr;
}

// The bytes of the name around (or just before) the column; empty when there is none.
std::string_view NameAt(std::string_view line, int column, int* start = nullptr) {
    int from = std::clamp(column, 0, static_cast<int>(line.size()));
    if ((from == static_cast<int>(line.size()) || !IsNameByte(line[from])) && from > 0 &&
        IsNameByte(line[from - 1]))
        --from;
    if (from >= static_cast<int>(line.size()) || !IsNameByte(line[from]))
        return {};
    int to = from;
    while (from > 0 && IsNameByte(line[from - 1]))
        --from;
    while (to < static_cast<int>(line.size()) && IsNameByte(line[to]))
        ++to;
    if (start != nullptr)
        *start = from;
    return line.substr(from, to - from);
}

std::string_view LineOf(const CCorvelTextView& view, int line) {
    return {view.LineText(line), static_cast<std::size_t>(view.LineLength(line))};
}

struct Lookup {
    // The document's own analysis first, then those of the open netlists that include its file:
    // they know where the names of an included file are used.
    std::vector<std::shared_ptr<const NetlistAnalysis>> analyses;
    NetlistPlace at;
    std::string path;  // the document's, as the analyses name it
};

void AddIncluders(const CSampleDoc& document, Lookup& lookup) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return;
    for (CDocument* open : application->Documents()) {
        auto* other = dynamic_cast<CSampleDoc*>(open);
        if (other == nullptr || other == &document || IsPlaceList(other))
            continue;
        // The last analysis: asking each netlist for a fresh one could hold up the window.
        std::shared_ptr<const NetlistAnalysis> analysis = CNetlistInsight::Of(*other)->Analysis();
        if (analysis != nullptr && analysis->ReadsFile(lookup.path))
            lookup.analyses.push_back(std::move(analysis));
    }
}

// The analyses of the view's text now, and the place of its caret, put on the name when the
// caret stands just after it.
Lookup LookupAt(CSampleView& view) {
    Lookup lookup;
    CSampleDoc* document = view.GetSampleDocument();
    if (document == nullptr || IsPlaceList(document))
        return lookup;
    CNetlistInsight* insight = CNetlistInsight::Of(*document);
    lookup.path = insight->AnalysedPath();
    if (std::shared_ptr<const NetlistAnalysis> own = insight->Current())
        lookup.analyses.push_back(std::move(own));
    AddIncluders(*document, lookup);
    const TextPosition caret = view.CaretPosition();
    const std::string_view line = LineOf(view, caret.y);
    const bool onName = caret.x < static_cast<int>(line.size()) && IsNameByte(line[caret.x]);
    const bool afterName =
        caret.x > 0 && caret.x <= static_cast<int>(line.size()) && IsNameByte(line[caret.x - 1]);
    lookup.at = {lookup.path, caret.y, !onName && afterName ? caret.x - 1 : caret.x};
    return lookup;
}

// The window of a place: the view's own document when the place is in it.
CSampleView* ShowPlaceFile(CSampleView& from, const Lookup& lookup, const std::string& file) {
    if (file == lookup.path && from.GetSampleDocument() != nullptr)
        return ShowTextWindow(*from.GetSampleDocument());
    return ShowTextWindow(FilePathOf(file));
}

QString DecodedLine(std::string_view line) {
    return TextCodec::Decode(TextCodec::Detect(line), line).trimmed();
}

}  // namespace

void GoToDefinition(CSampleView& view) {
    const Lookup lookup = LookupAt(view);
    NetlistPlace definition;
    const bool found = std::any_of(
        lookup.analyses.begin(), lookup.analyses.end(),
        [&](const auto& analysis) { return analysis->FindDefinition(lookup.at, definition); });
    if (!found) {
        ShowStatusText(QStringLiteral("Определение не найдено"));
        return;
    }
    CSampleDoc* document = view.GetSampleDocument();
    BackStack().push_back(
        {document, document->Lifetime(), document->GetPathName(), view.CaretPosition()});
    CSampleView* target = ShowPlaceFile(view, lookup, definition.file);
    if (target == nullptr)
        return;
    const int line = std::clamp(definition.line, 0, std::max(0, target->LineTotal() - 1));
    int start = definition.column;
    const std::string_view name = NameAt(LineOf(*target, line), definition.column, &start);
    SelectSpan(*target, line, name.empty() ? definition.column : start,
               static_cast<int>(name.size()));
}

bool CanGoBackFromDefinition() {
    return !BackStack().empty();
}

bool GoBackFromDefinition() {
    std::vector<BackPlace>& places = BackStack();
    while (!places.empty()) {
        const BackPlace place = places.back();
        places.pop_back();
        CSampleView* view = nullptr;
        if (!place.lifetime.expired())
            view = ShowTextWindow(*place.document);
        else if (QFileInfo::exists(place.path))
            view = ShowTextWindow(place.path);
        if (view == nullptr)
            continue;  // a text that is gone: the place before it
        SelectSpan(*view, place.caret.y, place.caret.x, 0);
        return true;
    }
    return false;
}

void ShowUsages(CSampleView& view) {
    const Lookup lookup = LookupAt(view);
    const std::string_view name = NameAt(LineOf(view, lookup.at.line), lookup.at.column);
    // The analysis that sees the most of them: an includer sees the uses in its own text too.
    std::vector<NetlistUsage> usages;
    for (const auto& analysis : lookup.analyses) {
        std::vector<NetlistUsage> found = analysis->FindUsages(lookup.at);
        if (found.size() > usages.size())
            usages = std::move(found);
    }
    if (name.empty() || usages.empty()) {
        ShowStatusText(QStringLiteral("Использования не найдены"));
        return;
    }
    std::vector<PlaceListEntry> entries;
    entries.reserve(usages.size());
    for (const NetlistUsage& usage : usages) {
        entries.push_back({FilePathOf(usage.place.file), usage.place.line, usage.place.column,
                           DecodedLine(usage.lineText)});
    }
    ShowPlaceList(QStringLiteral("Использования: ") + TextCodec::Decode(view.Encoding(), name),
                  entries);
}
