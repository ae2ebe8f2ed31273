// The questions the editor asks of an analysis: what a name at a place stands for, where it is
// used, and what may be typed there.

#include <algorithm>
#include <set>

#include "ElementShapes.h"
#include "NetlistAnalysis.h"
#include "NetlistModel.h"
#include "NetlistStatements.h"

namespace {

bool IsWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '.' || c == '#' || c == '$' || c == '!' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// The word of the token around column (the token's own text when it is a plain name); empty
// when column falls outside it.
std::string_view WordAt(const NetlistToken& token, int column) {
    const int offset = column - token.column;
    if (offset < 0 || offset > static_cast<int>(token.text.size()))
        return {};
    std::size_t start = static_cast<std::size_t>(offset);
    std::size_t end = start;
    while (start > 0 && IsWordCharacter(token.text[start - 1]))
        --start;
    while (end < token.text.size() && IsWordCharacter(token.text[end]))
        ++end;
    return token.text.substr(start, end - start);
}

// A word inside an expression or on the value side of an assignment: a parameter's use.
bool InExpression(const NetlistToken& token, int column) {
    const std::string_view text = token.text;
    const std::size_t offset = static_cast<std::size_t>(column - token.column);
    const std::size_t equals = text.find('=');
    return text.front() == '{' || text.front() == '\'' ||
           (equals != std::string_view::npos && offset > equals);
}

struct Located {
    int file = -1;
    int section = -1;
    NetlistStatement statement;
    int token = -1;
};

// The statement and token at the place, with the .lib section the line stands in.
bool Locate(const NetlistModelData& data, const NetlistPlace& at, Located& located) {
    located.file = data.FileIndex(at.file);
    if (located.file < 0)
        return false;
    const NetlistFileData& file = data.files[located.file];
    StatementReader reader(*file.text, file.titled);
    while (reader.Next(located.statement)) {
        const NetlistStatement& statement = located.statement;
        if (statement.firstLine > at.line)
            return false;
        if (statement.kind == StatementKind::Dot) {
            if (statement.keyword == ".lib" && statement.tokens.size() == 2)
                located.section = file.SectionIndex(LowerName(Unquoted(statement.tokens[1].text)));
            else if (statement.keyword == ".endl")
                located.section = -1;
        }
        if (statement.lastLine < at.line)
            continue;
        for (int i = 0; i < static_cast<int>(statement.tokens.size()); ++i) {
            const NetlistToken& token = statement.tokens[i];
            if (token.line == at.line && at.column >= token.column &&
                at.column <= token.column + static_cast<int>(token.text.size())) {
                located.token = i;
                return true;
            }
        }
        return false;
    }
    return false;
}

bool Contains(const std::vector<int>& indexes, int index) {
    return std::find(indexes.begin(), indexes.end(), index) != indexes.end();
}

// The kinds of symbol the token may name, the likeliest first.
std::vector<SymbolKind> KindsAt(const Located& located, int column) {
    const NetlistStatement& statement = located.statement;
    const NetlistToken& token = statement.tokens[located.token];
    if (InExpression(token, column))
        return {SymbolKind::Parameter};
    if (statement.kind == StatementKind::Element) {
        if (ElementLetter(statement) == 'x' && SubcircuitNameToken(statement) == located.token)
            return {SymbolKind::Subcircuit};
        std::vector<int> indexes;
        ModelCandidateTokens(statement, indexes);
        if (Contains(indexes, located.token))
            return {SymbolKind::Model, SymbolKind::Parameter};
        NodeTokens(statement, indexes);
        if (Contains(indexes, located.token))
            return {SymbolKind::Node};
    }
    if (statement.keyword == ".subckt" && located.token == 1)
        return {SymbolKind::Subcircuit};
    if (statement.keyword == ".model" && located.token == 1)
        return {SymbolKind::Model};
    return {SymbolKind::Subcircuit, SymbolKind::Model, SymbolKind::Parameter};
}

bool IsIncludeLine(const NetlistStatement& statement) {
    return statement.kind == StatementKind::Dot &&
           (statement.keyword == ".include" || statement.keyword == ".inc" ||
            (statement.keyword == ".lib" && statement.tokens.size() >= 3));
}

const NetlistInclude* IncludeOnLine(const NetlistFileData& file, int line) {
    for (const NetlistInclude& include : file.includes) {
        if (include.line == line)
            return &include;
    }
    return nullptr;
}

struct Symbol {
    SymbolKind kind = SymbolKind::Node;
    std::string name;
    FoundDefinition definition;
    int file = -1;
    int scope = 0;
};

bool ResolveSymbol(const NetlistModelData& data, const Located& located, int column, Symbol& symbol) {
    const NetlistToken& token = located.statement.tokens[located.token];
    symbol.name = LowerName(WordAt(token, column));
    if (symbol.name.empty())
        return false;
    symbol.file = located.file;
    symbol.scope = data.files[located.file].ScopeOfLine(token.line);
    for (SymbolKind kind : KindsAt(located, column)) {
        symbol.kind = kind;
        if (kind == SymbolKind::Node)
            return true;
        symbol.definition = LookUp(data, kind, symbol.name, located.file, symbol.scope, located.section);
        if (symbol.definition)
            return true;
    }
    return false;
}

NetlistPlace PlaceOf(const NetlistModelData& data, const FoundDefinition& found) {
    const NetlistDefinition& definition = data.files[found.file].definitions[found.index];
    return {data.files[found.file].path, definition.line, definition.column};
}

}  // namespace

bool NetlistAnalysis::ReadsFile(const std::string& path) const {
    return data != nullptr && data->FileIndex(path) >= 0;
}

bool NetlistAnalysis::FindDefinition(const NetlistPlace& at, NetlistPlace& definition) const {
    if (data == nullptr)
        return false;
    Located located;
    if (!Locate(*data, at, located))
        return false;
    if (IsIncludeLine(located.statement) && (located.token == 1 || located.token == 2)) {
        const NetlistInclude* include =
            IncludeOnLine(data->files[located.file], located.statement.tokens[1].line);
        if (include == nullptr || include->file < 0)
            return false;
        const NetlistFileData& target = data->files[include->file];
        const int section = include->section.empty() ? -1 : target.SectionIndex(include->section);
        definition = {target.path, section < 0 ? 0 : target.sections[section].line, 0};
        return true;
    }
    Symbol symbol;
    if (!ResolveSymbol(*data, located, at.column, symbol) || !symbol.definition)
        return false;
    definition = PlaceOf(*data, symbol.definition);
    return true;
}

namespace {

bool SameSymbol(const NetlistModelData& data, const Symbol& wanted, const Symbol& found) {
    if (wanted.kind != found.kind || wanted.name != found.name)
        return false;
    if (wanted.kind != SymbolKind::Node)
        return found.definition.file == wanted.definition.file &&
               found.definition.index == wanted.definition.index;
    const bool everywhere = wanted.name == "0" || wanted.name == "gnd" ||
                            std::find(data.globalNodes.begin(), data.globalNodes.end(),
                                      wanted.name) != data.globalNodes.end();
    return everywhere || (found.file == wanted.file && found.scope == wanted.scope);
}

// The columns where the name stands as a whole word in the token.
std::vector<int> WordColumns(const NetlistToken& token, const std::string& name) {
    std::vector<int> columns;
    const std::string lower = LowerName(token.text);
    for (std::size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || !IsWordCharacter(lower[at - 1])) &&
            (end == lower.size() || !IsWordCharacter(lower[end])))
            columns.push_back(token.column + static_cast<int>(at));
    }
    return columns;
}

void AddUsagesOfFile(const NetlistModelData& data, int fileIndex, const Symbol& wanted,
                     std::vector<NetlistUsage>& usages) {
    const NetlistFileData& file = data.files[fileIndex];
    Located located;
    located.file = fileIndex;
    StatementReader reader(*file.text, file.titled);
    while (reader.Next(located.statement)) {
        const NetlistStatement& statement = located.statement;
        if (statement.kind == StatementKind::Dot && statement.keyword == ".lib" &&
            statement.tokens.size() == 2)
            located.section = file.SectionIndex(LowerName(Unquoted(statement.tokens[1].text)));
        else if (statement.kind == StatementKind::Dot && statement.keyword == ".endl")
            located.section = -1;
        if (statement.kind == StatementKind::Title || statement.kind == StatementKind::Control)
            continue;
        for (int i = 0; i < static_cast<int>(statement.tokens.size()); ++i) {
            for (int column : WordColumns(statement.tokens[i], wanted.name)) {
                located.token = i;
                Symbol found;
                if (ResolveSymbol(data, located, column, found) && SameSymbol(data, wanted, found))
                    usages.push_back({{file.path, statement.tokens[i].line, column},
                                      std::string(file.text->Line(statement.tokens[i].line))});
            }
        }
    }
}

const char* const kDotCommands[] = {
    ".ac",     ".control", ".csparam", ".dc",     ".disto",   ".else",   ".elseif", ".end",
    ".endc",   ".endif",   ".endl",    ".ends",   ".four",    ".func",   ".global", ".ic",
    ".if",     ".include", ".lib",     ".meas",   ".measure", ".model",  ".noise",  ".nodeset",
    ".op",     ".options", ".param",   ".plot",   ".print",   ".probe",  ".pz",     ".save",
    ".sens",   ".sp",      ".subckt",  ".temp",   ".tf",      ".title",  ".tran",   ".width"};

std::string HintOf(const NetlistDefinition& definition) {
    switch (definition.kind) {
    case SymbolKind::Subcircuit: {
        std::string ports;
        for (const std::string& port : definition.ports)
            ports += (ports.empty() ? "" : " ") + port;
        return "подсхема: " + ports;
    }
    case SymbolKind::Model: return "модель " + definition.detail;
    case SymbolKind::Parameter: return "= " + definition.detail;
    default: return {};
    }
}

// Every definition visible at the scope of the file, and in the files included there.
void CollectVisible(const NetlistModelData& data, int fileIndex, int scope,
                    std::set<int>& visitedFiles, std::vector<const NetlistDefinition*>& found) {
    const NetlistFileData& file = data.files[fileIndex];
    for (int level = scope; level >= 0; level = file.scopes[level].parent) {
        for (const NetlistDefinition& definition : file.definitions) {
            if (definition.scope == level)
                found.push_back(&definition);
        }
        for (const NetlistInclude& include : file.includes) {
            if (include.scope == level && include.file >= 0 &&
                visitedFiles.insert(include.file).second)
                CollectVisible(data, include.file, 0, visitedFiles, found);
        }
    }
}

}  // namespace

std::vector<NetlistUsage> NetlistAnalysis::FindUsages(const NetlistPlace& at) const {
    std::vector<NetlistUsage> usages;
    if (data == nullptr)
        return usages;
    Located located;
    Symbol wanted;
    if (!Locate(*data, at, located) || !ResolveSymbol(*data, located, at.column, wanted))
        return usages;
    if (wanted.kind == SymbolKind::Node) {
        AddUsagesOfFile(*data, located.file, wanted, usages);
        return usages;
    }
    for (int file = 0; file < static_cast<int>(data->files.size()); ++file)
        AddUsagesOfFile(*data, file, wanted, usages);
    return usages;
}

std::vector<NetlistCompletion> NetlistAnalysis::CompletionsAt(const NetlistPlace& at,
                                                              const std::string& prefix) const {
    std::vector<NetlistCompletion> completions;
    const std::string lowerPrefix = LowerName(prefix);
    if (!lowerPrefix.empty() && lowerPrefix.front() == '.') {
        for (const char* command : kDotCommands) {
            if (std::string_view(command).rfind(lowerPrefix, 0) == 0)
                completions.push_back({command, {}});
        }
        return completions;
    }
    if (data == nullptr)
        return completions;
    const int file = std::max(0, data->FileIndex(at.file));
    std::set<int> visitedFiles{file};
    std::vector<const NetlistDefinition*> visible;
    CollectVisible(*data, file, data->files[file].ScopeOfLine(at.line), visitedFiles, visible);
    std::set<std::string> seen;
    for (const NetlistDefinition* definition : visible) {
        if (definition->name.rfind(lowerPrefix, 0) != 0 || !seen.insert(definition->name).second)
            continue;
        completions.push_back({definition->written, HintOf(*definition)});
    }
    std::sort(completions.begin(), completions.end(),
              [](const auto& a, const auto& b) { return LowerName(a.text) < LowerName(b.text); });
    return completions;
}
