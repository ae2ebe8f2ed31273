#include "NetlistChecks.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "ElementShapes.h"

namespace {

// A node as the simulator names it: brackets and inversion marks of digital ports stripped.
std::string_view NodeName(std::string_view token) {
    while (!token.empty() && (token.front() == '[' || token.front() == '~'))
        token.remove_prefix(1);
    while (!token.empty() && token.back() == ']')
        token.remove_suffix(1);
    return token;
}

bool IsGround(const std::string& node) { return node == "0" || node == "gnd"; }

// What a node record tells of the node.
constexpr std::uint8_t kConnection = 0;
constexpr std::uint8_t kDrivenConnection = 1;  // by a source that may hold it at a voltage
constexpr std::uint8_t kMention = 2;
constexpr std::uint8_t kPort = 3;

// Letters whose fields after the nodes may name nodes too: controlling nodes, polynomials,
// expressions, digital ports.
bool MayMentionNodes(char letter) {
    return letter == 'e' || letter == 'g' || letter == 'f' || letter == 'h' || letter == 'b' ||
           letter == 'a' || letter == 'n' || letter == 'p' || letter == 'y';
}

bool IsExpression(std::string_view token) {
    return token.find_first_of("{'\"") != std::string_view::npos;
}

// Elements a node may hang on alone and leave the matrix sound: sources that may hold it at a
// voltage (the node is then a value for expressions), and code models, whose digital ports are
// no part of the matrix at all.
bool MayDriveAVoltage(char letter) {
    return letter == 'v' || letter == 'e' || letter == 'h' || letter == 'b' || letter == 'a';
}

}  // namespace

void NetlistChecks::Start(const std::string& netlistPath, const NetlistText& netlistText) {
    path = netlistPath;
    text = &netlistText;
}

NetlistChecks::Span NetlistChecks::SpanOf(const NetlistToken& token) {
    return {token.line, token.column, static_cast<int>(token.text.size())};
}

std::string NetlistChecks::TextOf(const Span& span) const {
    return std::string(text->Line(span.line).substr(span.column, span.length));
}

void NetlistChecks::AddNode(std::string_view name, int scope, const NetlistToken& at,
                            int elementLine, std::uint8_t kind) {
    NodeRecord record;
    record.key = HashName(name, static_cast<std::uint64_t>(scope));
    record.line = at.line;
    record.column = at.column;
    record.scope = scope;
    record.elementLineBefore =
        static_cast<std::uint16_t>(std::min(at.line - elementLine, 0xFFFF));
    record.kind = kind;
    nodes.Add(record);
}

void NetlistChecks::MayConnectElsewhere(int scope) {
    if (scope >= static_cast<int>(connectedElsewhere.size()))
        connectedElsewhere.resize(scope + 1, false);
    connectedElsewhere[scope] = true;
}

void NetlistChecks::OpenSubcircuit(int scope, const std::vector<std::string>& ports) {
    for (const std::string& port : ports)
        AddNode(port, scope, {port, 0, 0}, 0, kPort);
}

void NetlistChecks::AddInclude(int scope) { MayConnectElsewhere(scope); }

void NetlistChecks::Report(const NetlistToken& at, FindingLevel level, std::string message) {
    Add(found, at, level, std::move(message));
}

void NetlistChecks::Add(std::vector<NetlistFinding>& into, const NetlistToken& at,
                        FindingLevel level, std::string message) const {
    into.push_back({{path, at.line, at.column}, level, std::move(message)});
}

void NetlistChecks::AddElement(const NetlistStatement& element, int scope, int section,
                               bool conditional) {
    const char letter = ElementLetter(element);
    if (letter < 'a' || letter > 'z') {
        Report(element.tokens[0], FindingLevel::Error,
               "строка не начинается ни с буквы элемента, ни с точки команды");
        MayConnectElsewhere(scope);
        return;
    }
    CheckElementName(element, scope, conditional);
    const int fields = static_cast<int>(element.tokens.size()) - 1;
    const int needed = MinimumFields(letter);
    if (fields < needed) {
        Report(element.tokens[0], FindingLevel::Error,
               "элементу «" + std::string(element.tokens[0].text) + "» нужно не меньше " +
                   std::to_string(needed) + " узлов и значений, а их " + std::to_string(fields));
        MayConnectElsewhere(scope);
        return;
    }
    CountNodes(element, scope);
    AddReferences(element, scope, section);
}

void NetlistChecks::CheckElementName(const NetlistStatement& element, int scope,
                                     bool conditional) {
    // Branches of .if blocks may define the same element each.
    if (conditional)
        return;
    const NetlistToken& name = element.tokens[0];
    elementNames.Add({HashName(name.text, static_cast<std::uint64_t>(scope)), name.line, name.column});
}

void NetlistChecks::CountNodes(const NetlistStatement& element, int scope) {
    const char letter = ElementLetter(element);
    std::vector<int>& nodeTokens = indexes;
    NodeTokens(element, nodeTokens);
    if (nodeTokens.empty() && MinimumFields(letter) == 0 && letter != 'k')
        MayConnectElsewhere(scope);  // a kind of element whose nodes Kivra cannot tell
    const bool mentionsNodes = MayMentionNodes(letter);
    ModelCandidateTokens(element, candidateIndexes);
    const int elementLine = element.firstLine;
    std::size_t next = 0;
    for (int i = 1; i < static_cast<int>(element.tokens.size()); ++i) {
        const NetlistToken& token = element.tokens[i];
        if (next < nodeTokens.size() && nodeTokens[next] == i) {
            ++next;
            AddNode(NodeName(token.text), scope, token, elementLine,
                    MayDriveAVoltage(letter) ? kDrivenConnection : kConnection);
            continue;
        }
        // Of the names before a model, those that are not the model are extra nodes: thermal,
        // substrate, body.
        const bool mayBeNode =
            std::find(candidateIndexes.begin(), candidateIndexes.end(), i) != candidateIndexes.end();
        if (!mentionsNodes && !mayBeNode && !IsExpression(token.text))
            continue;
        // Nodes named elsewhere on the line: controlling nodes, expressions, polynomials.
        const std::string_view words = token.text;
        for (std::size_t start = 0; start < words.size();) {
            const std::size_t end = words.find_first_of("(){}[]~'\", =*+-/<>", start);
            const std::size_t stop = end == std::string_view::npos ? words.size() : end;
            if (stop > start)
                AddNode(words.substr(start, stop - start), scope, token, elementLine, kMention);
            start = stop + 1;
        }
    }
}

void NetlistChecks::AddReferences(const NetlistStatement& element, int scope, int section) {
    Reference reference;
    reference.scope = scope;
    reference.section = section;
    reference.element = SpanOf(element.tokens[0]);
    reference.firstCandidate = static_cast<int>(candidates.size());
    if (ElementLetter(element) == 'x') {
        const int subcircuit = SubcircuitNameToken(element);
        if (subcircuit < 0)
            return;
        reference.kind = SymbolKind::Subcircuit;
        reference.nodes = subcircuit - 1;
        candidates.push_back(SpanOf(element.tokens[subcircuit]));
    } else {
        ModelCandidateTokens(element, indexes);
        for (int index : indexes)
            candidates.push_back(SpanOf(element.tokens[index]));
    }
    reference.candidateCount = static_cast<int>(candidates.size()) - reference.firstCandidate;
    if (reference.candidateCount > 0)
        references.push_back(reference);
}

std::vector<bool> NetlistChecks::ScopesInUse(const NetlistModelData& data,
                                             const std::vector<FoundDefinition>& resolved) const {
    // The simulator reads a subcircuit only where a line uses it: from the top level inwards.
    const NetlistFileData& netlist = data.files[0];
    std::unordered_map<int, int> scopeOfDefinition;
    for (std::size_t scope = 1; scope < netlist.scopes.size(); ++scope)
        scopeOfDefinition[netlist.scopes[scope].definition] = static_cast<int>(scope);
    std::vector<bool> used(netlist.scopes.size(), false);
    used[0] = true;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < references.size(); ++i) {
            if (references[i].kind != SymbolKind::Subcircuit || !resolved[i] ||
                resolved[i].file != 0 || !used[references[i].scope])
                continue;
            const auto scope = scopeOfDefinition.find(resolved[i].index);
            if (scope != scopeOfDefinition.end() && !used[scope->second])
                used[scope->second] = grew = true;
        }
    }
    return used;
}

void NetlistChecks::ResolveReferences(const NetlistModelData& data,
                                      std::vector<NetlistFinding>& into) {
    struct Answer {
        FoundDefinition definition;
        bool incomplete = false;
    };
    // Millions of lines name a few thousand things: each is looked up once per scope.
    std::unordered_map<std::string, Answer> answers;
    auto lookUp = [&](SymbolKind kind, const std::string& name, int scope, int section) {
        const std::string key = std::to_string(static_cast<int>(kind)) + ':' +
                                std::to_string(scope) + ':' + std::to_string(section) + ':' + name;
        auto [at, added] = answers.try_emplace(key);
        if (added)
            at->second.definition = LookUp(data, kind, name, 0, scope, section, &at->second.incomplete);
        return at->second;
    };
    std::vector<FoundDefinition> resolved(references.size());
    std::vector<bool> incomplete(references.size(), false);
    for (std::size_t i = 0; i < references.size(); ++i) {
        const Reference& reference = references[i];
        for (int c = 0; c < reference.candidateCount; ++c) {
            const Answer answer = lookUp(reference.kind,
                                         LowerName(TextOf(candidates[reference.firstCandidate + c])),
                                         reference.scope, reference.section);
            incomplete[i] = incomplete[i] || answer.incomplete;
            resolved[i] = answer.definition;
            if (resolved[i])
                break;
        }
    }
    const std::vector<bool> used = ScopesInUse(data, resolved);
    for (std::size_t i = 0; i < references.size(); ++i) {
        const Reference& reference = references[i];
        const Span& last = candidates[reference.firstCandidate + reference.candidateCount - 1];
        const std::string named = TextOf(last);
        // In a subcircuit no line uses, the simulator never meets the mistake.
        const bool inUse = used[reference.scope];
        const FindingLevel level = inUse ? FindingLevel::Error : FindingLevel::Warning;
        const std::string unused = inUse ? "" : " (подсхема, где она стоит, не используется)";
        if (!resolved[i]) {
            // A resistor, capacitor or inductor may name a parameter where a value stands.
            if (reference.kind == SymbolKind::Model &&
                lookUp(SymbolKind::Parameter, LowerName(named), reference.scope, reference.section)
                    .definition)
                continue;
            if (!incomplete[i])
                Add(into, {named, last.line, last.column}, level,
                       std::string(reference.kind == SymbolKind::Subcircuit ? "подсхема «"
                                                                            : "модель «") +
                           named + "» нигде не определена" + unused);
            continue;
        }
        if (reference.kind != SymbolKind::Subcircuit)
            continue;
        const NetlistDefinition& subcircuit =
            data.files[resolved[i].file].definitions[resolved[i].index];
        const int fewest = static_cast<int>(subcircuit.ports.size());
        const int most = fewest + subcircuit.optionalPorts;
        if (reference.nodes < fewest || reference.nodes > most)
            Add(into, {named, reference.element.line, reference.element.column}, level,
                   "у подсхемы «" + named + "» выводов " + std::to_string(fewest) +
                       ", а в строке узлов " + std::to_string(reference.nodes) + unused);
    }
}

void NetlistChecks::WarnSingleConnections(const NetlistModelData& data,
                                          std::vector<NetlistFinding>& into) {
    std::unordered_set<std::string> globals(data.globalNodes.begin(), data.globalNodes.end());
    nodes.ForEachName([&](auto first, auto last) {
        const NodeRecord* connection = nullptr;
        for (auto record = first; record != last; ++record) {
            if (record->kind >= kMention || connection != nullptr)
                return;
            connection = &*record;
        }
        if (connection == nullptr || connection->kind == kDrivenConnection ||
            (connection->scope < static_cast<int>(connectedElsewhere.size()) &&
             connectedElsewhere[connection->scope]))
            return;
        const std::string_view line = text->Line(connection->line);
        std::string_view token = line.substr(connection->column);
        token = token.substr(0, token.find_first_of(" \t,()"));
        const std::string_view written = NodeName(token);
        const int column = connection->column + static_cast<int>(written.data() - token.data());
        const std::string node = LowerName(written);
        if (IsGround(node) || globals.count(node) != 0)
            return;
        const std::string_view elementLine =
            text->Line(connection->line - connection->elementLineBefore);
        const std::size_t nameStart = elementLine.find_first_not_of(" \t");
        const std::string_view element =
            elementLine.substr(nameStart, elementLine.find_first_of(" \t,(", nameStart) - nameStart);
        Add(into, {written, connection->line, column}, FindingLevel::Warning,
               "узел «" + std::string(written) + "» подключён только к элементу «" +
                   std::string(element) + "»");
    });
}

void NetlistChecks::ReportDuplicateNames(std::vector<NetlistFinding>& into) {
    elementNames.ForEachName([&](auto first, auto last) {
        if (last - first < 2)
            return;
        std::sort(first, last, [](const auto& a, const auto& b) { return a.line < b.line; });
        for (auto again = first + 1; again != last; ++again) {
            std::string_view name = text->Line(again->line).substr(again->column);
            name = name.substr(0, name.find_first_of(" \t,("));
            Add(into, {name, again->line, again->column}, FindingLevel::Error,
                   "элемент «" + std::string(name) + "» уже есть в строке " +
                       std::to_string(first->line + 1));
        }
    });
}

void NetlistChecks::Finish(const NetlistModelData& data, std::vector<NetlistFinding>& findings) {
    // Two threads: the nodes on one, the names looked up and the element names on the other.
    std::vector<NetlistFinding> references, connections;
    std::thread names([&] {
        ResolveReferences(data, references);
        ReportDuplicateNames(references);
    });
    WarnSingleConnections(data, connections);
    names.join();
    for (auto* more : {&references, &connections})
        found.insert(found.end(), std::make_move_iterator(more->begin()),
                     std::make_move_iterator(more->end()));
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.place.line != b.place.line ? a.place.line < b.place.line
                                            : a.place.column < b.place.column;
    });
    findings = std::move(found);
}
