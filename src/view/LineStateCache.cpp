#include "LineStateCache.h"

#include <algorithm>

namespace {

// Each edit that is not yet followed by a paint may leave a run; beyond this many the runs
// farthest down are forgotten, which only costs their lines a colouring.
constexpr std::size_t kMostKeptRuns = 32;

}  // namespace

void CLineStateCache::Create(int lines) {
    entries.clear();
    lineCount = lines;
    kept.clear();
    computed = 0;
    exists = true;
}

void CLineStateCache::Free() {
    entries.clear();
    entries.shrink_to_fit();
    lineCount = 0;
    kept.clear();
    computed = 0;
    exists = false;
}

bool CLineStateCache::Computed(int line, int& runEnd) const {
    if (line < computed) {
        runEnd = computed;
        return true;
    }
    for (const KeptRun& run : kept) {
        if (run.first <= line && line < run.end) {
            runEnd = run.end;
            return true;
        }
    }
    return false;
}

void CLineStateCache::Set(int line, LineScanState state) {
    if (line != computed || line >= Size())
        return;
    if (line == static_cast<int>(entries.size()))
        entries.push_back(state);
    else
        entries[line] = state;
    computed = line + 1;
    if (kept.empty() || kept.front().first != computed)
        return;
    KeptRun& run = kept.front();
    if (state == run.seed) {
        // The run's lines end as they did before: all of them are known again.
        computed = run.end;
        kept.erase(kept.begin());
        return;
    }
    // Its first line now starts from another state and must be coloured again; the lines after
    // it still follow from the state it had.
    run.seed = entries[run.first];
    if (++run.first >= run.end)
        kept.erase(kept.begin());
}

void CLineStateCache::Change(int line, int added) {
    if (!exists || lineCount == 0)
        return;
    line = std::clamp(line, 0, std::max(Size() - 1, 0));
    int removed = std::min(std::max(0, -added), Size() - 1 - line);
    if (added < 0)
        added = -removed;
    // The line whose old end state the lines after the change were computed from.
    int feeding = line + removed;

    std::vector<KeptRun> next;
    next.reserve(kept.size() + 1);
    for (const KeptRun& run : kept) {
        if (run.first < line)
            next.push_back({run.first, std::min(run.end, line), run.seed});
    }
    int runEnd = 0;
    if (feeding < Size() && Computed(feeding, runEnd) && feeding + 1 < runEnd)
        next.push_back({feeding + 1, runEnd, entries[feeding]});
    for (const KeptRun& run : kept) {
        if (run.first > feeding)
            next.push_back(run);
    }

    computed = std::min(computed, line);
    lineCount += added;
    // Entries past the last one stored stand for lines never computed: nothing to move there.
    int stored = static_cast<int>(entries.size());
    if (line + 1 < stored) {
        if (added > 0)
            entries.insert(entries.begin() + line + 1, added, kNotComputed);
        else if (removed > 0)
            entries.erase(entries.begin() + line + 1,
                          entries.begin() + std::min(stored, line + 1 + removed));
    }
    for (KeptRun& run : next) {
        if (run.first > line) {
            run.first += added;
            run.end += added;
        }
    }
    std::erase_if(next, [](const KeptRun& run) { return run.first >= run.end; });
    if (next.size() > kMostKeptRuns)
        next.resize(kMostKeptRuns);
    kept = std::move(next);
}

void CLineStateCache::MarkFrom(int line) {
    line = std::max(line, 0);
    computed = std::min(computed, line);
    std::erase_if(kept, [line](const KeptRun& run) { return run.first >= line; });
    for (KeptRun& run : kept)
        run.end = std::min(run.end, line);
    std::erase_if(kept, [](const KeptRun& run) { return run.first >= run.end; });
}
