#include "CmdTarget.h"

#include "CmdUI.h"
#include "CommandTable.h"

namespace {

// No chain of targets is this long; a longer walk has come round a loop.
constexpr int kLongestChain = 32;

template <class Visit>
CCmdTarget* FirstOnChain(CCmdTarget* first, Visit visit) {
    int steps = 0;
    for (CCmdTarget* target = first; target != nullptr && steps < kLongestChain;
         target = target->NextCommandTarget(), ++steps) {
        if (visit(*target))
            return target;
    }
    return nullptr;
}

}  // namespace

const CCommandTable& CCmdTarget::ClassCommands() {
    static const CCommandTable table;
    return table;
}

const CCommandTable& CCmdTarget::Commands() const {
    return ClassCommands();
}

bool CCmdTarget::OnCmdMsg(int id) {
    const CCommandTable::Handler* handler = Commands().FindHandler(id);
    if (handler == nullptr)
        return false;
    (*handler)(*this, id);
    return true;
}

bool CCmdTarget::OnUpdateCmdUI(CCmdUI& ui) {
    const CCommandTable::UpdateHandler* handler = Commands().FindUpdateHandler(ui.Id());
    if (handler == nullptr)
        return false;
    (*handler)(*this, ui);
    return true;
}

bool CCmdTarget::HasCommandHandler(int id) const {
    return Commands().FindHandler(id) != nullptr;
}

bool CCmdTarget::RouteCommand(int id) {
    return FirstOnChain(this, [id](CCmdTarget& target) { return target.OnCmdMsg(id); }) != nullptr;
}

bool CCmdTarget::RouteUpdateCommandUI(CCmdUI& ui, bool disableIfNoHandler) {
    const bool answered = FirstOnChain(this, [&ui](CCmdTarget& target) {
                              return target.OnUpdateCmdUI(ui);
                          }) != nullptr;
    if (disableIfNoHandler && !ui.EnabledState().has_value()) {
        const int id = ui.Id();
        ui.Enable(FirstOnChain(this, [id](CCmdTarget& target) {
                      return target.HasCommandHandler(id);
                  }) != nullptr);
    }
    return answered;
}

bool CCmdTarget::ExecuteCommand(int id) {
    CCmdUI probe(id);
    RouteUpdateCommandUI(probe);
    if (!probe.IsEnabled())
        return false;
    return RouteCommand(id);
}
