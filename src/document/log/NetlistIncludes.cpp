#include "NetlistIncludes.h"

#include <cctype>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view FirstWord(std::string_view text) {
    text = SkipBlanks(text);
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    return text.substr(0, end);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The file named after the keyword: a quoted name whole, else the first word.
std::string_view FileNameAfter(std::string_view rest) {
    rest = SkipBlanks(rest);
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
        std::size_t close = rest.find(rest.front(), 1);
        return close == std::string_view::npos ? std::string_view() : rest.substr(1, close - 1);
    }
    return FirstWord(rest);
}

}  // namespace

std::vector<std::string> IncludedFiles(const std::vector<std::string_view>& netlistLines) {
    std::vector<std::string> files;
    for (std::string_view line : netlistLines) {
        std::string_view keyword = FirstWord(line);
        if (!EqualIgnoringCase(keyword, ".include") && !EqualIgnoringCase(keyword, ".inc") &&
            !EqualIgnoringCase(keyword, ".lib"))
            continue;
        std::string_view rest = SkipBlanks(line).substr(keyword.size());
        std::string_view name = FileNameAfter(rest);
        if (!name.empty())
            files.emplace_back(name);
    }
    return files;
}

bool HoldsEchoedLine(const std::vector<std::string_view>& lines, int lineNumber,
                     std::string_view echoedLine) {
    if (lineNumber < 1 || lineNumber > static_cast<int>(lines.size()))
        return false;
    std::string_view word = FirstWord(echoedLine);
    return !word.empty() && EqualIgnoringCase(FirstWord(lines[lineNumber - 1]), word);
}
