#include "ActionCmdUI.h"

#include <QAction>
#include <QString>

void CActionCmdUI::ApplyEnable(bool on) {
    action.setEnabled(on);
}

void CActionCmdUI::ApplyCheck(int check) {
    // A QAction has no indeterminate state: it shows as checked.
    action.setCheckable(true);
    action.setChecked(check != CCmdUI::Unchecked);
}

void CActionCmdUI::ApplyText(const std::string& text) {
    action.setText(QString::fromStdString(text));
}
