#pragma once

// Command, status-pane and child-window identifiers. The numbers are fixed: menus, key tables,
// toolbar and status bar refer to them, and the framework's standard commands keep their usual
// values.

// --- No command: separators in menus, toolbar and status bar
constexpr int ID_SEPARATOR = 0;

// --- The program's own commands
constexpr int ID_DOC_READONLY = 32795;     // toggles the document's read-only state
constexpr int ID_ANALYSIS_START = 32800;   // F9: start analysis
constexpr int ID_HELP_CONTENTS = 32802;    // open the help file
constexpr int ID_HELP_USER_GUIDE = 32803;  // open the user guide
constexpr int ID_HELP_WEBSITE = 32804;     // open the program's web page
constexpr int ID_ANALYSIS_NEXT_ERROR = 32805;      // F4: the next report of the run's log
constexpr int ID_ANALYSIS_PREVIOUS_ERROR = 32806;  // Shift+F4: the previous one
constexpr int ID_VIEW_FONT = 32809;        // choose the document's font
constexpr int ID_VIEW_OTHER_ENCODING = 32810;  // show the document in the other encoding

// --- Netlist structure: the panel, definitions, usages, completion and checks
constexpr int ID_VIEW_STRUCTURE = 32820;        // show or hide the "Структура" panel
constexpr int ID_VIEW_PROBLEMS = 32821;         // open the "Проблемы" window
constexpr int ID_GO_TO_DEFINITION = 32822;      // F12
constexpr int ID_GO_BACK = 32823;               // Alt+Left: back to where F12 was pressed
constexpr int ID_FIND_USAGES = 32824;           // Shift+F12
constexpr int ID_COMPLETE_WORD = 32825;         // Ctrl+Space

// --- Editing commands of the edit view
constexpr int ID_EDIT_DELETE = 37000;            // Delete
constexpr int ID_EDIT_DELETE_BACK = 37001;       // Backspace
constexpr int ID_EDIT_DELETE_WORD_BACK = 37002;  // Ctrl+Backspace; bound, handled by no view
constexpr int ID_EDIT_TAB = 37003;               // Tab
constexpr int ID_EDIT_UNTAB = 37004;             // Shift+Tab
constexpr int ID_EDIT_SWITCH_OVERWRITE = 37005;  // Insert

// --- Caret commands of the text view; each odd id is the Shift variant that extends the selection
constexpr int ID_STEP_CHAR_LEFT = 37100;
constexpr int ID_STEP_CHAR_LEFT_EXTEND = 37101;
constexpr int ID_STEP_CHAR_RIGHT = 37102;
constexpr int ID_STEP_CHAR_RIGHT_EXTEND = 37103;
constexpr int ID_STEP_WORD_LEFT = 37104;
constexpr int ID_STEP_WORD_LEFT_EXTEND = 37105;
constexpr int ID_STEP_WORD_RIGHT = 37106;
constexpr int ID_STEP_WORD_RIGHT_EXTEND = 37107;
constexpr int ID_STEP_LINE_UP = 37108;
constexpr int ID_STEP_LINE_UP_EXTEND = 37109;
constexpr int ID_STEP_LINE_DOWN = 37110;
constexpr int ID_STEP_LINE_DOWN_EXTEND = 37111;
constexpr int ID_NUDGE_VIEW_UP = 37112;
constexpr int ID_NUDGE_VIEW_DOWN = 37113;
constexpr int ID_STEP_PAGE_UP = 37114;
constexpr int ID_STEP_PAGE_UP_EXTEND = 37115;
constexpr int ID_STEP_PAGE_DOWN = 37116;
constexpr int ID_STEP_PAGE_DOWN_EXTEND = 37117;
constexpr int ID_GO_LINE_END = 37118;
constexpr int ID_GO_LINE_END_EXTEND = 37119;
constexpr int ID_GO_LINE_START = 37120;
constexpr int ID_GO_LINE_START_EXTEND = 37121;
constexpr int ID_GO_TEXT_START = 37122;
constexpr int ID_GO_TEXT_START_EXTEND = 37123;
constexpr int ID_GO_TEXT_END = 37124;
constexpr int ID_GO_TEXT_END_EXTEND = 37125;
constexpr int ID_CARET_FIRST = ID_STEP_CHAR_LEFT;
constexpr int ID_CARET_LAST = ID_GO_TEXT_END_EXTEND;

// --- Search commands of the text view beyond the framework's Find and Find next
constexpr int ID_EDIT_FIND_PREVIOUS = 37126;  // Shift+F3

// --- Bookmark commands of the text view
constexpr int ID_TOGGLE_NUMBERED_BOOKMARK_0 = 37200;  // Ctrl+0 ... Ctrl+9: 37200 + n
constexpr int ID_TOGGLE_NUMBERED_BOOKMARK_9 = 37209;
constexpr int ID_GO_NUMBERED_BOOKMARK_0 = 37210;  // Alt+0 ... Alt+9: 37210 + n
constexpr int ID_GO_NUMBERED_BOOKMARK_9 = 37219;
constexpr int ID_CLEAR_NUMBERED_BOOKMARKS = 37220;
constexpr int ID_TOGGLE_BOOKMARK = 37223;      // Ctrl+F2
constexpr int ID_NEXT_BOOKMARK = 37224;        // F2
constexpr int ID_PREVIOUS_BOOKMARK = 37225;    // Shift+F2
constexpr int ID_CLEAR_ALL_BOOKMARKS = 37226;  // Ctrl+Shift+F2

constexpr int ToggleNumberedBookmarkId(int n) {
    return ID_TOGGLE_NUMBERED_BOOKMARK_0 + n;
}
constexpr int GoNumberedBookmarkId(int n) {
    return ID_GO_NUMBERED_BOOKMARK_0 + n;
}

// --- Status-bar panes of the editor
constexpr int ID_INDICATOR_BLANK = 37900;        // always disabled
constexpr int ID_INDICATOR_READ = 37901;         // "Read"
constexpr int ID_INDICATOR_LINE_ENDING = 37902;  // "Win", "UNIX", "MAC"
constexpr int ID_INDICATOR_POSITION = 37903;     // "Ln %d, Col %d"
constexpr int ID_INDICATOR_ENCODING = 37904;     // "1251", "UTF-8"

// --- Framework status-bar panes
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;
constexpr int ID_INDICATOR_OVR = 59140;

// --- Framework file commands
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PAGE_SETUP = 57605;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
// The recent-file list: four consecutive entries from the first.
constexpr int ID_FILE_MRU_FIRST = 57616;
constexpr int kRecentFileCount = 4;
constexpr int ID_FILE_MRU_LAST = ID_FILE_MRU_FIRST + kRecentFileCount - 1;

// --- Framework edit commands
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_FIND = 57636;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_REPEAT = 57640;  // Find next, F3
constexpr int ID_EDIT_REPLACE = 57641;
constexpr int ID_EDIT_SELECT_ALL = 57642;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;

// --- Framework window commands
constexpr int ID_WINDOW_NEW = 57648;
constexpr int ID_WINDOW_ARRANGE = 57649;  // arrange icons
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_NEXT_PANE = 57680;  // F6
constexpr int ID_PREV_PANE = 57681;  // Shift+F6

// --- Framework application and help commands
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_HELP = 57670;

// --- Framework bar commands; the same numbers identify the bars as child windows
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;

// --- Child windows of a split frame: pane (row, column) is ID_PANE_FIRST + 16 * row + column
constexpr int ID_PANE_FIRST = 0xE900;  // 59648

constexpr int PaneId(int row, int column) {
    return ID_PANE_FIRST + 16 * row + column;
}
constexpr int PaneRow(int paneId) {
    return (paneId - ID_PANE_FIRST) / 16;
}
constexpr int PaneColumn(int paneId) {
    return (paneId - ID_PANE_FIRST) % 16;
}
