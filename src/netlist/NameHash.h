#pragma once

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
// the top bits of their hash, and each run, small enough for the cache, is grouped on its own
// through a small table of its names.
template <typename Record>  // Record has a std::uint64_t key
class NameRecords {
public:
    void Add(const Record& record) { runs[record.key >> 56].push_back(record); }

    // Calls group(first, last) for the records of each name, in the order they were added, the
    // names in no particular order; then lets the records go.
    template <typename Group>
    void ForEachName(Group group) {
        std::vector<Record> grouped;
        for (std::vector<Record>& run : runs) {
            if (!run.empty()) {
                GroupRun(run, grouped);
                for (auto first = grouped.begin(); first != grouped.end();) {
                    auto last = first;
                    while (last != grouped.end() && last->key == first->key)
                        ++last;
                    group(first, last);
                    first = last;
                }
            }
            std::vector<Record>().swap(run);
        }
    }

private:
    struct Name {
        std::uint64_t key = 0;
        std::uint32_t count = 0;  // 0 for a free slot
        std::uint32_t next = 0;   // where the name's next record goes in the grouped run
    };

    // The run's records with those of one name together: a counting sort by name.
    static void GroupRun(const std::vector<Record>& run, std::vector<Record>& grouped) {
        std::size_t size = 16;
        while (size < 2 * run.size())
            size *= 2;
        std::vector<Name> names(size);
        std::vector<std::uint32_t> nameOf(run.size());
        for (std::size_t i = 0; i < run.size(); ++i) {
            std::size_t slot = (run[i].key ^ (run[i].key >> 29)) & (size - 1);
            while (names[slot].count != 0 && names[slot].key != run[i].key)
                slot = (slot + 1) & (size - 1);
            names[slot].key = run[i].key;
            ++names[slot].count;
            nameOf[i] = static_cast<std::uint32_t>(slot);
        }
        std::uint32_t offset = 0;
        for (Name& name : names) {
            name.next = offset;
            offset += name.count;
        }
        grouped.resize(run.size());
        for (std::size_t i = 0; i < run.size(); ++i)
            grouped[names[nameOf[i]].next++] = run[i];
    }

    std::array<std::vector<Record>, 256> runs;
};
