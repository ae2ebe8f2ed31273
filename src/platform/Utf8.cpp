#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace Utf8 {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

int SequenceLength(const char* text, int length, int index) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    unsigned char lead = bytes[index];
    if (lead < 0x80)
        return 1;
    int count;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        if (lead == 0xE0)
            low = 0xA0;  // shorter forms are overlong
        else if (lead == 0xED)
            high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (index + count > length)
        return 0;
    if (bytes[index + 1] < low || bytes[index + 1] > high)
        return 0;
    for (int next = 2; next < count; ++next) {
        if (!IsContinuation(bytes[index + next]))
            return 0;
    }
    return count;
}

Kind Classify(std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const char* data = bytes.data();
    bool nonAscii = false;
    for (int index = 0; index < length;) {
        // ASCII runs are the common case: eight bytes at a time, none with its high bit set.
        if (index + 8 <= length) {
            std::uint64_t word;
            std::memcpy(&word, data + index, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                index += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(data[index]) < 0x80) {
            ++index;
            continue;
        }
        int count = SequenceLength(data, length, index);
        if (count == 0)
            return Kind::NotUtf8;
        nonAscii = true;
        index += count;
    }
    return nonAscii ? Kind::NonAsciiUtf8 : Kind::Ascii;
}

bool IsValid(std::string_view bytes) {
    return Classify(bytes) != Kind::NotUtf8;
}

int NextBoundary(const char* text, int length, int index) {
    if (index >= length)
        return length;
    int count = SequenceLength(text, length, index);
    return index + (count > 0 ? count : 1);
}

int PreviousBoundary(const char* text, int length, int index) {
    if (index <= 0)
        return 0;
    // A sequence ending at index starts at most three bytes before its last byte.
    for (int back = 2; back <= 4 && index - back >= 0; ++back) {
        if (SequenceLength(text, length, index - back) == back)
            return index - back;
    }
    return index - 1;
}

int BoundaryAtOrBefore(const char* text, int length, int index) {
    if (index <= 0 || index >= length)
        return index;
    for (int back = 1; back <= 3 && index - back >= 0; ++back) {
        if (SequenceLength(text, length, index - back) > back)
            return index - back;
    }
    return index;
}

QString Decode(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    const int length = static_cast<int>(bytes.size());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (int index = 0; index < length;) {
        int count = SequenceLength(bytes.data(), length, index);
        if (count == 0) {
            text += QChar(0xFFFD);
            ++index;
            continue;
        }
        char32_t character;
        if (count == 1)
            character = data[index];
        else if (count == 2)
            character = (data[index] & 0x1F) << 6 | (data[index + 1] & 0x3F);
        else if (count == 3)
            character = (data[index] & 0x0F) << 12 | (data[index + 1] & 0x3F) << 6 |
                        (data[index + 2] & 0x3F);
        else
            character = (data[index] & 0x07) << 18 | (data[index + 1] & 0x3F) << 12 |
                        (data[index + 2] & 0x3F) << 6 | (data[index + 3] & 0x3F);
        text += QString::fromUcs4(&character, 1);
        index += count;
    }
    return text;
}

std::string Encode(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype index = 0; index < text.size(); ++index) {
        char32_t character = text[index].unicode();
        if (QChar::isHighSurrogate(character) && index + 1 < text.size() &&
            text[index + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[index], text[index + 1]);
            ++index;
        } else if (QChar::isSurrogate(character)) {
            character = 0xFFFD;
        }
        if (character < 0x80) {
            bytes += static_cast<char>(character);
        } else if (character < 0x800) {
            bytes += static_cast<char>(0xC0 | character >> 6);
            bytes += static_cast<char>(0x80 | (character & 0x3F));
        } else if (character < 0x10000) {
            bytes += static_cast<char>(0xE0 | character >> 12);
            bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (character & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | character >> 18);
            bytes += static_cast<char>(0x80 | (character >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (character & 0x3F));
        }
    }
    return bytes;
}

}  // namespace Utf8
