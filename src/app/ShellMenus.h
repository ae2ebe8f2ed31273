#pragma once

#include <vector>

// The menus of the main window as data: menu 128 while no document is open, menu 129 while one
// is. The main window makes its menu bar from them.
struct MenuItem {
    enum Kind { Command, Separator, Popup, RecentFiles, WindowList };
    Kind kind;
    const char* text;  // UTF-8, with '&' before the mnemonic and '\t' before the key
    int id;
    std::vector<MenuItem> items;  // of a popup
};

std::vector<MenuItem> MainFrameMenu();  // 128
std::vector<MenuItem> DocumentMenu();   // 129
