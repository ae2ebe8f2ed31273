#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

#include "Utf8.h"

// How a document's bytes are characters. The buffer keeps bytes as they are in the file; the
// view draws, steps and converts them by the document's encoding.
enum class TextEncoding {
    Windows1251,  // one byte, one character
    Utf8,         // a well-formed sequence is one character, any other byte one of its own
};

namespace TextCodec {

QString Decode(TextEncoding encoding, std::string_view bytes);
// The bytes of the text. Characters the encoding lacks are left out (only Windows-1251 lacks
// any), and named in leftOut, each once, in the order they come, when it is given.
std::string Encode(TextEncoding encoding, const QString& text, QStringList* leftOut = nullptr);

inline bool IsAscii(char byte) {
    return static_cast<unsigned char>(byte) < 0x80;
}

// The first byte of the character after the one at index (length at the end), and of the
// character that ends at index (0 at the start). index is a character boundary. An ASCII byte is
// a character of its own in both encodings and never part of a longer one, so only a byte from
// 0x80 up in a UTF-8 line is looked at more closely: painting and measuring call this for every
// character, and common lines cost no decoding.
inline int NextCharacter(TextEncoding encoding, const char* text, int length, int index) {
    if (index >= length)
        return length;
    if (encoding == TextEncoding::Utf8 && !IsAscii(text[index]))
        return Utf8::NextBoundary(text, length, index);
    return index + 1;
}
int PreviousCharacter(TextEncoding encoding, const char* text, int length, int index);
// index when it is a character boundary, else the start of the character it lies inside.
int CharacterStart(TextEncoding encoding, const char* text, int length, int index);

// The number of characters that end at or before index.
inline int CharactersBefore(TextEncoding encoding, const char* text, int length, int index) {
    if (encoding != TextEncoding::Utf8)
        return index;
    int count = 0;
    for (int at = 0; at < index && at < length; ++count) {
        at = NextCharacter(encoding, text, length, at);
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
        index = NextCharacter(encoding, text, length, index);
    return index;
}

// The status bar's name of the encoding: "1251" or "UTF-8".
const char* Indicator(TextEncoding encoding);

// The encoding a text is read in: UTF-8 when it is well-formed UTF-8 holding a byte from 0x80
// up, Windows-1251 for anything else. The text may come in pieces that never split a character,
// such as its lines.
class EncodingVote {
public:
    // False once the text cannot be UTF-8: nothing further changes the result.
    bool Take(std::string_view piece);
    TextEncoding Result() const;

private:
    bool notUtf8 = false;
    bool nonAscii = false;
};

TextEncoding Detect(std::string_view bytes);

}  // namespace TextCodec
