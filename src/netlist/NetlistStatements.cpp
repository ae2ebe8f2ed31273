#include "NetlistStatements.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == '(' || c == ')'; }

std::size_t FirstNonBlank(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

// Where the inline comment of the line starts (its length when it has none). Quotes and braces
// shield what they hold.
std::size_t CommentStart(std::string_view line, std::size_t from) {
    int braces = 0;
    char quote = 0;
    for (std::size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '\'' || c == '"')
            quote = c;
        else if (c == '{')
            ++braces;
        else if (c == '}' && braces > 0)
            --braces;
        else if (braces == 0) {
            const bool afterBlank = i == 0 || IsBlank(line[i - 1]);
            if (c == ';' || (c == '$' && afterBlank) ||
                (c == '/' && afterBlank && i + 1 < line.size() && line[i + 1] == '/'))
                return i;
        }
    }
    return line.size();
}

// The end of the token that starts at i: a quoted string or a brace group as a whole.
std::size_t TokenEnd(std::string_view line, std::size_t i) {
    int braces = 0;
    char quote = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '{') {
            ++braces;
        } else if (c == '}') {
            if (braces > 0)
                --braces;
        } else if (braces == 0 && (IsSeparator(c) || c == '=')) {
            break;
        }
    }
    return i;
}

std::string_view FirstWord(std::string_view line, std::size_t from) {
    std::size_t end = from;
    while (end < line.size() && !IsSeparator(line[end]))
        ++end;
    return line.substr(from, end - from);
}

}  // namespace

StatementReader::StatementReader(const NetlistText& netlistText, bool firstLineIsTitle)
    : text(netlistText), titlePending(firstLineIsTitle) {}

void StatementReader::AddTokens(std::string_view line, int lineIndex, std::size_t from,
                                NetlistStatement& statement) const {
    const std::size_t end = CommentStart(line, from);
    line = line.substr(0, end);
    std::size_t i = from;
    while (true) {
        while (i < line.size() && IsSeparator(line[i]))
            ++i;
        if (i >= line.size())
            return;
        std::size_t tokenEnd = line[i] == '=' ? i + 1 : TokenEnd(line, i);
        // "name = value" and "name=value" are one token; so is "name =value".
        std::size_t after = tokenEnd;
        while (after < line.size() && IsBlank(line[after]))
            ++after;
        if (after < line.size() && line[after] == '=' && line[i] != '=') {
            std::size_t value = after + 1;
            while (value < line.size() && IsBlank(line[value]))
                ++value;
            tokenEnd = value < line.size() ? TokenEnd(line, value) : value;
            if (tokenEnd == value && value < line.size() && line[value] == '=')
                tokenEnd = value + 1;
        }
        statement.tokens.push_back(
            {line.substr(i, tokenEnd - i), lineIndex, static_cast<int>(i)});
        i = tokenEnd;
    }
}

bool StatementReader::Next(NetlistStatement& statement) {
    statement.tokens.clear();
    statement.keyword.clear();
    const int total = text.LineCount();
    while (nextLine < total) {
        const int index = nextLine++;
        const std::string_view line = text.Line(index);
        const std::size_t start = FirstNonBlank(line);
        statement.firstLine = statement.lastLine = index;
        if (titlePending) {
            titlePending = false;
            statement.kind = StatementKind::Title;
            return true;
        }
        if (start >= line.size() || line[start] == '*')
            continue;
        if (inControl) {
            const std::string_view word = FirstWord(line, start);
            statement.kind = StatementKind::Control;
            statement.keyword = LowerName(word);
            statement.tokens.push_back({word, index, static_cast<int>(start)});
            if (statement.keyword == ".endc")
                inControl = false;
            return true;
        }
        if (line[start] == '+')  // a continuation with nothing to continue
            continue;
        AddTokens(line, index, start, statement);
        if (statement.tokens.empty())
            continue;
        // Later lines that start with "+" continue this one; comment lines between do not break it.
        for (int next = nextLine; next < total; ++next) {
            const std::string_view more = text.Line(next);
            const std::size_t moreStart = FirstNonBlank(more);
            if (moreStart >= more.size() || more[moreStart] == '*')
                continue;
            if (more[moreStart] != '+')
                break;
            AddTokens(more, next, moreStart + 1, statement);
            statement.lastLine = next;
            nextLine = next + 1;
        }
        const std::string_view first = statement.tokens.front().text;
        if (first.front() == '.') {
            statement.kind = StatementKind::Dot;
            statement.keyword = LowerName(first);
            if (statement.keyword == ".control")
                inControl = true;
        } else {
            statement.kind = StatementKind::Element;
        }
        return true;
    }
    return false;
}

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string_view Unquoted(std::string_view token) {
    if (token.size() >= 2 && ((token.front() == '"' && token.back() == '"') ||
                              (token.front() == '\'' && token.back() == '\'') ||
                              (token.front() == '{' && token.back() == '}')))
        return token.substr(1, token.size() - 2);
    return token;
}

bool IsValueToken(std::string_view token) {
    if (token.empty())
        return true;
    const char c = token.front();
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == '\'' || c == '"' ||
           c == '{';
}

bool IsAssignment(std::string_view token) {
    return token.find('=') != std::string_view::npos && token.front() != '{' &&
           token.front() != '\'' && token.front() != '"';
}
