#pragma once

// What the tests of the simulator programs share: whole files (from TestFiles.h), words for the
// shell, and a netlist's lines as Kivra's deck writer takes them.

#include <string>
#include <string_view>
#include <vector>

#include "TestFiles.h"

namespace kivra_test {

// A word for the shell, whatever it holds.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The lines of a text with breaks of any style: CR LF, LF or CR alone.
inline std::vector<std::string_view> Lines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t end = rest.find_first_of("\r\n");
        lines.push_back(rest.substr(0, end));
        if (end == std::string_view::npos)
            break;
        end += rest.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        rest.remove_prefix(end);
    }
    return lines;
}

}  // namespace kivra_test
