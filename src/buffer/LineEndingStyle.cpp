#include "LineEndingStyle.h"

const char* LineBreakOf(LineEndingStyle style) {
    switch (style) {
        case LineEndingStyle::Win:
            return "\r\n";
        case LineEndingStyle::Unix:
            return "\n";
        case LineEndingStyle::Mac:
            return "\r";
        default:
            return "";
    }
}

const char* LineEndingIndicator(LineEndingStyle style) {
    switch (style) {
        case LineEndingStyle::Win:
            return "Win";
        case LineEndingStyle::Unix:
            return "UNIX";
        case LineEndingStyle::Mac:
            return "MAC";
        default:
            return "";
    }
}
