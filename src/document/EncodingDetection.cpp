#include "EncodingDetection.h"

#include <string_view>

#include "CorvelTextBuffer.h"
#include "Utf8.h"

TextEncoding DetectEncoding(const CCorvelTextBuffer& buffer) {
    bool nonAscii = false;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        std::string_view text(buffer.LineText(line), static_cast<std::size_t>(buffer.LineLength(line)));
        // Line breaks are ASCII: a sequence never spans two lines.
        if (!Utf8::IsValid(text))
            return TextEncoding::Windows1251;
        if (!nonAscii) {
            for (char byte : text) {
                if (static_cast<unsigned char>(byte) >= 0x80) {
                    nonAscii = true;
                    break;
                }
            }
        }
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::Windows1251;
}
