#pragma once

#include <string>
#include <string_view>
#include <vector>

// The simulator numbers the lines of an included file from that file's own start and does not
// say which file a number belongs to. What it repeats of the line tells the files apart. Only the
// files the netlist includes itself count: for a file included from an included file the
// simulator adds the line of the inner include to the number, which names no line of either.

// The files the netlist pulls in with ".include", ".inc" and ".lib" lines (any case of letters),
// as written there, quotes removed, in the order of the lines.
std::vector<std::string> IncludedFiles(const std::vector<std::string_view>& netlistLines);

// Whether line lineNumber (counted from 1) of the text can be the line the simulator repeated:
// both begin with the same word, letters compared without case (the simulator lower-cases what
// it repeats and substitutes parameters only after the first word).
bool HoldsEchoedLine(const std::vector<std::string_view>& lines, int lineNumber,
                     std::string_view echoedLine);
