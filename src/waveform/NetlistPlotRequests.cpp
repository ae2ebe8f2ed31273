#include "NetlistPlotRequests.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

std::string Lower(std::string text) {
    for (char& character : text)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
}

// Marks around a "*#" line among the logical lines; no netlist line can be either.
const char kDeckStart[] = "\x01deck";
const char kDeckEnd[] = "\x01enddeck";

// The lines with their continuations joined, lower case, comments and blanks left out.
std::vector<std::string> LogicalLines(const std::vector<std::string>& lines) {
    std::vector<std::string> joined;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        std::string line = Lower(lines[index]);
        std::size_t start = line.find_first_not_of(" \t");
        // "*#" lines are commands for the second program, as a control block's lines are: they
        // stand as such a block of one line.
        if (start != std::string::npos && line.compare(start, 2, "*#") == 0) {
            std::string command = line.substr(start + 2);
            command.erase(0, command.find_first_not_of(" \t"));
            joined.push_back(kDeckStart);
            joined.push_back(command);
            joined.push_back(kDeckEnd);
            continue;
        }
        if (start == std::string::npos || line[start] == '*')
            continue;
        line = line.substr(start);
        if (line[0] == '+' && !joined.empty() && index > 0)
            joined.back() += " " + line.substr(1);
        else
            joined.push_back(line);
    }
    return joined;
}

bool AnalysisOfWord(const std::string& word, AnalysisKind& kind) {
    if (word == "tran")
        kind = AnalysisKind::Transient;
    else if (word == "ac")
        kind = AnalysisKind::Ac;
    else if (word == "dc")
        kind = AnalysisKind::Dc;
    else if (word == "op")
        kind = AnalysisKind::OperatingPoint;
    else if (word == "noise")
        kind = AnalysisKind::Noise;
    else
        return false;
    return true;
}

bool IsNameCharacter(char character) {
    return std::isalnum(static_cast<unsigned char>(character)) || character == '_' ||
           character == '#' || character == '.' || character == '$' || character == ':' ||
           character == '[' || character == ']';
}

// Words of a plot command that are options, not vectors.
const std::set<std::string> kPlotWords = {
    "vs",        "xlimit",   "ylimit",   "xlabel",      "ylabel",        "title",
    "xlog",      "ylog",     "loglog",   "linear",      "xdelta",        "ydelta",
    "xindices",  "xcompress", "nogrid",  "polar",       "smith",         "smithgrid",
    "combplot",  "pointplot", "linplot", "retraceplot", "noretraceplot", "nointerp",
    "samep",     "all",      "db",       "mag",         "ph",            "cph",
    "real",      "imag",     "abs",      "unwrap",      "deriv",         "integ",
    "log",       "log10",    "ln",       "exp",         "sqrt",          "norm",
    "mean",      "avg",      "group_delay", "sin",     "cos",           "tan",
};

// The vectors an expression names: "v(a)" and "i(v1)" whole, the node of "vdb(out)", and bare
// names; numbers, functions and options are left out.
void VectorsOfExpression(const std::string& text, std::vector<std::string>& names) {
    std::size_t at = 0;
    while (at < text.size()) {
        const char character = text[at];
        if (character == '"' || character == '\'') {
            std::size_t close = text.find(character, at + 1);
            at = close == std::string::npos ? text.size() : close + 1;
            continue;
        }
        if (!IsNameCharacter(character)) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && IsNameCharacter(text[end]))
            ++end;
        std::string word = text.substr(at, end - at);
        if (end < text.size() && text[end] == '(') {
            // "tran1.v(out)" names its plot before the dot.
            const std::size_t dot = word.rfind('.');
            if (dot != std::string::npos)
                word = word.substr(dot + 1);
            const std::size_t close = text.find(')', end);
            const std::string inner = text.substr(end + 1, close == std::string::npos
                                                               ? std::string::npos
                                                               : close - end - 1);
            // v(a), vdb(a), vm(a), vp(a), vr(a), vi(a) name the voltage of a; i(…) a current.
            static const std::set<std::string> voltages = {"v", "vdb", "vm", "vp", "vr", "vi"};
            if (voltages.count(word)) {
                // A difference of two nodes is no vector of the raw file.
                if (inner.find(',') == std::string::npos)
                    names.push_back("v(" + inner + ")");
                at = close == std::string::npos ? text.size() : close + 1;
                continue;
            }
            if (word == "i" || word == "idb" || word == "im" || word == "ip") {
                names.push_back("i(" + inner + ")");
                at = close == std::string::npos ? text.size() : close + 1;
                continue;
            }
            at = end + 1;  // a function: what it is applied to is looked at next
            continue;
        }
        const bool number = std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '.';
        if (!number && !kPlotWords.count(word)) {
            // "tran1.v(out)" names its plot: the vector is what follows the dot.
            names.push_back(word);
        }
        at = end;
    }
}

// "tran1", "ac2", "dc1", "op1", "noise1": the name the simulator gives a plot.
bool NamesAPlot(const std::string& prefix) {
    for (const char* kind : {"tran", "ac", "dc", "op", "noise", "sens", "disto", "pz", "tf"}) {
        const std::string start(kind);
        if (prefix.size() > start.size() && prefix.compare(0, start.size(), start) == 0 &&
            std::all_of(prefix.begin() + static_cast<long>(start.size()), prefix.end(),
                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return true;
    }
    return false;
}

void Add(std::vector<std::string>& list, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (std::find(list.begin(), list.end(), name) == list.end())
            list.push_back(name);
    }
}

}  // namespace

std::map<AnalysisKind, std::vector<std::string>> NetlistPlotRequests(
    const std::vector<std::string>& lines) {
    std::map<AnalysisKind, std::vector<std::string>> requests;
    bool inControl = false;
    AnalysisKind current = AnalysisKind::Other;
    // The analysis a "*#" line's plot is of, kept from one such line to the next.
    AnalysisKind deckCurrent = AnalysisKind::Other;
    for (const std::string& line : LogicalLines(lines)) {
        std::string first = line.substr(0, line.find_first_of(" \t"));
        if (first == ".control" || first == kDeckStart) {
            inControl = true;
            current = first == kDeckStart ? deckCurrent : AnalysisKind::Other;
            continue;
        }
        if (first == ".endc" || first == kDeckEnd) {
            if (first == kDeckEnd)
                deckCurrent = current;
            inControl = false;
            continue;
        }
        std::vector<std::string> names;
        if (!inControl && (first == ".plot" || first == ".print")) {
            std::string rest = line.substr(first.size());
            std::size_t start = rest.find_first_not_of(" \t");
            std::size_t end = rest.find_first_of(" \t", start);
            AnalysisKind kind = AnalysisKind::Other;
            if (start == std::string::npos ||
                !AnalysisOfWord(rest.substr(start, end - start), kind))
                continue;
            // "(0,5)" after a vector gives the plot's limits.
            std::string items = end == std::string::npos ? std::string() : rest.substr(end);
            std::string cleaned;
            for (std::size_t at = 0; at < items.size(); ++at) {
                if (items[at] == '(' && (at == 0 || !IsNameCharacter(items[at - 1]))) {
                    std::size_t close = items.find(')', at);
                    at = close == std::string::npos ? items.size() : close;
                    continue;
                }
                cleaned += items[at];
            }
            VectorsOfExpression(cleaned, names);
            Add(requests[kind], names);
        } else if (inControl) {
            AnalysisKind kind;
            if (AnalysisOfWord(first, kind)) {
                current = kind;
            } else if (first == "setplot") {
                // "setplot ac1": the plots that follow are of that analysis.
                std::string name = line.substr(line.find("setplot") + 7);
                name.erase(0, name.find_first_not_of(" \t"));
                name = name.substr(0, name.find_first_of(" \t"));
                while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
                    name.pop_back();
                if (AnalysisOfWord(name, kind))
                    current = kind;
            } else if (first == "plot") {
                VectorsOfExpression(line.substr(first.size()), names);
                for (std::string& name : names) {
                    // "tran1.out" names its plot first; "x1.out", a node inside a subcircuit,
                    // keeps its dot.
                    const std::size_t dot = name.find('.');
                    if (dot != std::string::npos && NamesAPlot(name.substr(0, dot)))
                        name = name.substr(dot + 1);
                }
                Add(requests[current], names);
            }
        }
    }
    return requests;
}
