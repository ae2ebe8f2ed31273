#pragma once

#include <cstddef>

// The value of a trace at an x between its samples, on the straight line between the two around
// it (the value of the nearest end outside them); NaN for an empty trace. xs must not decrease.
double TraceValueAt(const double* xs, const double* ys, std::size_t count, double x);
