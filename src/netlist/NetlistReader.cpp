#include "NetlistReader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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
    {
        NetlistFileData& file = data.files.back();
        file.path = path;
        file.text = text;
        file.titled = titled;
        file.scopes.push_back({});
    }
    // data.files grows while includes are read: the file is reached by index only.
    auto file = [&]() -> NetlistFileData& { return data.files[index]; };
    std::vector<int> open{0};
    int section = -1;
    int controlLine = -1;
    int conditionals = 0;
    StatementReader reader(*text, titled);
    NetlistStatement statement;
    auto define = [&](SymbolKind kind, std::string_view written, const NetlistToken& at,
                      int scope) -> NetlistDefinition& {
        NetlistDefinition definition;
        definition.kind = kind;
        definition.written = std::string(written);
        definition.name = LowerName(written);
        definition.line = at.line;
        definition.column = at.column;
        definition.scope = scope;
        definition.section = section;
        const int entry = static_cast<int>(file().definitions.size());
        file().byName.emplace(definition.name, entry);
        // A binned model "nch.1" answers to "nch" too.
        const std::size_t dot = definition.name.rfind('.');
        if (kind == SymbolKind::Model && dot != std::string::npos && dot + 1 < definition.name.size() &&
            definition.name.find_first_not_of("0123456789", dot + 1) == std::string::npos)
            file().byName.emplace(definition.name.substr(0, dot), entry);
        file().definitions.push_back(std::move(definition));
        return file().definitions.back();
    };
    while (reader.Next(statement)) {
        const int scope = open.back();
        const auto& tokens = statement.tokens;
        if (statement.kind == StatementKind::Title) {
            if (main != nullptr)
                main->Add(OutlineKind::Title, LabelOf(*text, statement), statement.firstLine, 0);
            continue;
        }
        if (statement.kind == StatementKind::Control) {
            if (statement.keyword == ".endc")
                controlLine = -1;
            continue;
        }
        if (statement.kind == StatementKind::Element) {
            if (main != nullptr) {
                main->checks.AddElement(statement, scope, section, conditionals > 0);
                if (scope != 0)
                    main->Add(OutlineKind::Element, LabelOf(*text, statement), statement.firstLine,
                              scope);
            }
            continue;
        }
        const std::string& keyword = statement.keyword;
        if (keyword == ".subckt" && tokens.size() >= 2) {
            NetlistDefinition& subcircuit = define(SymbolKind::Subcircuit, tokens[1].text,
                                                   tokens[1], scope);
            std::vector<std::pair<std::string_view, const NetlistToken*>> parameters;
            bool inParameters = false;
            bool inOptional = false;
            for (std::size_t i = 2; i < tokens.size(); ++i) {
                const std::string lower = LowerName(tokens[i].text);
                if (lower == "optional:" && !inParameters) {
                    inOptional = true;  // nodes a line may pass or leave to their defaults
                } else if (inOptional && IsAssignment(tokens[i].text) && !inParameters) {
                    ++subcircuit.optionalPorts;
                } else if (lower == "params:") {
                    inParameters = true;
                } else if (inParameters || IsAssignment(tokens[i].text)) {
                    inParameters = true;
                    if (IsAssignment(tokens[i].text))
                        parameters.push_back({tokens[i].text, &tokens[i]});
                } else {
                    subcircuit.ports.push_back(std::string(tokens[i].text));
                }
            }
            const std::string label = subcircuit.written + " (" + Joined(subcircuit.ports) + ")";
            const int definitionIndex = static_cast<int>(file().definitions.size()) - 1;
            const int newScope = static_cast<int>(file().scopes.size());
            file().scopes.push_back({scope, statement.firstLine, INT_MAX, definitionIndex});
            for (const auto& [assignment, token] : parameters) {
                auto [name, value] = SplitAssignment(assignment);
                define(SymbolKind::Parameter, name, *token, newScope).detail = value;
            }
            if (main != nullptr) {
                main->Add(OutlineKind::Subcircuit, label, statement.firstLine, scope);
                main->outlineOfScope.push_back(static_cast<int>(main->outline->size()) - 1);
                main->checks.OpenSubcircuit(newScope, file().definitions[definitionIndex].ports);
            }
            open.push_back(newScope);
        } else if (keyword == ".ends") {
            if (open.size() > 1) {
                file().scopes[open.back()].lastLine = statement.lastLine;
                open.pop_back();
            } else if (main != nullptr) {
                main->checks.Report(tokens[0], FindingLevel::Error,
                                    ".ends без открывающей строки .subckt");
            }
        } else if (keyword == ".model" && tokens.size() >= 2) {
            NetlistDefinition& model = define(SymbolKind::Model, tokens[1].text, tokens[1], scope);
            if (tokens.size() >= 3)
                model.detail = LowerName(tokens[2].text);
            if (main != nullptr)
                main->Add(OutlineKind::Model, model.written + " (" + model.detail + ")",
                          statement.firstLine, scope);
        } else if ((keyword == ".param" || keyword == ".csparam") && tokens.size() >= 2) {
            for (std::size_t i = 1; i < tokens.size(); ++i) {
                if (!IsAssignment(tokens[i].text))
                    continue;
                auto [name, value] = SplitAssignment(tokens[i].text);
                define(SymbolKind::Parameter, name, tokens[i], scope).detail = value;
                if (main != nullptr)
                    main->Add(OutlineKind::Parameter, name + " = " + value, statement.firstLine,
                              scope);
            }
        } else if ((keyword == ".include" || keyword == ".inc" ||
                    (keyword == ".lib" && tokens.size() >= 3)) &&
                   tokens.size() >= 2) {
            NetlistInclude include;
            include.line = tokens[1].line;
            include.column = tokens[1].column;
            include.scope = scope;
            include.inSection = section;
            include.written = std::string(Unquoted(tokens[1].text));
            if (keyword == ".lib") {
                include.section = LowerName(Unquoted(tokens[2].text));
                include.sectionColumn = tokens[2].column;
            }
            const std::string resolved = ResolveIncludePath(path, include.written);
            include.file = ReadIncluded(resolved);
            if (main != nullptr) {
                main->Add(OutlineKind::Include, LabelOf(*text, statement), statement.firstLine,
                          scope);
                main->checks.AddInclude(scope);
                if (include.file < 0)
                    main->checks.Report(tokens[1], FindingLevel::Error,
                                        "файл «" + include.written + "» не найден");
                else if (!include.section.empty() &&
                         data.files[include.file].SectionIndex(include.section) < 0)
                    main->checks.Report(tokens[2], FindingLevel::Error,
                                        "в файле «" + include.written + "» нет раздела «" +
                                            std::string(Unquoted(tokens[2].text)) + "»");
            }
            file().includes.push_back(std::move(include));
        } else if (keyword == ".lib" && tokens.size() == 2) {
            file().sections.push_back({LowerName(Unquoted(tokens[1].text)), statement.firstLine});
            section = static_cast<int>(file().sections.size()) - 1;
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
                main->Add(OutlineKind::Control, ".control", statement.firstLine, scope);
        } else if (keyword == ".endc") {
            if (main != nullptr)
                main->checks.Report(tokens[0], FindingLevel::Warning,
                                    ".endc без открывающей строки .control");
        } else if (keyword == ".end") {
            if (main != nullptr)
                main->Add(OutlineKind::End, ".end", statement.firstLine, scope);
        } else if (IsAnalysis(keyword) && main != nullptr) {
            main->Add(OutlineKind::Analysis, LabelOf(*text, statement), statement.firstLine, scope);
        }
    }
    if (main != nullptr) {
        for (std::size_t i = 1; i < open.size(); ++i) {
            const NetlistDefinition& subcircuit =
                file().definitions[file().scopes[open[i]].definition];
            main->checks.Report({subcircuit.written, subcircuit.line, subcircuit.column},
                                FindingLevel::Error,
                                ".subckt " + subcircuit.written + " без закрывающей строки .ends");
        }
        if (controlLine >= 0)
            main->checks.Report({".control", controlLine, 0}, FindingLevel::Warning,
                                ".control без закрывающей строки .endc: до конца файла всё "
                                "читается как команды");
    }
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
