#include "ReportTravel.h"

#include <cstdint>
#include <memory>

#include "LogErrorNavigation.h"
#include "PlaceList.h"
#include "SampleDoc.h"

namespace {

bool Same(const std::weak_ptr<const void>& a, const std::weak_ptr<const void>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}

// The list chosen last, and the log as it was then: a log that is another document or another
// text since was shown after the list.
struct ChosenList {
    CSampleDoc* list = nullptr;
    std::weak_ptr<const void> listLifetime;
    std::weak_ptr<const void> logLifetime;
    std::uint64_t logGeneration = 0;
};

ChosenList& Chosen() {
    static ChosenList chosen;
    return chosen;
}

}  // namespace

void NotePlaceListUsed(CSampleDoc& list) {
    ChosenList& chosen = Chosen();
    chosen.list = &list;
    chosen.listLifetime = list.Lifetime();
    CSampleDoc* log = RunLogDocument();
    chosen.logLifetime = log != nullptr ? log->Lifetime() : std::weak_ptr<const void>();
    chosen.logGeneration = log != nullptr ? log->buffer.Generation() : 0;
}

void NoteRunLogUsed() {
    Chosen() = ChosenList();
}

CSampleDoc* PlaceListInUse() {
    ChosenList& chosen = Chosen();
    if (chosen.list == nullptr || chosen.listLifetime.expired())
        return nullptr;
    CSampleDoc* log = RunLogDocument();
    const std::weak_ptr<const void> logLifetime =
        log != nullptr ? log->Lifetime() : std::weak_ptr<const void>();
    if (!Same(logLifetime, chosen.logLifetime) ||
        (log != nullptr && log->buffer.Generation() != chosen.logGeneration))
        return nullptr;
    return chosen.list;
}

bool StepToNextReport(bool forward) {
    if (CurrentPlaceList() != nullptr)
        return StepThroughPlaceList(forward);
    return StepToLogError(forward);
}

bool HasReportToStepTo() {
    return CurrentPlaceList() != nullptr || RunLogHasErrors();
}
