#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "NetlistAnalysis.h"
#include "NetlistModel.h"
#include "NetlistStatements.h"

// The checks of a netlist before a run, fed with its element lines as they are read; the names
// they use are looked up once every file is in, since a model may be defined after its use or in
// an included file.
class NetlistChecks {
public:
    void Start(const std::string& path);
    void OpenSubcircuit(int scope, const std::vector<std::string>& ports);
    // A scope that includes a file may have its nodes connected there.
    void AddInclude(int scope);
    void AddElement(const NetlistStatement& element, int scope, int section, bool conditional);
    void Report(const NetlistToken& at, FindingLevel level, std::string text);
    // Looks the names used up and adds every finding, in order of place.
    void Finish(const NetlistModelData& data, std::vector<NetlistFinding>& findings);

private:
    struct Mention {
        std::string written;
        int line = 0;
        int column = 0;
    };
    struct Reference {
        SymbolKind kind = SymbolKind::Model;
        std::vector<Mention> candidates;
        Mention element;
        int scope = 0;
        int section = -1;
        int nodes = 0;
    };
    struct NodeUse {
        int count = 0;
        Mention first;
        std::string element;
        bool drivenOnly = false;
    };
    struct ScopeNodes {
        std::unordered_map<std::string, NodeUse> connected;
        std::unordered_set<std::string> mentioned;
        std::unordered_set<std::string> ports;
        std::unordered_map<std::string, int> elementLines;
        bool mayConnectElsewhere = false;
    };

    ScopeNodes& Scope(int scope);
    void CheckElementName(const NetlistStatement& element, ScopeNodes& nodes, bool conditional);
    void CountNodes(const NetlistStatement& element, ScopeNodes& nodes);
    void AddReferences(const NetlistStatement& element, int scope, int section);
    std::vector<bool> ScopesInUse(const NetlistModelData& data,
                                  const std::vector<FoundDefinition>& found) const;
    void ResolveReferences(const NetlistModelData& data);
    void WarnSingleConnections(const NetlistModelData& data);

    std::string path;
    std::vector<ScopeNodes> scopes;
    std::vector<Reference> references;
    std::vector<NetlistFinding> found;
};
