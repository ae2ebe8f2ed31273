#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of one netlist as the reader sees them: a copy of the text, taken at once, so that it
// can be read on another thread while the editor goes on changing its own. The bytes are kept in
// blocks that never move, so that a copy taken a line at a time never stops to move what it has.
class NetlistText {
public:
    NetlistText() = default;
    // Splits at LF, CR LF and lone CR; the line breaks are not kept.
    static NetlistText FromBytes(std::string_view bytes);

    void AddLine(std::string_view line);
    int LineCount() const { return static_cast<int>(places.size()); }
    std::string_view Line(int index) const;

private:
    static constexpr std::size_t kBlockBytes = 4u << 20;
    struct Place {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
    };
    std::vector<std::string> blocks;
    std::vector<Place> places;
};
