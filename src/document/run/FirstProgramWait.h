#pragma once

class QProcess;

// The wait for the first program of a run, with the whole interface live meanwhile.

// How the wait ended.
enum class WaitEnd {
    Exited,     // on its own, whatever its status
    Stopped,    // the user asked for it to end
    Crashed,    // killed by a signal nobody here sent
    Closing,    // the user closed the main window: the program was ended and the run must stop
    Abandoned,  // the program is closing while the simulator still runs
};

// Waits for the program in an event loop of its own that dispatches every event; nothing polls.
// A progress window shows the program's output and can stop it. Closing the main window meanwhile
// is refused and ends the program instead: after a Closing end, the run returns at once and calls
// CloseMainWindowAgain, so that the close, with its save prompts, happens when no run is left
// to finish in a window that is going.
WaitEnd WaitForFirstProgram(QProcess& program);

// Whether a run is waiting for its first program now. Two runs would share the result files, so
// no other run starts meanwhile.
bool IsWaitingForFirstProgram();

// Closes the main window once the event loop runs again, as the close that a wait refused.
void CloseMainWindowAgain();
