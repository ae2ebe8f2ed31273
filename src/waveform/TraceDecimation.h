#pragma once

#include <cstddef>
#include <vector>

#include "MinMaxPyramid.h"

struct STracePoint {
    double x;
    double y;
};

// The points that draw a trace in pixel columns exactly as all its samples would: where the
// columns hold many samples, each column gives its first sample, its extremes and its last
// sample, so that a one-sample spike is never lost; where they hold few, the samples themselves.
// The samples just outside the view come too, so that the line runs on to the edges.
//
// xs must not decrease (a time or frequency scale). boundaries are the x values where the columns
// begin, in increasing order, with the end of the last column after them; a logarithmic axis
// gives boundaries that grow by a factor.
std::vector<STracePoint> DecimateTrace(const double* xs, const double* ys,
                                       const CMinMaxPyramid& pyramid, std::size_t count,
                                       const std::vector<double>& boundaries);

// Where the columns of a view begin in the samples of a scale: the traces of one plot share
// their scale, so that this is found once for all of them.
struct SSampleColumns {
    std::size_t first = 0;  // the last sample before the view (or the first sample)
    std::size_t last = 0;   // one past the first sample after the view
    // The first sample of each column after the first; empty when the view holds so few
    // samples that they are drawn as they are.
    std::vector<std::size_t> starts;
};
SSampleColumns ColumnsOfView(const double* xs, std::size_t count,
                             const std::vector<double>& boundaries);
std::vector<STracePoint> DecimateTrace(const double* xs, const double* ys,
                                       const CMinMaxPyramid& pyramid,
                                       const SSampleColumns& columns);

// Whether the values never decrease; a NaN among them makes them unsorted.
bool IsNonDecreasing(const double* values, std::size_t count);

// The index of the sample whose x is nearest to x in a scale that does not decrease; count must
// be at least 1.
std::size_t NearestSample(const double* xs, std::size_t count, double x);
