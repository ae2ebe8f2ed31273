#pragma once

#include <vector>

#include "LineScanState.h"

// The colouring state at the end of every line, computed on demand. Entries are always computed
// from the top down without gaps, so the computed ones are exactly those below a watermark:
// marking every entry from a changed line to the end as not computed is one assignment, whatever
// the length of the text.
class CLineStateCache {
public:
    static constexpr LineScanState kNotComputed = 0xFFFFFFFFu;

    bool Exists() const { return exists; }
    int Size() const { return static_cast<int>(entries.size()); }
    int ComputedCount() const { return computed; }
    void Create(int lines) {
        entries.assign(lines, kNotComputed);
        computed = 0;
        exists = true;
    }
    void Free() {
        entries.clear();
        entries.shrink_to_fit();
        computed = 0;
        exists = false;
    }
    LineScanState Get(int line) const { return line < computed ? entries[line] : kNotComputed; }
    // Stores the state of a line; a line past the first one not computed is left for later, to
    // keep the computed entries together.
    void Set(int line, LineScanState state) {
        if (line > computed || line >= Size())
            return;
        entries[line] = state;
        if (line == computed)
            ++computed;
    }
    void MarkFrom(int line) {
        if (line < computed)
            computed = line < 0 ? 0 : line;
    }
    // The text now has this many lines; entries above the line keep their values.
    void Resize(int lines, int line) {
        MarkFrom(line);
        entries.resize(lines, kNotComputed);
        if (computed > lines)
            computed = lines;
    }

private:
    std::vector<LineScanState> entries;
    int computed = 0;
    bool exists = false;
};
