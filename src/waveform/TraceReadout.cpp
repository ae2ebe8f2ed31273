#include "TraceReadout.h"

#include <algorithm>
#include <cmath>
#include <limits>

double TraceValueAt(const double* xs, const double* ys, std::size_t count, double x) {
    if (count == 0)
        return std::numeric_limits<double>::quiet_NaN();
    // The first sample past x: at a step (two samples at one x) the later one holds.
    const std::size_t after = std::upper_bound(xs, xs + count, x) - xs;
    if (after == 0)
        return ys[0];
    if (after == count)
        return ys[count - 1];
    const double x0 = xs[after - 1], x1 = xs[after];
    if (!(x1 > x0))
        return ys[after];
    const double share = (x - x0) / (x1 - x0);
    return ys[after - 1] + (ys[after] - ys[after - 1]) * share;
}
