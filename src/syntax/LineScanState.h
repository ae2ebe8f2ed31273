#pragma once

#include <cstdint>

// What the colouring of one line hands to the next. No other bit is ever set, so a state never
// equals -1, the mark of a cache entry not yet computed.
using LineScanState = std::uint32_t;

enum LineScanBits : LineScanState {
    ErrorTail = 0x01,     // the rest of the line is error text
    StarComment = 0x02,   // inside a comment line opened by '*'
    BlockComment = 0x04,  // inside "/*" not yet closed by "*/"
    DoubleQuoted = 0x08,  // inside a string opened by '"'
    SingleQuoted = 0x10,  // inside a string opened by '\''
};

constexpr LineScanState kAllScanBits =
    ErrorTail | StarComment | BlockComment | DoubleQuoted | SingleQuoted;
