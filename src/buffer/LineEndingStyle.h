#pragma once

// The line-break convention of a text file. Detect means "decide from the file" when loading and
// "the style the text was loaded with" when storing.
enum class LineEndingStyle : int {
    Detect = -1,
    Win = 0,   // CR LF
    Unix = 1,  // LF
    Mac = 2,   // CR
};

// The bytes of the style's line break; empty for Detect or an unknown value.
const char* LineBreakOf(LineEndingStyle style);

// The status-bar text of the style: "Win", "UNIX", "MAC"; empty for any other value.
const char* LineEndingIndicator(LineEndingStyle style);
