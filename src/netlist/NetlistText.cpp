#include "NetlistText.h"

NetlistText NetlistText::FromBytes(std::string_view bytes) {
    NetlistText text;
    text.bytes.reserve(bytes.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        text.AddLine(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        text.AddLine(bytes.substr(start));
    return text;
}

void NetlistText::AddLine(std::string_view line) {
    starts.push_back(bytes.size());
    lengths.push_back(static_cast<std::uint32_t>(line.size()));
    bytes.append(line);
}

std::string_view NetlistText::Line(int index) const {
    if (index < 0 || index >= LineCount())
        return {};
    return std::string_view(bytes).substr(starts[index], lengths[index]);
}
