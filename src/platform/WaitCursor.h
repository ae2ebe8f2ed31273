#pragma once

// Shows the wait cursor over the whole program for as long as it lives. Without a GUI
// application (a tool run from the command line) it does nothing.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool shown;
};
