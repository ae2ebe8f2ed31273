#pragma once

#include <cstddef>
#include <string>

// A netlist-like text of about the given size: CR LF breaks, lines of about 35 bytes, element
// lines, model lines, comments with Windows-1251 Cyrillic bytes. The same seed gives the same text.
std::string GenerateNetlist(std::size_t bytes, unsigned seed = 1);
