#include "DrawablePlot.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <thread>

#include "PlotDescription.h"
#include "TraceDecimation.h"

CDrawablePlot::CDrawablePlot(const SRawPlot& plot)
    : plot(plot), scaleSorted(IsNonDecreasing(Scale(), Points())) {}

const SDrawableSeries& CDrawablePlot::Series(std::size_t vector, VectorPart part) {
    part = Canonical(part);
    std::unique_ptr<SDrawableSeries>& slot = series[{vector, part}];
    if (!slot) {
        slot = std::make_unique<SDrawableSeries>();
        Make(*slot, vector, part);
    }
    return *slot;
}

void CDrawablePlot::Prepare(const std::vector<std::pair<std::size_t, VectorPart>>& wanted) {
    std::vector<std::pair<SDrawableSeries*, std::pair<std::size_t, VectorPart>>> work;
    for (const auto& [vector, part] : wanted) {
        if (vector >= plot.vectors.size())
            continue;
        std::unique_ptr<SDrawableSeries>& slot = series[{vector, Canonical(part)}];
        if (!slot) {
            slot = std::make_unique<SDrawableSeries>();
            work.push_back({slot.get(), {vector, Canonical(part)}});
        }
    }
    const std::size_t workers =
        std::min<std::size_t>(work.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next{0};
    auto run = [&] {
        for (std::size_t index; (index = next++) < work.size();)
            Make(*work[index].first, work[index].second.first, work[index].second.second);
    };
    std::vector<std::thread> threads;
    for (std::size_t worker = 1; worker < workers; ++worker)
        threads.emplace_back(run);
    run();
    for (std::thread& thread : threads)
        thread.join();
}

void CDrawablePlot::Make(SDrawableSeries& made, std::size_t vector, VectorPart part) const {
    const SRawVector& source = plot.vectors.at(vector);
    const std::vector<double>& real = source.real;
    const std::vector<double>& imaginary = source.imaginary;
    if (part == VectorPart::Value || part == VectorPart::Real) {
        made.values = real.data();
        made.count = real.size();
    } else if (part == VectorPart::Imaginary) {
        made.values = imaginary.data();
        made.count = imaginary.size();
    } else {
        std::vector<double>& values = made.computed;
        try {
            values.resize(real.size());
        } catch (const std::bad_alloc&) {
            // Without the memory for the part, it is drawn as nothing rather than end the program.
            made.values = nullptr;
            made.count = 0;
            return;
        }
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
        made.values = values.data();
        made.count = values.size();
    }
    made.pyramid = CMinMaxPyramid(made.values, made.count);
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
