#include "EncodingDetection.h"

#include <string_view>

#include "CorvelTextBuffer.h"
#include "Utf8.h"

TextEncoding DetectEncoding(const CCorvelTextBuffer& buffer) {
    bool nonAscii = false;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        std::string_view text(buffer.LineText(line),
                              static_cast<std::size_t>(buffer.LineLength(line)));
        // Line breaks are ASCII: a sequence never spans two lines.
        switch (Utf8::Classify(text)) {
            case Utf8::Kind::NotUtf8:
                return TextEncoding::Windows1251;
            case Utf8::Kind::NonAsciiUtf8:
                nonAscii = true;
                break;
            case Utf8::Kind::Ascii:
                break;
        }
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::Windows1251;
}
