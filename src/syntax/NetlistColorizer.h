#pragma once

#include "ColorRun.h"
#include "LineScanState.h"

// The colouring of SPICE netlist lines: keywords, numbers, quoted strings, comment lines, block
// comments and error text. One left-to-right pass over one line; everything carried from line to
// line travels in the LineScanState.

// A token that is one of the 26 netlist keywords, ignoring the case of ASCII letters.
bool IsNetlistKeyword(const char* token, int length);

// A token that starts with a decimal digit ("10k", "2n2222"), or "0x" followed only by hex digits.
bool IsNumericToken(const char* token, int length);

// Colours one line. state is the state at the end of the previous line (0 before the first);
// runs is null (only the end state is wanted) or has room for three runs per character; the
// caller sets runCount to 0 and it counts the runs stored. Returns the state at the end of this
// line.
LineScanState ClassifyNetlistLine(LineScanState state, const char* text, int length, ColorRun* runs,
                                  int& runCount);

// The same colouring, keeping only the runs that colour the characters from .. to - 1 of the
// line: first the run in force at from, its start moved to from (none when the line's first run
// starts later), then the runs that start after from and before to. runs has room for
// 3 * (to - from) + 1 entries, however long the line. The state returned is that of the whole
// line; without wholeLine the scan may stop once nothing after it can colour the window, and the
// state returned means nothing.
LineScanState ClassifyNetlistLineWindow(LineScanState state, const char* text, int length, int from,
                                        int to, ColorRun* runs, int& runCount,
                                        bool wholeLine = true);
