#pragma once

class CCmdUI;
class CCommandTable;

// Something commands are sent to. Each class lists its handlers in one table (CCommandTable)
// that is searched before the table of its base class; a class with handlers of its own defines
// a static ClassCommands() built on its base's and returns it from Commands().
//
// A command goes to the first target (the active view) and then along NextCommandTarget() until
// some target handles it. Update handlers are found the same way; a command that no target on
// the way handles is disabled.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // This target alone: runs its handler for the command; false when it has none.
    virtual bool OnCmdMsg(int id);
    // This target alone: runs its update handler for ui.Id(); false when it has none.
    virtual bool OnUpdateCmdUI(CCmdUI& ui);
    // This target alone: whether it has a handler for the command.
    virtual bool HasCommandHandler(int id) const;

    // The target behind this one; null ends the chain. The owner of a link clears it before the
    // target it points to goes away.
    virtual CCmdTarget* NextCommandTarget() const { return next; }
    void SetNextCommandTarget(CCmdTarget* target) { next = target; }

    // Sends the command along the chain from this target; true when some target handled it.
    bool RouteCommand(int id);
    // Asks the update handlers along the chain from this target; the first one found answers.
    // When none said whether the command is enabled, and disableIfNoHandler is set (menus and
    // toolbar; the status bar leaves its panes alone), the command is enabled exactly when some
    // target on the chain handles it. True when an update handler answered. Give each pass a
    // fresh CCmdUI: one that was enabled before counts as answered.
    bool RouteUpdateCommandUI(CCmdUI& ui, bool disableIfNoHandler = true);
    // A command from a menu, the toolbar or a key: refused (false) while its update state is
    // disabled, else routed.
    bool ExecuteCommand(int id);

    // The handlers of this class: none.
    static const CCommandTable& ClassCommands();

protected:
    // The table of the object's class; every class with a table of its own overrides this.
    virtual const CCommandTable& Commands() const;

private:
    CCmdTarget* next = nullptr;
};
