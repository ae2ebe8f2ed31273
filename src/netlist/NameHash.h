#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// Names of netlists counted by the million: a 64-bit hash of the name, its ASCII letters without
// case, mixed with the scope it stands in, stands for the name. Two names sharing a hash would be
// taken for one; at 64 bits, over millions of names, that is a chance of about one in a million
// millions.

inline std::uint64_t HashName(std::string_view name, std::uint64_t scope) {
    std::uint64_t hash = 1469598103934665603ull ^ (scope * 0x9E3779B97F4A7C15ull);
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 32;
    return hash;
}

// Records of names, grouped by name once all are in. A table of millions of names would be
// reached at random, a cache miss per name; records are instead appended to one of 256 runs by
// the top bits of their hash, and each run, small enough for the cache, is sorted on its own.
template <typename Record>  // Record has a std::uint64_t key
class NameRecords {
public:
    void Add(const Record& record) { runs[record.key >> 56].push_back(record); }

    // Calls group(first, last) for the records of each name, in no particular order of names,
    // and lets the records go.
    template <typename Group>
    void ForEachName(Group group) {
        for (std::vector<Record>& run : runs) {
            std::sort(run.begin(), run.end(),
                      [](const Record& a, const Record& b) { return a.key < b.key; });
            for (auto first = run.begin(); first != run.end();) {
                auto last = first;
                while (last != run.end() && last->key == first->key)
                    ++last;
                group(first, last);
                first = last;
            }
            std::vector<Record>().swap(run);
        }
    }

private:
    std::array<std::vector<Record>, 256> runs;
};
