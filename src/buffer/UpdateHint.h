#pragma once

// What a change did, as told to every attached view. The buffer sends exactly these combinations:
// 0x0101 (a change within one line), 0x0003 (lines added or removed), 0x0300 (the flags of one
// line), 0x1000 (the whole text replaced, line -1).
enum UpdateHint : unsigned {
    LengthsChanged = 0x0001,    // a line's length changed: the widest line must be measured again
    LineCountChanged = 0x0002,  // lines were added or removed from the given line on
    OneLineOnly = 0x0100,       // no line was added or removed; only the given line changed
    MarksOnly = 0x0200,         // only the flags of the given line changed
    WholeText = 0x1000,         // the whole text was replaced
};
