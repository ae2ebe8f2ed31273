#pragma once

#include <memory>
#include <string>
#include <vector>

#include "NetlistText.h"

// What Kivra knows of a netlist's structure: its outline, the subcircuits, models and parameters
// it defines and where they are used, the files it includes, and what looks wrong before a run.
// Lines and columns count from 0; columns are bytes of the line. Texts are UTF-8; names taken
// from the netlist keep its bytes.

enum class FindingLevel { Warning, Error };

struct NetlistPlace {
    std::string file;  // the path as the netlist was opened or the include resolved to
    int line = 0;
    int column = 0;
};

struct NetlistFinding {
    NetlistPlace place;
    FindingLevel level = FindingLevel::Error;
    std::string text;
};

enum class OutlineKind { Title, Subcircuit, Model, Parameter, Include, Analysis, Control, End, Element };

// One entry of the outline of the netlist. parent is the index of the subcircuit the entry
// stands in, or of the include line that brings it, -1 at the top level. The subcircuits and
// models an included file defines stand under its include line, with that file named.
struct OutlineItem {
    OutlineKind kind = OutlineKind::Title;
    std::string label;
    int line = 0;
    int parent = -1;
    std::string file;  // empty for the netlist itself
};

enum class SymbolKind { Subcircuit, Model, Parameter, Node };

struct NetlistUsage {
    NetlistPlace place;
    std::string lineText;  // the whole physical line, to show beside the place
};

struct NetlistCompletion {
    std::string text;  // what to insert
    std::string hint;  // the port list of a subcircuit, the type of a model, a parameter's value
};

struct NetlistModelData;  // the definitions, references and files read, in NetlistModel.h

class NetlistAnalysis {
public:
    std::vector<OutlineItem> outline;
    std::vector<NetlistFinding> findings;  // the main file's and its includes', in order of place

    // The definition the word at the place names: a subcircuit, a model, a parameter, or the
    // first line of an included file (or of the section a .lib line picks). False when the place
    // holds no name that is defined.
    bool FindDefinition(const NetlistPlace& at, NetlistPlace& definition) const;
    // Every place that uses the subcircuit, model, parameter or node named at the place, the
    // definition included, in order of file and line. Empty when the place names none.
    std::vector<NetlistUsage> FindUsages(const NetlistPlace& at) const;
    // What can stand where the word being typed at the place begins with prefix: dot commands,
    // and the subcircuits, models and parameters visible there.
    std::vector<NetlistCompletion> CompletionsAt(const NetlistPlace& at,
                                                 const std::string& prefix) const;

    // Whether the analysis read the file: the netlist itself or one it includes.
    bool ReadsFile(const std::string& path) const;

    std::shared_ptr<const NetlistModelData> data;
};

// Reads the netlist at path whose text is given (the editor's, which may not yet be saved; pass
// it with std::move, the analysis keeps it); included files are read from disk, each once. The
// first line is the title, as the simulator takes it.
std::shared_ptr<const NetlistAnalysis> AnalyzeNetlist(const std::string& path, NetlistText text);
