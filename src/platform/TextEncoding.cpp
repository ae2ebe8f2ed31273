#include "TextEncoding.h"

#include "Utf8.h"
#include "Windows1251.h"

namespace TextCodec {

QString Decode(TextEncoding encoding, std::string_view bytes) {
    return encoding == TextEncoding::Utf8 ? Utf8::Decode(bytes) : Windows1251::Decode(bytes);
}

std::string Encode(TextEncoding encoding, const QString& text, QStringList* leftOut) {
    if (encoding == TextEncoding::Utf8) {
        if (leftOut != nullptr)
            leftOut->clear();
        return Utf8::Encode(text);
    }
    if (leftOut != nullptr)
        *leftOut = Windows1251::Unencodable(text);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    const std::u32string characters = text.toStdU32String();
    for (char32_t character : characters) {
        char byte;
        if (Windows1251::FromUnicode(character, byte))
            bytes += byte;
    }
    return bytes;
}

int PreviousCharacter(TextEncoding encoding, const char* text, int length, int index) {
    if (encoding == TextEncoding::Utf8)
        return Utf8::PreviousBoundary(text, length, index);
    return index > 0 ? index - 1 : 0;
}

int CharacterStart(TextEncoding encoding, const char* text, int length, int index) {
    if (encoding == TextEncoding::Utf8)
        return Utf8::BoundaryAtOrBefore(text, length, index);
    return index;
}

const char* Indicator(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "1251";
}

bool EncodingVote::Take(std::string_view piece) {
    if (notUtf8)
        return false;
    switch (Utf8::Classify(piece)) {
        case Utf8::Kind::NotUtf8:
            notUtf8 = true;
            return false;
        case Utf8::Kind::NonAsciiUtf8:
            nonAscii = true;
            break;
        case Utf8::Kind::Ascii:
            break;
    }
    return true;
}

TextEncoding EncodingVote::Result() const {
    return !notUtf8 && nonAscii ? TextEncoding::Utf8 : TextEncoding::Windows1251;
}

TextEncoding Detect(std::string_view bytes) {
    EncodingVote vote;
    vote.Take(bytes);
    return vote.Result();
}

}  // namespace TextCodec
