#include "CmdUI.h"

void CCmdUI::Enable(bool on) {
    enabled = on;
    ApplyEnable(on);
}

void CCmdUI::SetCheck(int value) {
    check = value;
    ApplyCheck(value);
}

void CCmdUI::SetText(std::string_view value) {
    text = std::string(value);
    ApplyText(*text);
}
