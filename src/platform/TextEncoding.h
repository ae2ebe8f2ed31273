#pragma once

#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

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

// The first byte of the character after the one at index (length at the end), and of the
// character that ends at index (0 at the start). index is a character boundary.
int NextCharacter(TextEncoding encoding, const char* text, int length, int index);
int PreviousCharacter(TextEncoding encoding, const char* text, int length, int index);
// index when it is a character boundary, else the start of the character it lies inside.
int CharacterStart(TextEncoding encoding, const char* text, int length, int index);

// The status bar's name of the encoding: "1251" or "UTF-8".
const char* Indicator(TextEncoding encoding);

// The encoding a file's bytes are read in: UTF-8 when they are well-formed UTF-8 holding a byte
// from 0x80 up, Windows-1251 for anything else.
TextEncoding Detect(std::string_view bytes);

}  // namespace TextCodec
