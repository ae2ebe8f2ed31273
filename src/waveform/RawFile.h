#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One vector of a plot in a simulator's raw file: its samples as doubles, column by column.
struct SRawVector {
    std::string name;  // "v(out)", "time", "frequency"
    std::string type;  // "voltage", "current", "time", "frequency", "notype", …
    // The real parts, and the imaginary parts of a complex plot (empty in a real one).
    std::vector<double> real;
    std::vector<double> imaginary;
    // The length the file gave it ("dims="), or 0 when it has the plot's length.
    std::size_t declaredLength = 0;
    // How the simulator would draw the vector as a scale ("grid="): 2 and 3 are logarithmic in x.
    int grid = 0;
};

// One plot (one analysis) of a raw file.
struct SRawPlot {
    std::string title;
    std::string date;
    std::string name;  // "Transient Analysis"
    std::string command;
    bool complex = false;
    bool padded = true;
    // The points the header announces; 0 when the writer never said, as in the file of a run
    // that was stopped.
    std::size_t declaredPoints = 0;
    // The whole points read; a point cut off by the end of the file is left out.
    std::size_t points = 0;
    std::vector<SRawVector> vectors;

    // Fewer points than the header announced, or an unannounced count that ended with the file.
    bool CutShort() const {
        return declaredPoints == 0 ? endedWithFile : points < declaredPoints;
    }
    // Whether the data of the plot ran to the end of the file.
    bool endedWithFile = false;
};

// What a raw file holds: its plots in the order of the file.
struct SRawFile {
    std::vector<SRawPlot> plots;
    // Why reading stopped before the end of the file (a line that is no part of a raw file, for
    // example), with the line number; empty when the whole file was read.
    std::string problem;
    bool binary = false;
};
