#include "EncodingDetection.h"

#include <string_view>

#include "CorvelTextBuffer.h"

TextEncoding DetectEncoding(const CCorvelTextBuffer& buffer) {
    TextCodec::EncodingVote vote;
    // Line breaks are ASCII: a sequence never spans two lines.
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (!vote.Take(std::string_view(buffer.LineText(line),
                                        static_cast<std::size_t>(buffer.LineLength(line)))))
            break;
    }
    return vote.Result();
}
