#include "DrawablePlot.h"

#include <cmath>

#include "PlotDescription.h"
#include "TraceDecimation.h"

CDrawablePlot::CDrawablePlot(const SRawPlot& plot)
    : plot(plot), scaleSorted(IsNonDecreasing(Scale(), Points())) {}

const SDrawableSeries& CDrawablePlot::Series(std::size_t vector, VectorPart part) {
    // A real plot has values only; every part of it is its value.
    if (!plot.complex)
        part = VectorPart::Value;
    std::unique_ptr<SDrawableSeries>& slot = series[{vector, part}];
    if (slot)
        return *slot;
    slot = std::make_unique<SDrawableSeries>();
    const SRawVector& source = plot.vectors.at(vector);
    const std::vector<double>& real = source.real;
    const std::vector<double>& imaginary = source.imaginary;
    if (part == VectorPart::Value || part == VectorPart::Real) {
        slot->values = real.data();
        slot->count = real.size();
    } else if (part == VectorPart::Imaginary) {
        slot->values = imaginary.data();
        slot->count = imaginary.size();
    } else {
        std::vector<double>& values = slot->computed;
        values.resize(real.size());
        for (std::size_t index = 0; index < real.size(); ++index) {
            const double re = real[index];
            const double im = index < imaginary.size() ? imaginary[index] : 0.0;
            const double magnitude = std::hypot(re, im);
            if (part == VectorPart::Magnitude)
                values[index] = magnitude;
            else if (part == VectorPart::MagnitudeDb)
                values[index] = 20 * std::log10(magnitude);
            else
                values[index] = std::atan2(im, re) * (180 / M_PI);
        }
        slot->values = values.data();
        slot->count = values.size();
    }
    slot->pyramid = CMinMaxPyramid(slot->values, slot->count);
    return *slot;
}

std::vector<VectorPart> CDrawablePlot::DefaultParts() const {
    if (plot.complex)
        return {VectorPart::MagnitudeDb, VectorPart::PhaseDegrees};
    return {VectorPart::Value};
}

std::string CDrawablePlot::SeriesName(std::size_t vector, VectorPart part) const {
    const std::string& name = plot.vectors.at(vector).name;
    if (!plot.complex)
        return name;
    switch (part) {
        case VectorPart::MagnitudeDb: return "db(" + name + ")";
        case VectorPart::PhaseDegrees: return "ph(" + name + ")";
        case VectorPart::Real: return "re(" + name + ")";
        case VectorPart::Imaginary: return "im(" + name + ")";
        case VectorPart::Magnitude: return "mag(" + name + ")";
        case VectorPart::Value: break;
    }
    return name;
}

std::string CDrawablePlot::SeriesUnit(std::size_t vector, VectorPart part) const {
    if (plot.complex && part == VectorPart::MagnitudeDb)
        return "dB";
    if (plot.complex && part == VectorPart::PhaseDegrees)
        return "\xC2\xB0";
    return UnitOfType(plot.vectors.at(vector).type);
}
