#pragma once

#include <QString>

// The string of a command: the status-bar prompt, a line break, and the tool tip. Empty for a
// command without one.
QString CommandString(int id);
// The prompt shown in the status bar while the command's menu item or button is under the mouse.
QString StatusPrompt(int id);
// The tool tip of the command's toolbar button.
QString ToolTipText(int id);
