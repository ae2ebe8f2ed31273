#pragma once

#include <string>
#include <string_view>

#include <QStringList>

// The single-byte code page of the program's text: bytes 0x00-0x7F are ASCII, 0x80-0xFF a fixed
// table of Cyrillic letters, punctuation and signs. Byte 0x98 is unassigned. The buffer keeps
// bytes; text is decoded for drawing and encoded where it comes in from the desktop.
namespace Windows1251 {

// What byte 0x98 decodes to. Nothing encodes to 0x98.
constexpr char32_t kUnassigned = U'\uFFFD';
// What Encode writes for a character the code page lacks.
constexpr char kNoByte = '?';

char32_t ToUnicode(unsigned char byte);
// The byte of a character; false, with byte untouched, when the code page has none.
bool FromUnicode(char32_t character, char& byte);

QString Decode(std::string_view bytes);
// One byte per character (a surrogate pair is one character); a character without a byte
// becomes kNoByte and, when allEncoded is given, sets it to false (else to true).
std::string Encode(const QString& text, bool* allEncoded = nullptr);
// The characters of text that have no byte, each once, in the order they first come (a surrogate
// pair is one character): what the user is told was left out.
QStringList Unencodable(const QString& text);

}  // namespace Windows1251
