#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of one netlist as the reader sees them: a copy of the text, taken at once, so that it
// can be read on another thread while the editor goes on changing its own.
class NetlistText {
public:
    NetlistText() = default;
    // Splits at LF, CR LF and lone CR; the line breaks are not kept.
    static NetlistText FromBytes(std::string_view bytes);

    void AddLine(std::string_view line);
    int LineCount() const { return static_cast<int>(starts.size()); }
    std::string_view Line(int index) const;

private:
    std::string bytes;
    std::vector<std::uint64_t> starts;
    std::vector<std::uint32_t> lengths;
};
