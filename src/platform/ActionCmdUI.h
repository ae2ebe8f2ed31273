#pragma once

#include <string>

#include "CmdUI.h"

class QAction;

// The update state of a command shown as a QAction (menu item, toolbar button): what the update
// handlers say goes straight onto the action. Text is UTF-8. Make one per update pass.
class CActionCmdUI : public CCmdUI {
public:
    CActionCmdUI(int id, QAction& action) : CCmdUI(id), action(action) {}

protected:
    void ApplyEnable(bool on) override;
    void ApplyCheck(int check) override;
    void ApplyText(const std::string& text) override;

private:
    QAction& action;
};
