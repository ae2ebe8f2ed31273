#pragma once

#include <string>
#include <vector>

class CSampleDoc;
struct SimulationPaths;

// The windows that show the result files of a run, kivra.log and kivra.raw.

// Closes the windows of the result files before a run replaces the files: the result documents
// of the last run and any other open document of those files, except the netlist being run. A
// window the user made writable and edited is never saved into its result file: the user saves
// it under another name, and it stays open as that file, or drops the edits. False when the
// user cancelled (or the save failed), and the run stops.
bool CloseResultWindows(const SimulationPaths& paths, const CSampleDoc& running);

// Opens the result files the first program left, read-only, the log first. When there is no raw
// file the user is told why in one message, with the first error line of the log; the result
// says whether the raw file is there for the second program. The raw file's waveforms open too,
// or refresh where a window shows them, with the vectors the netlist's lines ask for.
bool OpenResultWindows(const SimulationPaths& paths,
                       const std::vector<std::string>& netlistLines = {});
