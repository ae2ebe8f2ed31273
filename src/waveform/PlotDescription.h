#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "RawFile.h"

enum class AnalysisKind { Transient, Ac, Dc, OperatingPoint, Noise, Other };

// How a plot of a raw file is shown: its name in the tab, the kind of its analysis and the axis
// of its scale (the plot's first vector).
struct SPlotDescription {
    // "tran1": the kind's short name and the plot's number among those of its kind, as the
    // simulator names its plots.
    std::string typeName;
    // "tran1 · Transient Analysis"
    std::string tabName;
    AnalysisKind kind = AnalysisKind::Other;
    // A decade or octave sweep: the scale's axis is logarithmic.
    bool logarithmicScale = false;
    // The scale goes back as well as forth (a nested DC sweep): the trace is drawn in the order of
    // the sweep, not sorted.
    bool sweepInOrder = false;
};

std::vector<SPlotDescription> DescribePlots(const SRawFile& file);

// The unit of a vector by its type: "V", "A", "s", "Hz"; empty for a type without one.
std::string UnitOfType(const std::string& type);

// The index of the vector a name names, matched without regard to case ("out" names "v(out)"
// too), never the scale; plot.vectors.size() when there is none.
std::size_t FindVector(const SRawPlot& plot, const std::string& name);

// The vectors shown first (indexes into plot.vectors, never the scale): those the netlist asks to
// plot, in their order, matched without regard to case ("out" names "v(out)" too); when none of
// them is in the plot, its node voltages; at most eight either way.
std::vector<std::size_t> InitiallyShownVectors(const SRawPlot& plot,
                                               const std::vector<std::string>& named);

// Runs of plots that repeat one analysis with the same vectors (the runs of a loop, of alter or
// of Monte Carlo): they are overlaid in one view as a family. Each run lists its plots' indexes;
// a plot of its own is no family.
std::vector<std::vector<std::size_t>> PlotFamilies(const SRawFile& file,
                                                   const std::vector<SPlotDescription>& plots);
