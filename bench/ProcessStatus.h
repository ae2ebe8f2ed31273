#pragma once

// Fields of a process's /proc status file, for the benchmarks' memory figures.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// A field such as "VmHWM:" of a status file, in KiB; -1 when missing.
inline long StatusKilobytes(const char* file, const char* field) {
    std::ifstream status(file);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

// The same field of this process.
inline long StatusKilobytes(const char* field) {
    return StatusKilobytes("/proc/self/status", field);
}
