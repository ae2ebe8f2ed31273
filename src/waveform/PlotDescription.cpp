#include "PlotDescription.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace {

std::string Lower(std::string text) {
    for (char& character : text)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
}

struct SKindName {
    const char* plotNameStart;  // how the simulator names the plot, lower case
    AnalysisKind kind;
    const char* shortName;
};

const SKindName kKinds[] = {
    {"transient", AnalysisKind::Transient, "tran"},
    {"ac analysis", AnalysisKind::Ac, "ac"},
    {"dc transfer", AnalysisKind::Dc, "dc"},
    {"operating point", AnalysisKind::OperatingPoint, "op"},
    {"noise spectral", AnalysisKind::Noise, "noise"},
    {"integrated noise", AnalysisKind::Noise, "noise"},
};

const SKindName* KindOf(const std::string& plotName) {
    const std::string lower = Lower(plotName);
    for (const SKindName& entry : kKinds) {
        if (lower.rfind(entry.plotNameStart, 0) == 0)
            return &entry;
    }
    return nullptr;
}

bool GridIsLogarithmic(const SRawPlot& plot) {
    if (plot.vectors.empty() || plot.vectors[0].real.size() < 3)
        return false;
    const std::vector<double>& scale = plot.vectors[0].real;
    if (scale.front() <= 0)
        return false;
    // Equal ratios between neighbours and unequal differences: a decade or octave sweep.
    const double firstRatio = scale[1] / scale[0];
    const double lastRatio = scale.back() / scale[scale.size() - 2];
    const double firstStep = scale[1] - scale[0];
    const double lastStep = scale.back() - scale[scale.size() - 2];
    return firstRatio > 1 && std::abs(lastRatio / firstRatio - 1) < 1e-6 &&
           std::abs(lastStep / firstStep - 1) > 1e-3;
}

// The name of a vector without its "v(...)" wrapping, lower case: "V(Out)" and "out" are one.
std::string NodeName(const std::string& name) {
    std::string lower = Lower(name);
    if (lower.size() > 3 && lower.rfind("v(", 0) == 0 && lower.back() == ')')
        return lower.substr(2, lower.size() - 3);
    return lower;
}

}  // namespace

std::vector<SPlotDescription> DescribePlots(const SRawFile& file) {
    std::vector<SPlotDescription> descriptions;
    std::map<std::string, int> numbers;
    for (const SRawPlot& plot : file.plots) {
        SPlotDescription description;
        const SKindName* kind = KindOf(plot.name);
        description.kind = kind != nullptr ? kind->kind : AnalysisKind::Other;
        const std::string shortName = kind != nullptr ? kind->shortName : "plot";
        description.typeName = shortName + std::to_string(++numbers[shortName]);
        description.tabName = description.typeName + " \xC2\xB7 " + plot.name;
        if (!plot.vectors.empty()) {
            const SRawVector& scale = plot.vectors[0];
            // The simulator marks a decade or octave sweep; a file that does not is measured.
            description.logarithmicScale =
                scale.grid == 2 || scale.grid == 3 ||
                (scale.grid == 0 && Lower(scale.type) == "frequency" && GridIsLogarithmic(plot));
            for (std::size_t index = 1; index < scale.real.size(); ++index) {
                if (scale.real[index] < scale.real[index - 1]) {
                    description.sweepInOrder = true;
                    break;
                }
            }
        }
        descriptions.push_back(std::move(description));
    }
    return descriptions;
}

std::string UnitOfType(const std::string& type) {
    static const std::map<std::string, std::string> units = {
        {"voltage", "V"},  {"current", "A"},      {"time", "s"},
        {"frequency", "Hz"}, {"voltage-density", "V/\xE2\x88\x9AHz"},
        {"current-density", "A/\xE2\x88\x9AHz"}, {"temp-sweep", "\xC2\xB0" "C"},
        {"res-sweep", "\xCE\xA9"}, {"impedance", "\xCE\xA9"}, {"power", "W"},
    };
    auto found = units.find(Lower(type));
    return found == units.end() ? std::string() : found->second;
}

std::size_t FindVector(const SRawPlot& plot, const std::string& name) {
    const std::string wanted = NodeName(name);
    for (std::size_t index = 1; index < plot.vectors.size(); ++index) {
        if (NodeName(plot.vectors[index].name) == wanted)
            return index;
    }
    return plot.vectors.size();
}

std::vector<std::size_t> InitiallyShownVectors(const SRawPlot& plot,
                                               const std::vector<std::string>& named) {
    constexpr std::size_t kMost = 8;
    std::vector<std::size_t> shown;
    for (const std::string& name : named) {
        const std::size_t index = FindVector(plot, name);
        if (index < plot.vectors.size() && shown.size() < kMost &&
            std::find(shown.begin(), shown.end(), index) == shown.end())
            shown.push_back(index);
    }
    if (!shown.empty())
        return shown;
    for (std::size_t index = 1; index < plot.vectors.size() && shown.size() < kMost; ++index) {
        if (Lower(plot.vectors[index].type) == "voltage")
            shown.push_back(index);
    }
    // A plot without voltages (noise, or currents alone) shows what it has.
    for (std::size_t index = 1; index < plot.vectors.size() && shown.empty(); ++index)
        shown.push_back(index);
    return shown;
}

std::vector<std::vector<std::size_t>> PlotFamilies(const SRawFile& file,
                                                   const std::vector<SPlotDescription>& plots) {
    std::vector<std::vector<std::size_t>> families;
    auto sameVectors = [&](std::size_t a, std::size_t b) {
        const SRawPlot& left = file.plots[a];
        const SRawPlot& right = file.plots[b];
        if (plots[a].kind != plots[b].kind || left.name != right.name ||
            left.vectors.size() != right.vectors.size())
            return false;
        for (std::size_t index = 0; index < left.vectors.size(); ++index) {
            if (Lower(left.vectors[index].name) != Lower(right.vectors[index].name))
                return false;
        }
        return true;
    };
    std::vector<bool> placed(file.plots.size(), false);
    for (std::size_t first = 0; first < file.plots.size(); ++first) {
        if (placed[first] || plots[first].kind == AnalysisKind::OperatingPoint)
            continue;
        std::vector<std::size_t> family{first};
        for (std::size_t other = first + 1; other < file.plots.size(); ++other) {
            if (!placed[other] && sameVectors(first, other))
                family.push_back(other);
        }
        if (family.size() < 2)
            continue;
        for (std::size_t member : family)
            placed[member] = true;
        families.push_back(std::move(family));
    }
    return families;
}
