#include "PlaceList.h"

#include "DocTemplate.h"
#include "FrameWnd.h"
#include "PlaceListDoc.h"
#include "ReportTravel.h"
#include "SampleView.h"
#include "TextPlaces.h"
#include "WinApp.h"

namespace {

CPlaceListDoc* OpenListTitled(const QString& title) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr)
        return nullptr;
    for (CDocument* document : application->Documents()) {
        auto* list = dynamic_cast<CPlaceListDoc*>(document);
        if (list != nullptr && list->GetTitle() == title)
            return list;
    }
    return nullptr;
}

// A new window of the text template: the list is a text document like the others, only not
// made by the template, which would name it as an untitled netlist.
CPlaceListDoc* NewList(const QString& title) {
    CWinApp* application = CWinApp::Instance();
    if (application == nullptr || application->Templates().empty())
        return nullptr;
    CDocTemplate* text = application->Templates().front().get();
    auto* list = new CPlaceListDoc();
    text->AddDocument(list);
    CFrameWnd* frame = text->CreateNewFrame(list);
    list->OnNewDocument();
    list->SetTitle(title);
    text->InitialUpdateFrame(frame, list, true);
    return list;
}

CSampleView* ListView(CSampleDoc& list) {
    return list.Views().empty() ? nullptr : dynamic_cast<CSampleView*>(list.Views().front());
}

void Reach(CPlaceListDoc& list, int index) {
    for (CView* view : list.Views()) {
        if (auto* listView = dynamic_cast<CSampleView*>(view)) {
            listView->MarkReachedReport(index, index);
            listView->BringIntoView({0, index});
        }
    }
    NotePlaceListUsed(list);
    // Copied: opening the file runs code that may refresh or close the list.
    const PlaceListEntry entry = list.Entries()[static_cast<std::size_t>(index)];
    if (CSampleView* view = ShowTextWindow(entry.file))
        SelectLineAtColumn(*view, entry.line, entry.column);
    ShowStatusText(entry.text);
}

}  // namespace

void ShowPlaceList(const QString& title, const std::vector<PlaceListEntry>& entries) {
    CPlaceListDoc* list = OpenListTitled(title);
    if (list == nullptr) {
        list = NewList(title);
        if (list == nullptr)
            return;
    } else {
        std::vector<CFrameWnd*> frames = list->Frames();
        if (!frames.empty())
            frames.front()->ActivateFrame();
    }
    list->TakeEntries(entries);
    NotePlaceListUsed(*list);
}

bool RefreshPlaceList(const QString& title, const std::vector<PlaceListEntry>& entries) {
    CPlaceListDoc* list = OpenListTitled(title);
    if (list == nullptr)
        return false;
    list->TakeEntries(entries);
    return true;
}

bool IsPlaceList(const CDocument* document) {
    return dynamic_cast<const CPlaceListDoc*>(document) != nullptr;
}

bool GoToPlaceListEntryAt(CSampleDoc& list, int line) {
    auto* places = dynamic_cast<CPlaceListDoc*>(&list);
    if (places == nullptr || line < 0 || line >= static_cast<int>(places->Entries().size()))
        return false;
    Reach(*places, line);
    return true;
}

CSampleDoc* CurrentPlaceList() {
    auto* list = dynamic_cast<CPlaceListDoc*>(PlaceListInUse());
    return list != nullptr && !list->Entries().empty() ? list : nullptr;
}

bool StepThroughPlaceList(bool forward) {
    auto* list = dynamic_cast<CPlaceListDoc*>(CurrentPlaceList());
    if (list == nullptr)
        return false;
    const int count = static_cast<int>(list->Entries().size());
    CSampleView* view = ListView(*list);
    const int reached = view != nullptr ? view->ReachedReportLine() : -1;
    int next;
    if (reached < 0 || reached >= count)
        next = forward ? 0 : count - 1;
    else
        next = (reached + (forward ? 1 : count - 1)) % count;
    Reach(*list, next);
    return true;
}
