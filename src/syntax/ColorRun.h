#pragma once

#include <cstdint>

#include "ColorRole.h"

// One entry of a line's run list: the run colours the characters from start up to the next run's
// start, the last run up to the end of the line. Runs are ordered by start; starts may be equal.
struct ColorRun {
    std::int32_t start;
    ColorRole role;

    friend bool operator==(const ColorRun&, const ColorRun&) = default;
};
