#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "RawFile.h"

// Reads the raw files ngspice writes: ASCII and binary, real and complex, padded or not, one plot
// or several. A file cut short, as a stopped run leaves it, keeps every whole point.
class CRawFileReader {
public:
    // Told how many bytes of how many are read; returning false stops the reading, and the file
    // then holds what was read so far.
    using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

    // False with a one-line reason when the file cannot be read or holds no plot. A file that
    // goes wrong after its first plot keeps the plots before and says why in `problem`.
    static bool ReadFile(const std::string& path, SRawFile& file, std::string& error,
                         const Progress& progress = {});
    static bool ReadBytes(std::string_view bytes, SRawFile& file, std::string& error);
};
