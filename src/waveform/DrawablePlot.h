#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MinMaxPyramid.h"
#include "RawFile.h"

// What of a vector is drawn: its value in a real plot; of a complex one, the magnitude in dB and
// the phase in degrees (the two panes of an AC plot), or the real part, the imaginary part or
// the magnitude on request.
enum class VectorPart { Value, MagnitudeDb, PhaseDegrees, Real, Imaginary, Magnitude };

// One series ready to draw: its values and their pyramid.
struct SDrawableSeries {
    const double* values = nullptr;
    std::size_t count = 0;
    CMinMaxPyramid pyramid;
    // The values computed for a part of a complex vector; empty when they are the file's own.
    std::vector<double> computed;
};

// A plot of a raw file made ready to draw: its scale (the real part of its first vector) and the
// series of its vectors, each made once, on first use, and kept.
class CDrawablePlot {
public:
    // The plot must outlive this, unchanged.
    explicit CDrawablePlot(const SRawPlot& plot);

    const SRawPlot& Plot() const { return plot; }
    const double* Scale() const { return plot.vectors.empty() ? nullptr : plot.vectors[0].real.data(); }
    std::size_t Points() const { return plot.vectors.empty() ? 0 : plot.vectors[0].real.size(); }
    // Whether the scale never decreases: then a view can find its samples by bisection.
    bool ScaleIsSorted() const { return scaleSorted; }

    const SDrawableSeries& Series(std::size_t vector, VectorPart part);
    // Makes the series ready at once, their pyramids built side by side on the machine's cores:
    // the first picture of a large file waits for all it shows.
    void Prepare(const std::vector<std::pair<std::size_t, VectorPart>>& wanted);
    // The parts a vector of this plot shows by default: its value, or dB and phase.
    std::vector<VectorPart> DefaultParts() const;
    // The name of the series: "v(out)", "db(v(out))", "ph(v(out))".
    std::string SeriesName(std::size_t vector, VectorPart part) const;
    // Its unit: that of the vector's type, "dB" or "°".
    std::string SeriesUnit(std::size_t vector, VectorPart part) const;

private:
    const SRawPlot& plot;
    bool scaleSorted = true;
    // Fills the series' values and pyramid.
    void Make(SDrawableSeries& made, std::size_t vector, VectorPart part) const;
    VectorPart Canonical(VectorPart part) const { return plot.complex ? part : VectorPart::Value; }

    std::map<std::pair<std::size_t, VectorPart>, std::unique_ptr<SDrawableSeries>> series;
};
