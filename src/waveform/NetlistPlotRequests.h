#pragma once

#include <map>
#include <string>
#include <vector>

#include "PlotDescription.h"

// The vectors a netlist asks to see, by the kind of analysis: the ".plot" (and ".print") lines
// ("v(out)" for ".plot tran vdb(out)"), and the "plot" commands of its control blocks, which
// plot what the analysis run before them gave, as do the "*#" lines the second program runs
// ("setplot ac1" names the analysis too). A "plot" before any analysis command stands under
// AnalysisKind::Other: it applies to whatever the block's "run" made.
// Continuation lines ("+") belong to the line before them; case does not matter.
std::map<AnalysisKind, std::vector<std::string>> NetlistPlotRequests(
    const std::vector<std::string>& lines);
