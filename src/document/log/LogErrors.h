#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A report of the simulator's log that names a line of the netlist, by number, and what it says
// about it. The simulator writes three kinds:
//
//     Error on line 4 or its substitute:        Warning: Model issue on line 5 :
//       r1 in out xyz zz                          .model dm d foo=3 ...
//       unknown parameter (xyz)                 unrecognized parameter (foo) - ignored
//
//     Netlist line no. 3:                       Check .ends in line number 4
//     Closing ")" not found.
//
// The first kind repeats the line (lower-cased, continuations joined, parameters substituted)
// before the message; the second gives the message on the next line; the third is a message in
// itself. The number counts the lines of the file that holds the line, which for a line of an
// included file is that file, though the log never names it.
struct LogError {
    int firstLogLine = 0;    // the log line with the number, counted from 0
    int lastLogLine = 0;     // the last log line of the report
    int netlistLine = 0;     // counted from 1, as the simulator counts
    std::string echoedLine;  // the line as the simulator repeated it; empty when it does not
    std::string message;
};

// Whether the log line reports an error of any kind, whether or not it names a netlist line: it
// starts with "Error", blanks before it aside.
bool IsErrorLine(std::string_view line);
// Whether a report that names a netlist line begins at the log line: ParseLogError finds one
// there exactly when this holds.
bool IsReportHeading(std::string_view line);
// The report that begins at the log line, when that line names a netlist line.
std::optional<LogError> ParseLogError(const std::vector<std::string_view>& logLines, int index);
// Every report of the log, in the order of the log.
std::vector<LogError> FindLogErrors(const std::vector<std::string_view>& logLines);
// The report that the log line belongs to; -1 when none.
int ErrorCoveringLine(const std::vector<LogError>& errors, int logLine);
