// Reading the simulator's log: which lines report a netlist line, the line number, the repeated
// line and the message. The logs are ngspice 39's own output.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "LogErrors.h"

bool operator==(const LogError& a, const LogError& b) {
    return a.firstLogLine == b.firstLogLine && a.lastLogLine == b.lastLogLine &&
           a.netlistLine == b.netlistLine && a.echoedLine == b.echoedLine && a.message == b.message;
}

void PrintTo(const LogError& error, std::ostream* out) {
    *out << "{log " << error.firstLogLine << "-" << error.lastLogLine << ", line "
         << error.netlistLine << ", \"" << error.echoedLine << "\", \"" << error.message << "\"}";
}

namespace {

using ::testing::ElementsAreArray;

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

struct LogCase {
    const char* name;
    const char* log;
    std::vector<LogError> expected;
};

TEST(LogErrors, ReportsOfTheSimulatorAreFoundWithTheirLineEchoAndMessage) {
    const LogCase cases[] = {
        {"an unknown parameter",
         "\nCircuit: title\n\nError on line 3 or its substitute:\n  r1 in out xyz zz\n"
         "  unknown parameter (xyz) \n    Simulation interrupted due to error!\n",
         {{3, 5, 3, "r1 in out xyz zz", "unknown parameter (xyz)"}}},
        {"a message that is not indented",
         "Error on line 5 or its substitute:\n  .tran 1u\nTSTOP is invalid, must be greater "
         "than zero.\n    Simulation interrupted due to error!",
         {{0, 2, 5, ".tran 1u", "TSTOP is invalid, must be greater than zero."}}},
        {"a model warning, its repeated line cut short",
         "Circuit: title\nWarning: Model issue on line 5 :\n  .model dm d foo=3 is=1e-14 ...\n"
         "unrecognized parameter (foo) - ignored\nDoing analysis at TEMP = 27.000000",
         {{1, 3, 5, ".model dm d foo=3 is=1e-14", "unrecognized parameter (foo) - ignored"}}},
        {"expression errors, one report each",
         "Circuit: title\nNetlist line no. 3:\nClosing \")\" not found.\nNetlist line no. 3:\n"
         " Misplaced operator\nNetlist line no. 12:\nCannot compute substitute\n"
         "ERROR: fatal error in ngspice, exit(1)",
         {{1, 2, 3, "", "Closing \")\" not found."},
          {3, 4, 3, "", "Misplaced operator"},
          {5, 6, 12, "", "Cannot compute substitute"}}},
        {"the user's line before the internal one",
         "Netlist line no. 7, new internal line no. 19:\nUndefined parameter [abc]",
         {{0, 1, 7, "", "Undefined parameter [abc]"}}},
        {"reports that are their own message",
         "Error: Mismatch of .subckt ... .ends statements!\n    This will cause subsequent "
         "errors.\nCheck .ends in line number 4\nError: UTF-8 syntax error in line 3 at \xe9\xff\n"
         "Error: line 12, missing .ends\nError: bad syntax in line 8",
         {{2, 2, 4, "", "Check .ends in line number 4"},
          {3, 3, 3, "", "Error: UTF-8 syntax error in line 3 at \xe9\xff"},
          {4, 4, 12, "", "Error: line 12, missing .ends"},
          {5, 5, 8, "", "Error: bad syntax in line 8"}}},
        {"a heading after blanks",
         "  Netlist line no. 3:\nUndefined parameter [abc]",
         {{0, 1, 3, "", "Undefined parameter [abc]"}}},
        {"lines ended by CR LF",
         "Error on line 4 or its substitute:\r\n  r2 out 0 1k zz=3\r\n  unknown parameter "
         "(zz) \r\n",
         {{0, 2, 4, "r2 out 0 1k zz=3", "unknown parameter (zz)"}}},
        {"a log that ends after the heading",
         "Error on line 9 or its substitute:",
         {{0, 0, 9, "", ""}}},
        {"a report cut short by the next one",
         "Error on line 9 or its substitute:\nNetlist line no. 2:\nCannot compute substitute",
         {{0, 0, 9, "", ""}, {1, 2, 2, "", "Cannot compute substitute"}}},
        {"a report ended by a blank line",
         "Warning: Model issue on line 6 :\n  .model q1 npn bf=abc ...\n\nno message here",
         {{0, 1, 6, ".model q1 npn bf=abc", ""}}},
    };
    for (const LogCase& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_THAT(FindLogErrors(Lines(each.log)), ElementsAreArray(each.expected));
    }
}

TEST(LogErrors, LinesThatNameNoLineNumberAreNoReports) {
    const char* const lines[] = {
        // The line is only repeated, or is one of a subcircuit's expansion.
        "warning, can't find model 'xyz' from line",
        "Error on line:",
        "Error: bad syntax of line",
        "Error: unknown subckt: x2 out 0 nosub",
        // The number is not one, or the wording goes on differently.
        "Error on line 0 or its substitute:",
        "Error on line 3x or its substitute:",
        "Error on line 3 or its substitute",
        "Error on line 999999999999 or its substitute:",
        "Netlist line no. :",
        "Netlist line no. 4",
        "Error: line 12, missing .endc",
        "No. of Data Rows : 1",
        "Note: No compatibility mode selected!",
        "",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ParseLogError({line}, 0).has_value());
    }
    EXPECT_FALSE(ParseLogError({"Netlist line no. 3:"}, 1).has_value()) << "past the end";
    EXPECT_FALSE(ParseLogError({"Netlist line no. 3:"}, -1).has_value());
}

TEST(LogErrors, EveryLineOfAReportAndNoOtherBelongsToIt) {
    const auto log = Lines(
        "Circuit: t\nError on line 3 or its substitute:\n  r1 a b x\n  unknown parameter (x)\n"
        "    Simulation interrupted due to error!\nNetlist line no. 5:\nCannot compute substitute");
    const std::vector<LogError> errors = FindLogErrors(log);
    const int expected[] = {-1, 0, 0, 0, -1, 1, 1, -1};
    for (int line = 0; line < 8; ++line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ErrorCoveringLine(errors, line), expected[line]);
    }
    EXPECT_EQ(ErrorCoveringLine({}, 0), -1);
}

}  // namespace
