#pragma once

// A place in the text: x is the character index in the line, y the line index, both from zero.
// x equal to the line's length stands at the end of the line.
struct TextPosition {
    int x = 0;
    int y = 0;

    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};
