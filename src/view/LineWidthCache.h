#pragma once

#include <map>
#include <vector>

// The width in columns of every line, and how many lines have each width, so that the widest
// line is known at once after a change instead of by measuring every line again.
class CLineWidthCache {
public:
    static constexpr int kNotMeasured = -1;

    bool Exists() const { return exists; }
    int Size() const { return static_cast<int>(widths.size()); }
    void Create(int lines) {
        widths.assign(lines, kNotMeasured);
        narrowCounts.assign(kNarrow, 0);
        wideCounts.clear();
        narrowTop = 0;
        measured = 0;
        exists = true;
    }
    void Free() {
        widths.clear();
        widths.shrink_to_fit();
        narrowCounts.clear();
        narrowCounts.shrink_to_fit();
        wideCounts.clear();
        narrowTop = 0;
        measured = 0;
        exists = false;
    }
    int Get(int line) const { return widths[line]; }
    void Set(int line, int width) {
        Forget(line);
        widths[line] = width;
        Count(width, +1);
        ++measured;
    }
    // The line's width is no longer known.
    void Forget(int line) {
        int& width = widths[line];
        if (width == kNotMeasured)
            return;
        Count(width, -1);
        width = kNotMeasured;
        --measured;
    }
    void InsertLines(int at, int count) { widths.insert(widths.begin() + at, count, kNotMeasured); }
    void RemoveLines(int at, int count) {
        for (int line = at; line < at + count; ++line)
            Forget(line);
        widths.erase(widths.begin() + at, widths.begin() + at + count);
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

    std::vector<int> widths;
    std::vector<int> narrowCounts;     // width -> number of lines that wide, below kNarrow
    std::map<int, int> wideCounts;     // the same for the wider lines
    mutable int narrowTop = 0;         // no narrow line is wider
    int measured = 0;
    bool exists = false;
};
