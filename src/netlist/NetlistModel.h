#pragma once

#include <climits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "NetlistAnalysis.h"
#include "NetlistText.h"

// What the reader keeps of each file it read: the scopes the subcircuits open, the names defined
// in them, the names used, and the files included. Everything else is read again from the text
// when a question needs it.

struct NetlistScope {
    int parent = -1;        // -1 for the file's top level (scope 0)
    int firstLine = 0;      // the .subckt line
    int lastLine = INT_MAX; // the .ends line
    int definition = -1;    // the subcircuit's entry in definitions
};

struct NetlistDefinition {
    SymbolKind kind = SymbolKind::Model;
    std::string name;  // lower-cased; a binned model "nch.2" is also known as "nch"
    std::string written;
    int line = 0;
    int column = 0;
    int scope = 0;
    int section = -1;  // the .lib section it stands in, -1 outside any
    std::vector<std::string> ports;
    int optionalPorts = 0;  // after "optional:", nodes with a default
    std::string detail;  // a model's type, a parameter's value
};

struct NetlistInclude {
    int line = 0;
    int column = 0;  // of the path
    int scope = 0;
    int inSection = -1;        // the section of this file the line stands in
    std::string written;       // the path as written, quotes removed
    int file = -1;             // the file read, -1 when it could not be
    std::string section;       // lower-cased; empty for a whole file
    int sectionColumn = 0;
};

struct NetlistSection {
    std::string name;  // lower-cased
    int line = 0;
};

struct NetlistFileData {
    std::string path;
    std::shared_ptr<const NetlistText> text;
    bool titled = false;
    std::vector<NetlistScope> scopes;
    std::vector<NetlistDefinition> definitions;
    std::unordered_multimap<std::string, int> byName;
    std::vector<NetlistInclude> includes;
    std::vector<NetlistSection> sections;

    // The innermost scope the line stands in.
    int ScopeOfLine(int line) const;
    int SectionIndex(const std::string& name) const;
};

struct NetlistModelData {
    std::vector<NetlistFileData> files;  // the netlist first, then what it includes
    std::vector<std::string> globalNodes;  // lower-cased

    int FileIndex(const std::string& path) const;
};

// A definition found: the file and its entry there.
struct FoundDefinition {
    int file = -1;
    int index = -1;
    explicit operator bool() const { return file >= 0; }
};

// Looks a name up as the simulator scopes it: in the scope, then outward, each level together
// with the files included at it; incomplete is set when an include on the way could not be read.
FoundDefinition LookUp(const NetlistModelData& data, SymbolKind kind, const std::string& name,
                       int file, int scope, int section, bool* incomplete = nullptr);
