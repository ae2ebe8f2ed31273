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
        counts.clear();
        measured = 0;
        exists = true;
    }
    void Free() {
        widths.clear();
        widths.shrink_to_fit();
        counts.clear();
        measured = 0;
        exists = false;
    }
    int Get(int line) const { return widths[line]; }
    void Set(int line, int width) {
        Forget(line);
        widths[line] = width;
        ++counts[width];
        ++measured;
    }
    // The line's width is no longer known.
    void Forget(int line) {
        int& width = widths[line];
        if (width == kNotMeasured)
            return;
        auto entry = counts.find(width);
        if (--entry->second == 0)
            counts.erase(entry);
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
    int Widest() const { return counts.empty() ? 0 : counts.rbegin()->first; }

private:
    std::vector<int> widths;
    std::map<int, int> counts;  // width -> number of lines that wide
    int measured = 0;
    bool exists = false;
};
