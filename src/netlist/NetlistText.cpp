#include "NetlistText.h"

#include <algorithm>

NetlistText NetlistText::FromBytes(std::string_view bytes) {
    NetlistText text;
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
    if (blocks.empty() || blocks.back().size() + line.size() > blocks.back().capacity()) {
        blocks.emplace_back();
        blocks.back().reserve(std::max(kBlockBytes, line.size()));
    }
    std::string& block = blocks.back();
    places.push_back({static_cast<std::uint32_t>(blocks.size() - 1),
                      static_cast<std::uint32_t>(block.size()),
                      static_cast<std::uint32_t>(line.size())});
    block.append(line);
}

std::string_view NetlistText::Line(int index) const {
    if (index < 0 || index >= LineCount())
        return {};
    const Place& place = places[index];
    return std::string_view(blocks[place.block]).substr(place.offset, place.length);
}
