#pragma once

#include <cstddef>
#include <string>

// A netlist of about the given size that the checks have little to say about: subcircuits of
// resistors and capacitors, models, and a long chain of elements and instances at the top level,
// every node joined to at least two elements. The same seed gives the same text.
std::string GenerateCheckedNetlist(std::size_t bytes, unsigned seed = 1);
