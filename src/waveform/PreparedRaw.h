#pragma once

#include <memory>
#include <vector>

#include "DrawablePlot.h"
#include "PlotDescription.h"
#include "RawFile.h"

// A raw file made ready to draw, all of it at once: the descriptions of its plots, and each
// plot's series with their pyramids. Made on the thread that read the file, so that the window
// only has to draw; the series are used by the window's thread alone afterwards.
struct SPreparedRaw {
    std::shared_ptr<const SRawFile> file;
    std::vector<SPlotDescription> descriptions;
    std::vector<std::unique_ptr<CDrawablePlot>> plots;
};

// Describes the plots and builds the series of every vector's default parts, on all cores.
std::shared_ptr<SPreparedRaw> PrepareRaw(std::shared_ptr<const SRawFile> file);
