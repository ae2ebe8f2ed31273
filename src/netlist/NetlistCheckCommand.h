#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "NetlistAnalysis.h"

// "kivra --check FILE...": each finding as "FILE:LINE:COLUMN: error: TEXT" or "...: warning:
// TEXT", the form compilers use, so that other editors and CI read it. Lines and columns count
// from 1.
std::string FormatFinding(const NetlistFinding& finding);
// Checks each file; returns 1 when any has an error (a file that cannot be read is one), else 0.
int RunNetlistCheck(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);
