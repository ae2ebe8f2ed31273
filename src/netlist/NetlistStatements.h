#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "NetlistText.h"

// A netlist read as the simulator reads it: one statement per line together with the lines that
// continue it ("+" first), comment lines and inline comments (";" anywhere, "$" and "//" at the
// start or after a blank) left out, the lines of a .control block kept apart.

struct NetlistToken {
    std::string_view text;  // a view of the netlist text; "a = b" stays one token
    int line = 0;
    int column = 0;
};

enum class StatementKind {
    Title,    // the first line of a netlist
    Element,  // a line that starts with a letter
    Dot,      // a dot command outside .control blocks, .control itself included
    Control,  // a line inside a .control block, .endc included
};

struct NetlistStatement {
    StatementKind kind = StatementKind::Element;
    int firstLine = 0;
    int lastLine = 0;
    std::vector<NetlistToken> tokens;  // for Title and Control, the first token only
    std::string keyword;               // the first token lower-cased, for Dot and Control
};

// Hands out the statements of a text one by one.
class StatementReader {
public:
    StatementReader(const NetlistText& text, bool firstLineIsTitle);
    // The next statement into statement (its storage is reused); false at the end of the text.
    bool Next(NetlistStatement& statement);

private:
    void AddTokens(std::string_view line, int lineIndex, std::size_t from,
                   NetlistStatement& statement) const;

    const NetlistText& text;
    int nextLine = 0;
    bool titlePending;
    bool inControl = false;
};

// Lower-cases the ASCII letters of a name: the simulator's names ignore case.
std::string LowerName(std::string_view name);
// The token without surrounding quotes (single or double) or braces.
std::string_view Unquoted(std::string_view token);
// Whether the token reads as a number or an expression rather than a name: it starts with a
// digit, a sign, a point, a quote or a brace.
bool IsValueToken(std::string_view token);
// Whether the token is an assignment "name=value".
bool IsAssignment(std::string_view token);
