#include "LogErrors.h"

#include <cctype>

namespace {

enum class Layout {
    EchoThenMessage,  // the repeated line, then the message
    MessageNext,      // the message on the next line
    MessageItself,    // the line is the message
};

// A report's first line: the text before the number, what must follow it, and the layout.
struct Form {
    std::string_view before;
    std::string_view after;
    Layout layout;
};

// The wording is the simulator's own; "Netlist line no. 3, new internal line no. 7:" counts the
// user's line first.
constexpr Form kForms[] = {
    {"Error on line ", " or its substitute:", Layout::EchoThenMessage},
    {"Warning: Model issue on line ", " :", Layout::EchoThenMessage},
    {"Netlist line no. ", ":", Layout::MessageNext},
    {"Netlist line no. ", ", new internal line no. ", Layout::MessageNext},
    {"Error in netlist line no. ", "", Layout::MessageItself},
    {"Error: bad syntax in line ", "", Layout::MessageItself},
    {"Error: Missing token in line ", "", Layout::MessageItself},
    {"Error: UTF-8 syntax error in line ", "", Layout::MessageItself},
    {"Error: line ", ", missing .ends", Layout::MessageItself},
    {"Check .ends in line number ", "", Layout::MessageItself},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The line number the form gives for the text, or 0.
int NumberIn(std::string_view text, const Form& form) {
    if (text.substr(0, form.before.size()) != form.before)
        return 0;
    text.remove_prefix(form.before.size());
    long number = 0;
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
        number = number * 10 + (text[digits] - '0');
        if (number > 100'000'000)
            return 0;  // no netlist has that many lines: not a line number
        ++digits;
    }
    if (digits == 0 || text.substr(digits, form.after.size()) != form.after)
        return 0;
    return static_cast<int>(number);
}

struct Heading {
    int number = 0;
    Layout layout = Layout::MessageItself;
};

std::optional<Heading> HeadingOf(std::string_view line) {
    line = Trimmed(line);
    for (const Form& form : kForms) {
        if (int number = NumberIn(line, form); number > 0)
            return Heading{number, form.layout};
    }
    return std::nullopt;
}

}  // namespace

bool IsErrorLine(std::string_view line) {
    return Trimmed(line).substr(0, 5) == "Error";
}

bool IsReportHeading(std::string_view line) {
    return HeadingOf(line).has_value();
}

std::optional<LogError> ParseLogError(const std::vector<std::string_view>& logLines, int index) {
    if (index < 0 || index >= static_cast<int>(logLines.size()))
        return std::nullopt;
    std::optional<Heading> heading = HeadingOf(logLines[index]);
    if (!heading)
        return std::nullopt;
    LogError error;
    error.firstLogLine = error.lastLogLine = index;
    error.netlistLine = heading->number;
    const int total = static_cast<int>(logLines.size());
    // A line that begins the next report, or a blank one, ends this report early.
    auto followingLine = [&](int at) -> std::optional<std::string_view> {
        if (at >= total || HeadingOf(logLines[at]))
            return std::nullopt;
        std::string_view text = Trimmed(logLines[at]);
        if (text.empty())
            return std::nullopt;
        return text;
    };
    switch (heading->layout) {
        case Layout::MessageItself:
            error.message = Trimmed(logLines[index]);
            break;
        case Layout::MessageNext:
            if (auto text = followingLine(index + 1)) {
                error.message = *text;
                error.lastLogLine = index + 1;
            }
            break;
        case Layout::EchoThenMessage:
            if (auto echo = followingLine(index + 1)) {
                std::string_view echoed = *echo;
                // A model line is repeated with " ..." after its first parameters.
                if (echoed.size() > 4 && echoed.substr(echoed.size() - 4) == " ...")
                    echoed = Trimmed(echoed.substr(0, echoed.size() - 4));
                error.echoedLine = echoed;
                error.lastLogLine = index + 1;
                if (auto text = followingLine(index + 2)) {
                    error.message = *text;
                    error.lastLogLine = index + 2;
                }
            }
            break;
    }
    return error;
}

std::vector<LogError> FindLogErrors(const std::vector<std::string_view>& logLines) {
    std::vector<LogError> errors;
    for (int index = 0; index < static_cast<int>(logLines.size()); ++index) {
        if (std::optional<LogError> error = ParseLogError(logLines, index)) {
            index = error->lastLogLine;
            errors.push_back(std::move(*error));
        }
    }
    return errors;
}

int ErrorCoveringLine(const std::vector<LogError>& errors, int logLine) {
    for (int index = 0; index < static_cast<int>(errors.size()); ++index) {
        if (errors[index].firstLogLine <= logLine && logLine <= errors[index].lastLogLine)
            return index;
    }
    return -1;
}
