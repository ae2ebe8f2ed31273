#include "NetlistChecks.h"

#include <algorithm>

#include "ElementShapes.h"

namespace {

// A node as the simulator names it: brackets and inversion marks of digital ports stripped.
std::string NodeName(std::string_view token) {
    while (!token.empty() && (token.front() == '[' || token.front() == '~'))
        token.remove_prefix(1);
    while (!token.empty() && token.back() == ']')
        token.remove_suffix(1);
    return LowerName(token);
}

bool IsGround(const std::string& node) { return node == "0" || node == "gnd"; }

}  // namespace

void NetlistChecks::Start(const std::string& netlistPath) { path = netlistPath; }

NetlistChecks::ScopeNodes& NetlistChecks::Scope(int scope) {
    if (scope >= static_cast<int>(scopes.size()))
        scopes.resize(scope + 1);
    return scopes[scope];
}

void NetlistChecks::OpenSubcircuit(int scope, const std::vector<std::string>& ports) {
    ScopeNodes& nodes = Scope(scope);
    for (const std::string& port : ports)
        nodes.ports.insert(LowerName(port));
}

void NetlistChecks::AddInclude(int scope) { Scope(scope).mayConnectElsewhere = true; }

void NetlistChecks::Report(const NetlistToken& at, FindingLevel level, std::string text) {
    found.push_back({{path, at.line, at.column}, level, std::move(text)});
}

void NetlistChecks::AddElement(const NetlistStatement& element, int scope, int section,
                               bool conditional) {
    ScopeNodes& nodes = Scope(scope);
    const char letter = ElementLetter(element);
    if (letter < 'a' || letter > 'z') {
        Report(element.tokens[0], FindingLevel::Error,
               "строка не начинается ни с буквы элемента, ни с точки команды");
        nodes.mayConnectElsewhere = true;
        return;
    }
    CheckElementName(element, nodes, conditional);
    const int fields = static_cast<int>(element.tokens.size()) - 1;
    const int needed = MinimumFields(letter);
    if (fields < needed) {
        Report(element.tokens[0], FindingLevel::Error,
               "элементу «" + std::string(element.tokens[0].text) + "» нужно не меньше " +
                   std::to_string(needed) + " узлов и значений, а их " + std::to_string(fields));
        nodes.mayConnectElsewhere = true;
        return;
    }
    CountNodes(element, nodes);
    AddReferences(element, scope, section);
}

void NetlistChecks::CheckElementName(const NetlistStatement& element, ScopeNodes& nodes,
                                     bool conditional) {
    // Branches of .if blocks may define the same element each.
    if (conditional)
        return;
    const NetlistToken& name = element.tokens[0];
    const auto [at, added] = nodes.elementLines.emplace(LowerName(name.text), name.line);
    if (!added)
        Report(name, FindingLevel::Error,
               "элемент «" + std::string(name.text) + "» уже есть в строке " +
                   std::to_string(at->second + 1));
}

void NetlistChecks::CountNodes(const NetlistStatement& element, ScopeNodes& nodes) {
    const std::vector<int> nodeTokens = NodeTokens(element);
    if (nodeTokens.empty() && MinimumFields(ElementLetter(element)) == 0 &&
        ElementLetter(element) != 'k')
        nodes.mayConnectElsewhere = true;  // a kind of element whose nodes Kivra cannot tell
    std::size_t next = 0;
    for (int i = 1; i < static_cast<int>(element.tokens.size()); ++i) {
        const NetlistToken& token = element.tokens[i];
        if (next < nodeTokens.size() && nodeTokens[next] == i) {
            ++next;
            NodeUse& use = nodes.connected[NodeName(token.text)];
            if (use.count++ == 0) {
                use.first = {std::string(token.text), token.line, token.column};
                use.element = std::string(element.tokens[0].text);
                const char letter = ElementLetter(element);
                use.drivenOnly = letter == 'v' || letter == 'e' || letter == 'h' || letter == 'b';
            }
        } else {
            // Nodes named elsewhere on a line: controlling nodes, expressions, polynomials.
            nodes.mentioned.insert(NodeName(Unquoted(token.text)));
            for (std::size_t start = 0; start < token.text.size();) {
                const std::size_t end = token.text.find_first_of("(){}', =*+-/<>", start);
                const std::size_t stop = end == std::string_view::npos ? token.text.size() : end;
                if (stop > start)
                    nodes.mentioned.insert(LowerName(token.text.substr(start, stop - start)));
                start = stop + 1;
            }
        }
    }
}

void NetlistChecks::AddReferences(const NetlistStatement& element, int scope, int section) {
    Reference reference;
    reference.scope = scope;
    reference.section = section;
    const NetlistToken& name = element.tokens[0];
    reference.element = {std::string(name.text), name.line, name.column};
    std::vector<int> candidates;
    if (ElementLetter(element) == 'x') {
        const int subcircuit = SubcircuitNameToken(element);
        if (subcircuit < 0)
            return;
        reference.kind = SymbolKind::Subcircuit;
        reference.nodes = subcircuit - 1;
        candidates.push_back(subcircuit);
    } else {
        candidates = ModelCandidateTokens(element);
    }
    for (int index : candidates) {
        const NetlistToken& token = element.tokens[index];
        reference.candidates.push_back({std::string(token.text), token.line, token.column});
    }
    if (!reference.candidates.empty())
        references.push_back(std::move(reference));
}

std::vector<bool> NetlistChecks::ScopesInUse(const NetlistModelData& data,
                                             const std::vector<FoundDefinition>& found) const {
    // The simulator reads a subcircuit only where a line uses it: from the top level inwards.
    const NetlistFileData& netlist = data.files[0];
    std::vector<bool> used(netlist.scopes.size(), false);
    used[0] = true;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < references.size(); ++i) {
            if (references[i].kind != SymbolKind::Subcircuit || !found[i] || found[i].file != 0 ||
                !used[references[i].scope])
                continue;
            for (std::size_t scope = 1; scope < netlist.scopes.size(); ++scope) {
                if (netlist.scopes[scope].definition == found[i].index && !used[scope]) {
                    used[scope] = grew = true;
                    // What a used subcircuit holds is read with it.
                    for (std::size_t inner = scope + 1; inner < netlist.scopes.size(); ++inner) {
                        if (netlist.scopes[inner].parent == static_cast<int>(scope))
                            used[inner] = true;
                    }
                }
            }
        }
    }
    return used;
}

void NetlistChecks::ResolveReferences(const NetlistModelData& data) {
    std::vector<FoundDefinition> found(references.size());
    std::vector<bool> incomplete(references.size(), false);
    for (std::size_t i = 0; i < references.size(); ++i) {
        bool missingInclude = false;
        for (const Mention& candidate : references[i].candidates) {
            found[i] = LookUp(data, references[i].kind, LowerName(candidate.written), 0,
                              references[i].scope, references[i].section, &missingInclude);
            if (found[i])
                break;
        }
        incomplete[i] = missingInclude;
    }
    const std::vector<bool> used = ScopesInUse(data, found);
    for (std::size_t i = 0; i < references.size(); ++i) {
        const Reference& reference = references[i];
        const Mention& named = reference.candidates.back();
        const NetlistToken at{named.written, named.line, named.column};
        // In a subcircuit no line uses, the simulator never meets the mistake.
        const bool inUse = reference.scope < static_cast<int>(used.size()) && used[reference.scope];
        const FindingLevel level = inUse ? FindingLevel::Error : FindingLevel::Warning;
        const std::string unused = inUse ? "" : " (подсхема, где она стоит, не используется)";
        if (!found[i]) {
            // A resistor, capacitor or inductor may name a parameter where a value stands.
            if (reference.kind == SymbolKind::Model &&
                LookUp(data, SymbolKind::Parameter, LowerName(named.written), 0, reference.scope,
                       reference.section))
                continue;
            if (!incomplete[i])
                Report(at, level,
                       std::string(reference.kind == SymbolKind::Subcircuit ? "подсхема «"
                                                                            : "модель «") +
                           named.written + "» нигде не определена" + unused);
            continue;
        }
        if (reference.kind != SymbolKind::Subcircuit)
            continue;
        const NetlistDefinition& subcircuit = data.files[found[i].file].definitions[found[i].index];
        const auto& ports = subcircuit.ports;
        const int most = static_cast<int>(ports.size()) + subcircuit.optionalPorts;
        if (reference.nodes < static_cast<int>(ports.size()) || reference.nodes > most)
            Report({reference.element.written, reference.element.line, reference.element.column},
                   level,
                   "у подсхемы «" + named.written + "» выводов " + std::to_string(ports.size()) +
                       ", а в строке узлов " + std::to_string(reference.nodes) + unused);
    }
}

void NetlistChecks::WarnSingleConnections(const NetlistModelData& data) {
    std::unordered_set<std::string> globals(data.globalNodes.begin(), data.globalNodes.end());
    for (const ScopeNodes& nodes : scopes) {
        if (nodes.mayConnectElsewhere)
            continue;
        for (const auto& [node, use] : nodes.connected) {
            // A node that only a voltage source (or a source that may be one) drives is a
            // value for expressions, and leaves the matrix sound.
            if (use.count != 1 || use.drivenOnly || IsGround(node) || globals.count(node) != 0 ||
                nodes.ports.count(node) != 0 || nodes.mentioned.count(node) != 0)
                continue;
            Report({use.first.written, use.first.line, use.first.column}, FindingLevel::Warning,
                   "узел «" + use.first.written + "» подключён только к элементу «" +
                       use.element + "»");
        }
    }
}

void NetlistChecks::Finish(const NetlistModelData& data, std::vector<NetlistFinding>& findings) {
    ResolveReferences(data);
    WarnSingleConnections(data);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.place.line != b.place.line ? a.place.line < b.place.line
                                            : a.place.column < b.place.column;
    });
    findings = std::move(found);
}
