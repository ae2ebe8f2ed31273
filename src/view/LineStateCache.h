#pragma once

#include <vector>

#include "LineScanState.h"

// The colouring state at the end of every line. The states known for certain are those of the
// lines above a watermark, computed from the top down without gaps.
//
// An edit makes the states below it uncertain, but rarely wrong: the colouring of a line depends
// only on its own text and the state the line above ends in. So the states below an edit are kept
// as runs of lines whose states follow from the state they were computed from (their seed): when
// the line before a run is computed again and ends in the seed, the whole run is known again at
// once, however long; when it ends otherwise, the run shrinks by one line and the next line is
// computed. Typing that does not change the state at its line's end re-colours one line.
class CLineStateCache {
public:
    static constexpr LineScanState kNotComputed = 0xFFFFFFFFu;

    bool Exists() const { return exists; }
    // The number of lines of the text.
    int Size() const { return lineCount; }
    // The lines from 0 to this one (excluded) have their state known.
    int ComputedCount() const { return computed; }
    void Create(int lines);
    void Free();
    LineScanState Get(int line) const { return line < computed ? entries[line] : kNotComputed; }
    // Stores the state just computed for the first line not known; a state for any other line is
    // left for later, to keep the known lines together.
    void Set(int line, LineScanState state);
    // The text of line changed; added lines were inserted right after it (added > 0), or the
    // -added lines after it were joined to it (added < 0). The states above line stay known.
    void Change(int line, int added);
    // Forgets every state from line on.
    void MarkFrom(int line);

private:
    // Lines first .. end - 1 have the states stored for them, provided the line before first ends
    // in seed.
    struct KeptRun {
        int first;
        int end;
        LineScanState seed;
    };
    // Whether the stored state of line is one that was computed (known or kept), and the end of
    // the run of lines whose states follow from it.
    bool Computed(int line, int& runEnd) const;

    // Only lines computed once have an entry: a long text viewed at its top costs little.
    std::vector<LineScanState> entries;
    int lineCount = 0;
    std::vector<KeptRun> kept;  // in order of lines, apart, all below the known lines
    int computed = 0;
    bool exists = false;
};
