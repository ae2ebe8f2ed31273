#pragma once

#include <string>
#include <string_view>

#include <QString>

// UTF-8 as the program reads it in a document: a well-formed sequence (no overlong form, no
// surrogate, nothing above U+10FFFF) is one character; every byte that is not part of one is a
// character of its own, shown as U+FFFD and kept as it is.
namespace Utf8 {

// The length of the well-formed sequence that starts at text[index] (1 to 4), or 0 when none
// starts there. index must lie inside the text.
int SequenceLength(const char* text, int length, int index);

// Well-formed from start to end. An empty or all-ASCII text is well-formed.
bool IsValid(std::string_view bytes);

// What the bytes are, in one pass that skips ASCII a machine word at a time.
enum class Kind { Ascii, NonAsciiUtf8, NotUtf8 };
Kind Classify(std::string_view bytes);

// The index of the next character's first byte after the character at index (length at the
// end), and of the first byte of the character that ends at index (0 at the start).
int NextBoundary(const char* text, int length, int index);
int PreviousBoundary(const char* text, int length, int index);
// index itself when it starts a character, else the start of the character it lies inside.
int BoundaryAtOrBefore(const char* text, int length, int index);

QString Decode(std::string_view bytes);
// Every character has a form; a lone surrogate, which has none, becomes U+FFFD.
std::string Encode(const QString& text);

}  // namespace Utf8
