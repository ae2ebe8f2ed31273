#include "NetlistModel.h"

#include <filesystem>
#include <set>
#include <utility>

int NetlistFileData::ScopeOfLine(int line) const {
    int innermost = 0;
    // Scopes are in order of their first line, an inner one after the one it stands in.
    for (int i = 1; i < static_cast<int>(scopes.size()); ++i) {
        if (scopes[i].firstLine > line)
            break;
        if (line <= scopes[i].lastLine)
            innermost = i;
    }
    return innermost;
}

int NetlistFileData::SectionIndex(const std::string& name) const {
    for (int i = 0; i < static_cast<int>(sections.size()); ++i) {
        if (sections[i].name == name)
            return i;
    }
    return -1;
}

int NetlistModelData::FileIndex(const std::string& path) const {
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        if (files[i].path == path)
            return i;
    }
    std::error_code error;
    const auto canonical = std::filesystem::weakly_canonical(path, error);
    if (error)
        return -1;
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        if (std::filesystem::weakly_canonical(files[i].path, error) == canonical && !error)
            return i;
    }
    return -1;
}

namespace {

// Which .lib sections of a file a search reads: all, exactly one, or one and what stands
// outside every section.
struct SectionFilter {
    bool all = false;
    int section = -1;
    bool outsideToo = false;
    bool Passes(int value) const {
        return all || value == section || (outsideToo && value == -1);
    }
};

struct Search {
    const NetlistModelData& data;
    SymbolKind kind;
    const std::string& name;
    bool* incomplete;
    std::set<std::pair<int, int>> visited;

    void MarkIncomplete() const {
        if (incomplete != nullptr)
            *incomplete = true;
    }

    FoundDefinition Level(int file, int scope, const SectionFilter& filter) {
        const NetlistFileData& data_ = data.files[file];
        const auto [first, last] = data_.byName.equal_range(name);
        for (auto it = first; it != last; ++it) {
            const NetlistDefinition& definition = data_.definitions[it->second];
            if (definition.kind == kind && definition.scope == scope &&
                filter.Passes(definition.section))
                return {file, it->second};
        }
        for (const NetlistInclude& include : data_.includes) {
            if (include.scope != scope || !filter.Passes(include.inSection))
                continue;
            if (include.file < 0) {
                MarkIncomplete();
                continue;
            }
            SectionFilter inner;
            if (include.section.empty()) {
                inner.all = true;
            } else {
                inner.section = data.files[include.file].SectionIndex(include.section);
                if (inner.section < 0) {
                    MarkIncomplete();
                    continue;
                }
            }
            if (!visited.insert({include.file, inner.all ? -2 : inner.section}).second)
                continue;
            if (FoundDefinition found = Level(include.file, 0, inner))
                return found;
        }
        return {};
    }
};

}  // namespace

FoundDefinition LookUp(const NetlistModelData& data, SymbolKind kind, const std::string& name,
                       int file, int scope, int section, bool* incomplete) {
    if (file < 0 || file >= static_cast<int>(data.files.size()))
        return {};
    Search search{data, kind, name, incomplete, {}};
    SectionFilter own;
    own.section = section;
    own.outsideToo = true;
    for (int level = scope; level >= 0; level = data.files[file].scopes[level].parent) {
        if (FoundDefinition found = search.Level(file, level, own))
            return found;
    }
    return {};
}
