#include "TraceDecimation.h"

#include <algorithm>
#include <cmath>

SSampleColumns ColumnsOfView(const double* xs, std::size_t count,
                             const std::vector<double>& boundaries) {
    SSampleColumns view;
    if (count == 0 || boundaries.size() < 2)
        return view;
    const double* end = xs + count;
    // From the last sample before the view to the first one after it.
    view.first = std::lower_bound(xs, end, boundaries.front()) - xs;
    view.last = std::upper_bound(xs, end, boundaries.back()) - xs;
    view.first = view.first > 0 ? view.first - 1 : 0;
    view.last = std::min(count, view.last + 1);
    const std::size_t columns = boundaries.size() - 1;
    if (view.last - view.first <= 4 * columns)
        return view;
    view.starts.reserve(columns);
    std::size_t from = view.first + 1;
    for (std::size_t column = 1; column < columns; ++column) {
        from = std::lower_bound(xs + from, xs + view.last, boundaries[column]) - xs;
        view.starts.push_back(from);
    }
    view.starts.push_back(view.last - 1);
    return view;
}

std::vector<STracePoint> DecimateTrace(const double* xs, const double* ys,
                                       const CMinMaxPyramid& pyramid,
                                       const SSampleColumns& view) {
    std::vector<STracePoint> points;
    if (view.last <= view.first)
        return points;
    if (view.starts.empty()) {
        points.reserve(view.last - view.first);
        for (std::size_t index = view.first; index < view.last; ++index)
            points.push_back({xs[index], ys[index]});
        return points;
    }
    points.reserve(4 * view.starts.size() + 2);
    points.push_back({xs[view.first], ys[view.first]});
    std::size_t from = view.first + 1;
    for (std::size_t to : view.starts) {
        if (to <= from)
            continue;
        const CMinMaxPyramid::SRange range = pyramid.Over(from, to);
        const double middle = (xs[from] + xs[to - 1]) / 2;
        if (range.any && to - from > 2) {
            // The extremes in the order that keeps the line short: nearer the entry first. An
            // end that is itself the extreme beside it adds nothing to the column's line.
            const bool minimumFirst =
                std::abs(range.minimum - ys[from]) < std::abs(range.maximum - ys[from]);
            const double near = minimumFirst ? range.minimum : range.maximum;
            const double far = minimumFirst ? range.maximum : range.minimum;
            if (ys[from] != near)
                points.push_back({xs[from], ys[from]});
            points.push_back({middle, near});
            points.push_back({middle, far});
            if (ys[to - 1] != far)
                points.push_back({xs[to - 1], ys[to - 1]});
        } else {
            points.push_back({xs[from], ys[from]});
            if (to - from > 1)
                points.push_back({xs[to - 1], ys[to - 1]});
        }
        from = to;
    }
    points.push_back({xs[view.last - 1], ys[view.last - 1]});
    return points;
}

std::vector<STracePoint> DecimateTrace(const double* xs, const double* ys,
                                       const CMinMaxPyramid& pyramid, std::size_t count,
                                       const std::vector<double>& boundaries) {
    return DecimateTrace(xs, ys, pyramid, ColumnsOfView(xs, count, boundaries));
}

bool IsNonDecreasing(const double* values, std::size_t count) {
    double previous = -INFINITY;
    for (std::size_t index = 0; index < count; ++index) {
        // A scale with a gap cannot be searched by bisection.
        if (std::isnan(values[index]))
            return false;
        if (values[index] < previous)
            return false;
        previous = values[index];
    }
    return true;
}

std::size_t NearestSample(const double* xs, std::size_t count, double x) {
    const std::size_t after = std::lower_bound(xs, xs + count, x) - xs;
    if (after == 0)
        return 0;
    if (after == count)
        return count - 1;
    return x - xs[after - 1] <= xs[after] - x ? after - 1 : after;
}
