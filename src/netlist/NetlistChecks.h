#pragma once

#include <string>
#include <vector>

#include "NameHash.h"
#include "NetlistAnalysis.h"
#include "NetlistModel.h"
#include "NetlistStatements.h"

// The checks of a netlist before a run, fed with its element lines as they are read; the names
// they use are looked up once every file is in, since a model may be defined after its use or in
// an included file. A netlist of millions of lines keeps no string per name: names are hashes,
// and their text is read again from the netlist where a finding needs it.
class NetlistChecks {
public:
    void Start(const std::string& path, const NetlistText& text);
    void OpenSubcircuit(int scope, const std::vector<std::string>& ports);
    // A scope that includes a file may have its nodes connected there.
    void AddInclude(int scope);
    void AddElement(const NetlistStatement& element, int scope, int section, bool conditional);
    void Report(const NetlistToken& at, FindingLevel level, std::string text);
    // Looks the names used up and adds every finding, in order of place.
    void Finish(const NetlistModelData& data, std::vector<NetlistFinding>& findings);

private:
    struct Span {
        int line = 0;
        int column = 0;
        int length = 0;
    };
    struct Reference {
        SymbolKind kind = SymbolKind::Model;
        int scope = 0;
        int section = -1;
        int nodes = 0;
        Span element;
        int firstCandidate = 0;
        int candidateCount = 0;
    };
    // One use of a node: a connection, or a mention (in an expression, as a controlling node,
    // as a port of the subcircuit).
    struct NodeRecord {
        std::uint64_t key = 0;
        int line = 0;
        int column = 0;
        int scope = 0;
        std::uint16_t elementLineBefore = 0;  // how far above the line the element's name is
        std::uint8_t kind = 0;
    };
    struct NameRecord {
        std::uint64_t key = 0;
        int line = 0;
        int column = 0;
    };

    static Span SpanOf(const NetlistToken& token);
    std::string TextOf(const Span& span) const;
    void AddNode(std::string_view name, int scope, const NetlistToken& at, int elementLine,
                 std::uint8_t kind);
    void MayConnectElsewhere(int scope);
    void CheckElementName(const NetlistStatement& element, int scope, bool conditional);
    void CountNodes(const NetlistStatement& element, int scope);
    void AddReferences(const NetlistStatement& element, int scope, int section);
    std::vector<bool> ScopesInUse(const NetlistModelData& data,
                                  const std::vector<FoundDefinition>& found) const;
    // The checks that need every line read; each adds to its own list, so that they can run
    // side by side.
    void ResolveReferences(const NetlistModelData& data, std::vector<NetlistFinding>& into);
    void WarnSingleConnections(const NetlistModelData& data, std::vector<NetlistFinding>& into);
    void ReportDuplicateNames(std::vector<NetlistFinding>& into);
    void Add(std::vector<NetlistFinding>& into, const NetlistToken& at, FindingLevel level,
             std::string text) const;

    std::string path;
    const NetlistText* text = nullptr;
    NameRecords<NodeRecord> nodes;
    NameRecords<NameRecord> elementNames;
    std::vector<bool> connectedElsewhere;
    std::vector<Reference> references;
    std::vector<Span> candidates;
    std::vector<int> indexes;  // kept from line to line
    std::vector<int> candidateIndexes;
    std::vector<NetlistFinding> found;
};
