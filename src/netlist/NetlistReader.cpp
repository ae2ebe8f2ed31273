#include "NetlistReader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "ElementShapes.h"
#include "NetlistChecks.h"
#include "NetlistStatements.h"

namespace fs = std::filesystem;

namespace {

bool IsAnalysis(const std::string& keyword) {
    static const char* const analyses[] = {".op",  ".tran", ".ac",    ".dc",  ".noise", ".tf",
                                           ".sens", ".pz",  ".disto", ".four", ".pss",  ".sp"};
    return std::any_of(std::begin(analyses), std::end(analyses),
                       [&](const char* name) { return keyword == name; });
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// The statement's first line as the outline shows it, cut short when long.
std::string LabelOf(const NetlistText& text, const NetlistStatement& statement) {
    std::string label = Trimmed(text.Line(statement.firstLine));
    if (label.size() > 80)
        label = label.substr(0, 77) + "...";
    return label;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

// "name=value" split at its first "=", blanks around it dropped.
std::pair<std::string, std::string> SplitAssignment(std::string_view token) {
    const std::size_t equals = token.find('=');
    return {Trimmed(token.substr(0, equals)), Trimmed(token.substr(equals + 1))};
}

std::shared_ptr<const NetlistText> ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return nullptr;
    return std::make_shared<const NetlistText>(NetlistText::FromBytes(bytes.str()));
}

}  // namespace

bool IsLibraryFileName(const std::string& path) {
    std::string extension = LowerName(fs::path(path).extension().string());
    static const char* const libraries[] = {".lib", ".inc",   ".mod",   ".mdl",    ".model",
                                            ".models", ".include", ".nmos", ".pmos", ".subckt"};
    return std::any_of(std::begin(libraries), std::end(libraries),
                       [&](const char* name) { return extension == name; });
}

std::string ResolveIncludePath(const std::string& includingFile, const std::string& written) {
    fs::path path(written);
    if (written.rfind("~/", 0) == 0) {
        if (const char* home = std::getenv("HOME"))
            path = fs::path(home) / written.substr(2);
    }
    if (path.is_relative())
        path = fs::path(includingFile).parent_path() / path;
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return (error ? path.lexically_normal() : canonical).string();
}

// The state of a read that only the netlist itself needs: its outline and its checks.
struct NetlistReader::FileRead {
    std::vector<OutlineItem>* outline = nullptr;
    NetlistChecks checks;
    std::vector<int> outlineOfScope{-1};  // the outline entry of each scope's subcircuit

    void Add(OutlineKind kind, std::string label, int line, int scope) {
        outline->push_back({kind, std::move(label), line, outlineOfScope[scope]});
    }
};

// One file read statement by statement: the scopes its subcircuits open, the .lib section and
// .control block it is in.
class NetlistReader::FileReading {
public:
    FileReading(NetlistReader& reader, int index, FileRead* main)
        : reader(reader), data(reader.data), index(index), main(main) {}

    void Read() {
        const NetlistFileData& read = File();
        const std::shared_ptr<const NetlistText> text = read.text;
        StatementReader statements(*text, read.titled);
        NetlistStatement statement;
        while (statements.Next(statement))
            Take(statement, *text);
        if (main != nullptr)
            ReportOpenBlocks();
    }

private:
    // data.files grows while includes are read: the file is reached by index only.
    NetlistFileData& File() { return data.files[index]; }
    int Scope() const { return open.back(); }

    NetlistDefinition& Define(SymbolKind kind, std::string_view written, const NetlistToken& at,
                              int scope) {
        NetlistDefinition definition;
        definition.kind = kind;
        definition.written = std::string(written);
        definition.name = LowerName(written);
        definition.line = at.line;
        definition.column = at.column;
        definition.scope = scope;
        definition.section = section;
        const int entry = static_cast<int>(File().definitions.size());
        File().byName.emplace(definition.name, entry);
        // A binned model "nch.1" answers to "nch" too.
        const std::size_t dot = definition.name.rfind('.');
        if (kind == SymbolKind::Model && dot != std::string::npos && dot + 1 < definition.name.size() &&
            definition.name.find_first_not_of("0123456789", dot + 1) == std::string::npos)
            File().byName.emplace(definition.name.substr(0, dot), entry);
        File().definitions.push_back(std::move(definition));
        return File().definitions.back();
    }

    void Take(const NetlistStatement& statement, const NetlistText& text) {
        switch (statement.kind) {
        case StatementKind::Title:
            if (main != nullptr)
                main->Add(OutlineKind::Title, LabelOf(text, statement), statement.firstLine, 0);
            return;
        case StatementKind::Control:
            if (statement.keyword == ".endc")
                controlLine = -1;
            return;
        case StatementKind::Element:
            if (main != nullptr) {
                main->checks.AddElement(statement, Scope(), section, conditionals > 0);
                if (Scope() != 0)
                    main->Add(OutlineKind::Element, LabelOf(text, statement), statement.firstLine,
                              Scope());
            }
            return;
        case StatementKind::Dot:
            TakeCommand(statement, text);
            return;
        }
    }

    void TakeCommand(const NetlistStatement& statement, const NetlistText& text) {
        const std::string& keyword = statement.keyword;
        const auto& tokens = statement.tokens;
        if (keyword == ".subckt" && tokens.size() >= 2) {
            Subcircuit(statement);
        } else if (keyword == ".ends") {
            Ends(statement);
        } else if (keyword == ".model" && tokens.size() >= 2) {
            NetlistDefinition& model = Define(SymbolKind::Model, tokens[1].text, tokens[1], Scope());
            if (tokens.size() >= 3)
                model.detail = LowerName(tokens[2].text);
            if (main != nullptr)
                main->Add(OutlineKind::Model, model.written + " (" + model.detail + ")",
                          statement.firstLine, Scope());
        } else if ((keyword == ".param" || keyword == ".csparam") && tokens.size() >= 2) {
            Parameters(statement);
        } else if ((keyword == ".include" || keyword == ".inc" ||
                    (keyword == ".lib" && tokens.size() >= 3)) &&
                   tokens.size() >= 2) {
            Include(statement, text);
        } else if (keyword == ".lib" && tokens.size() == 2) {
            File().sections.push_back({LowerName(Unquoted(tokens[1].text)), statement.firstLine});
            section = static_cast<int>(File().sections.size()) - 1;
        } else if (keyword == ".endl") {
            section = -1;
        } else if (keyword == ".global") {
            for (std::size_t i = 1; i < tokens.size(); ++i)
                data.globalNodes.push_back(LowerName(tokens[i].text));
        } else if (keyword == ".if") {
            ++conditionals;
        } else if (keyword == ".endif") {
            conditionals = std::max(0, conditionals - 1);
        } else if (keyword == ".control") {
            controlLine = statement.firstLine;
            if (main != nullptr)
                main->Add(OutlineKind::Control, ".control", statement.firstLine, Scope());
        } else if (main == nullptr) {
            return;
        } else if (keyword == ".endc") {
            main->checks.Report(tokens[0], FindingLevel::Warning,
                                ".endc без открывающей строки .control");
        } else if (keyword == ".end") {
            main->Add(OutlineKind::End, ".end", statement.firstLine, Scope());
        } else if (IsAnalysis(keyword)) {
            main->Add(OutlineKind::Analysis, LabelOf(text, statement), statement.firstLine, Scope());
        }
    }

    // ".subckt NAME PORTS... [optional: NODE=DEFAULT...] [params:] [NAME=VALUE...]"
    void Subcircuit(const NetlistStatement& statement) {
        const auto& tokens = statement.tokens;
        const int scope = Scope();
        NetlistDefinition& subcircuit = Define(SymbolKind::Subcircuit, tokens[1].text, tokens[1], scope);
        std::vector<const NetlistToken*> parameters;
        bool inParameters = false;
        bool inOptional = false;
        for (std::size_t i = 2; i < tokens.size(); ++i) {
            const std::string lower = LowerName(tokens[i].text);
            const bool assignment = IsAssignment(tokens[i].text);
            if (lower == "optional:" && !inParameters) {
                inOptional = true;  // nodes a line may pass or leave to their defaults
            } else if (inOptional && assignment && !inParameters) {
                ++subcircuit.optionalPorts;
            } else if (lower == "params:" || inParameters || assignment) {
                inParameters = true;
                if (assignment)
                    parameters.push_back(&tokens[i]);
            } else {
                subcircuit.ports.push_back(std::string(tokens[i].text));
            }
        }
        const std::string label = subcircuit.written + " (" + Joined(subcircuit.ports) + ")";
        const int definition = static_cast<int>(File().definitions.size()) - 1;
        const int newScope = static_cast<int>(File().scopes.size());
        File().scopes.push_back({scope, statement.firstLine, INT_MAX, definition});
        for (const NetlistToken* token : parameters) {
            auto [name, value] = SplitAssignment(token->text);
            Define(SymbolKind::Parameter, name, *token, newScope).detail = value;
        }
        if (main != nullptr) {
            main->Add(OutlineKind::Subcircuit, label, statement.firstLine, scope);
            main->outlineOfScope.push_back(static_cast<int>(main->outline->size()) - 1);
            main->checks.OpenSubcircuit(newScope, File().definitions[definition].ports);
        }
        open.push_back(newScope);
    }

    void Ends(const NetlistStatement& statement) {
        if (open.size() > 1) {
            File().scopes[open.back()].lastLine = statement.lastLine;
            open.pop_back();
        } else if (main != nullptr) {
            main->checks.Report(statement.tokens[0], FindingLevel::Error,
                                ".ends без открывающей строки .subckt");
        }
    }

    void Parameters(const NetlistStatement& statement) {
        for (std::size_t i = 1; i < statement.tokens.size(); ++i) {
            const NetlistToken& token = statement.tokens[i];
            if (!IsAssignment(token.text))
                continue;
            auto [name, value] = SplitAssignment(token.text);
            Define(SymbolKind::Parameter, name, token, Scope()).detail = value;
            if (main != nullptr)
                main->Add(OutlineKind::Parameter, name + " = " + value, statement.firstLine,
                          Scope());
        }
    }

    // ".include FILE" and ".lib FILE SECTION": the file is read, once, where it is first named.
    void Include(const NetlistStatement& statement, const NetlistText& text) {
        const auto& tokens = statement.tokens;
        NetlistInclude include;
        include.line = tokens[1].line;
        include.column = tokens[1].column;
        include.scope = Scope();
        include.inSection = section;
        include.written = std::string(Unquoted(tokens[1].text));
        if (statement.keyword == ".lib") {
            include.section = LowerName(Unquoted(tokens[2].text));
            include.sectionColumn = tokens[2].column;
        }
        include.file = reader.ReadIncluded(ResolveIncludePath(File().path, include.written));
        if (main != nullptr) {
            main->Add(OutlineKind::Include, LabelOf(text, statement), statement.firstLine, Scope());
            if (include.file >= 0)
                OutlineIncluded(include);
            main->checks.AddInclude(Scope());
            if (include.file < 0)
                main->checks.Report(tokens[1], FindingLevel::Error,
                                    "файл «" + include.written + "» не найден");
            else if (!include.section.empty() &&
                     data.files[include.file].SectionIndex(include.section) < 0)
                main->checks.Report(tokens[2], FindingLevel::Error,
                                    "в файле «" + include.written + "» нет раздела «" +
                                        std::string(Unquoted(tokens[2].text)) + "»");
        }
        File().includes.push_back(std::move(include));
    }

    // Under an include line, what the file it reads defines at its top level (in the section
    // picked), and what the files that one includes define: as far as the line makes visible.
    void OutlineIncluded(const NetlistInclude& include) {
        constexpr int kMostEntries = 1000;
        if (!include.section.empty() && data.files[include.file].SectionIndex(include.section) < 0)
            return;
        const int under = static_cast<int>(main->outline->size()) - 1;
        std::vector<std::pair<int, int>> pending{
            {include.file, include.section.empty()
                               ? -2
                               : data.files[include.file].SectionIndex(include.section)}};
        std::set<std::pair<int, int>> visited(pending.begin(), pending.end());
        int entries = 0;
        while (!pending.empty() && entries < kMostEntries) {
            const auto [fileIndex, wanted] = pending.front();
            pending.erase(pending.begin());
            const NetlistFileData& file = data.files[fileIndex];
            auto visible = [&](int section) { return wanted == -2 || section == wanted; };
            for (const NetlistDefinition& definition : file.definitions) {
                if (definition.scope != 0 || !visible(definition.section) ||
                    definition.kind == SymbolKind::Parameter || entries >= kMostEntries)
                    continue;
                const bool subcircuit = definition.kind == SymbolKind::Subcircuit;
                main->outline->push_back(
                    {subcircuit ? OutlineKind::Subcircuit : OutlineKind::Model,
                     definition.written + " (" +
                         (subcircuit ? Joined(definition.ports) : definition.detail) + ")",
                     definition.line, under, file.path});
                ++entries;
            }
            for (const NetlistInclude& inner : file.includes) {
                if (inner.scope != 0 || inner.file < 0 || !visible(inner.inSection))
                    continue;
                const int section = inner.section.empty()
                                        ? -2
                                        : data.files[inner.file].SectionIndex(inner.section);
                if (visited.insert({inner.file, section}).second)
                    pending.push_back({inner.file, section});
            }
        }
    }

    void ReportOpenBlocks() {
        for (std::size_t i = 1; i < open.size(); ++i) {
            const NetlistDefinition& subcircuit =
                File().definitions[File().scopes[open[i]].definition];
            main->checks.Report({subcircuit.written, subcircuit.line, subcircuit.column},
                                FindingLevel::Error,
                                ".subckt " + subcircuit.written + " без закрывающей строки .ends");
        }
        if (controlLine >= 0)
            main->checks.Report({".control", controlLine, 0}, FindingLevel::Warning,
                                ".control без закрывающей строки .endc: до конца файла всё "
                                "читается как команды");
    }

    NetlistReader& reader;
    NetlistModelData& data;
    const int index;
    FileRead* const main;
    std::vector<int> open{0};  // the scopes open, innermost last
    int section = -1;
    int controlLine = -1;
    int conditionals = 0;
};

int NetlistReader::ReadIncluded(const std::string& path) {
    const int known = data.FileIndex(path);
    if (known >= 0)
        return known;
    std::shared_ptr<const NetlistText> text = ReadTextFile(path);
    if (text == nullptr || fs::is_directory(path))
        return -1;
    return ReadFile(path, std::move(text), false, nullptr);
}

int NetlistReader::ReadFile(const std::string& path, std::shared_ptr<const NetlistText> text,
                            bool titled, FileRead* main) {
    const int index = static_cast<int>(data.files.size());
    data.files.emplace_back();
    NetlistFileData& file = data.files.back();
    file.path = path;
    file.text = std::move(text);
    file.titled = titled;
    file.scopes.push_back({});
    FileReading(*this, index, main).Read();
    return index;
}

void NetlistReader::ReadNetlist(const std::string& path, std::shared_ptr<const NetlistText> text,
                                std::vector<OutlineItem>& outline,
                                std::vector<NetlistFinding>& findings) {
    FileRead main;
    main.outline = &outline;
    main.checks.Start(path, *text);
    ReadFile(path, std::move(text), !IsLibraryFileName(path), &main);
    main.checks.Finish(data, findings);
}
