#pragma once

// Steps over the characters of a line's bytes in a view's encoding. An ASCII byte is a character
// of its own in both encodings and is never part of a longer one, so only a byte from 0x80 up in
// a UTF-8 line is looked at more closely: the common lines cost no decoding.

#include <algorithm>

#include "TextEncoding.h"
#include "Utf8.h"

namespace LineCharacters {

inline bool IsAscii(char byte) {
    return static_cast<unsigned char>(byte) < 0x80;
}

// The index after the character that starts at index; index < length.
inline int Next(TextEncoding encoding, const char* text, int length, int index) {
    if (encoding == TextEncoding::Utf8 && !IsAscii(text[index]))
        return Utf8::NextBoundary(text, length, index);
    return index + 1;
}

// The number of characters that end at or before index.
inline int CountBefore(TextEncoding encoding, const char* text, int length, int index) {
    if (encoding != TextEncoding::Utf8)
        return index;
    int count = 0;
    for (int at = 0; at < index && at < length; ++count) {
        at = Next(encoding, text, length, at);
        if (at > index)
            break;  // index lies inside this character
    }
    return count;
}

// The index of the character with this number (from 0), or length when the line has fewer.
inline int IndexOfCharacter(TextEncoding encoding, const char* text, int length, int number) {
    if (encoding != TextEncoding::Utf8)
        return std::min(number, length);
    int index = 0;
    for (int count = 0; count < number && index < length; ++count)
        index = Next(encoding, text, length, index);
    return index;
}

}  // namespace LineCharacters
