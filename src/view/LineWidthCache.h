#pragma once

#include <cstdint>
#include <map>
#include <vector>

// The width in columns of every line, and how many lines have each width, so that the widest
// line is known at once after a change instead of by measuring every line again. Two bytes a
// line: the rare line of 65534 columns or more keeps its width on the side.
class CLineWidthCache {
public:
    static constexpr int kNotMeasured = -1;

    bool Exists() const { return exists; }
    int Size() const { return static_cast<int>(widths.size()); }
    void Create(int lines) {
        widths.assign(lines, kUnmeasured);
        outsized.clear();
        narrowCounts.assign(kNarrow, 0);
        wideCounts.clear();
        narrowTop = 0;
        measured = 0;
        exists = true;
    }
    void Free() {
        widths.clear();
        widths.shrink_to_fit();
        outsized.clear();
        narrowCounts.clear();
        narrowCounts.shrink_to_fit();
        wideCounts.clear();
        narrowTop = 0;
        measured = 0;
        exists = false;
    }
    int Get(int line) const {
        std::uint16_t width = widths[line];
        if (width == kUnmeasured)
            return kNotMeasured;
        return width == kOutsized ? outsized.at(line) : width;
    }
    void Set(int line, int width) {
        Forget(line);
        if (width >= kOutsized) {
            widths[line] = kOutsized;
            outsized[line] = width;
        } else {
            widths[line] = static_cast<std::uint16_t>(width);
        }
        Count(width, +1);
        ++measured;
    }
    // The line's width is no longer known.
    void Forget(int line) {
        int width = Get(line);
        if (width == kNotMeasured)
            return;
        Count(width, -1);
        if (widths[line] == kOutsized)
            outsized.erase(line);
        widths[line] = kUnmeasured;
        --measured;
    }
    void InsertLines(int at, int count) {
        widths.insert(widths.begin() + at, count, kUnmeasured);
        ShiftOutsized(at, count);
    }
    void RemoveLines(int at, int count) {
        for (int line = at; line < at + count; ++line)
            Forget(line);
        widths.erase(widths.begin() + at, widths.begin() + at + count);
        ShiftOutsized(at + count, -count);
    }
    bool AllMeasured() const { return measured == Size(); }
    // The greatest width; only meaningful when every line is measured.
    int Widest() const {
        if (!wideCounts.empty())
            return wideCounts.rbegin()->first;
        while (narrowTop > 0 && narrowCounts[narrowTop] == 0)
            --narrowTop;
        return narrowTop;
    }

private:
    static constexpr std::uint16_t kUnmeasured = 0xFFFF;
    static constexpr std::uint16_t kOutsized = 0xFFFE;  // the width is in outsized

    // Moves the side widths of the lines from the given one on by the given count.
    void ShiftOutsized(int from, int by) {
        if (outsized.empty())
            return;
        std::map<int, int> shifted;
        for (auto [line, width] : outsized)
            shifted.emplace(line >= from ? line + by : line, width);
        outsized.swap(shifted);
    }

    // Almost every line is narrower than this: those are counted in a plain array, which costs
    // a text of millions of lines no tree of counts.
    static constexpr int kNarrow = 4096;

    void Count(int width, int change) {
        if (width < kNarrow) {
            narrowCounts[width] += change;
            if (change > 0 && width > narrowTop)
                narrowTop = width;
            return;
        }
        auto entry = wideCounts.try_emplace(width, 0).first;
        entry->second += change;
        if (entry->second == 0)
            wideCounts.erase(entry);
    }

    std::vector<std::uint16_t> widths;
    std::map<int, int> outsized;       // line -> width, for the lines marked kOutsized
    std::vector<int> narrowCounts;     // width -> number of lines that wide, below kNarrow
    std::map<int, int> wideCounts;     // the same for the wider lines
    mutable int narrowTop = 0;         // no narrow line is wider
    int measured = 0;
    bool exists = false;
};
