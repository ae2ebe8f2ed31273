#include "ElementShapes.h"

#include <algorithm>
#include <string>

namespace {

// A field that reads as a name, not a number, an expression or an assignment.
bool IsNameField(std::string_view token) {
    return !token.empty() && !IsValueToken(token) && !IsAssignment(token) && token != "=";
}

// Words that stand after the value of a resistor, capacitor or inductor and name no model.
bool IsPassiveKeyword(const std::string& lower) {
    static const char* const words[] = {"ac", "dc", "tc", "tc1", "tc2", "m", "temp", "dtemp",
                                        "scale", "noisy", "ic", "poly", "l", "w", "r", "c"};
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char* word) { return lower == word; });
}

int TokenCount(const NetlistStatement& element) {
    return static_cast<int>(element.tokens.size());
}

// Name fields from first on, up to the first field that is not a name.
void NameFieldsFrom(const NetlistStatement& element, int first, int last, std::vector<int>& fields) {
    for (int i = first; i <= last && i < TokenCount(element); ++i) {
        const std::string_view token = element.tokens[i].text;
        if (!IsNameField(token))
            break;
        const std::string lower = LowerName(token);
        if (lower != "off" && lower != "on")
            fields.push_back(i);
    }
}

void Range(int first, int last, int count, std::vector<int>& indexes) {
    for (int i = first; i <= last && i < count; ++i)
        indexes.push_back(i);
}

// The node fields of an XSPICE or compact-model line: between the name and the model, the
// brackets, port-type prefixes and inversions stripped.
void BracketedNodes(const NetlistStatement& element, std::vector<int>& nodes) {
    ModelCandidateTokens(element, nodes);
    const int end = nodes.empty() ? TokenCount(element) : nodes.front();
    nodes.clear();
    for (int i = 1; i < end; ++i) {
        const std::string_view token = element.tokens[i].text;
        if (token.front() != '%' && token != "[" && token != "]" && !IsAssignment(token))
            nodes.push_back(i);
    }
}

}  // namespace

char ElementLetter(const NetlistStatement& element) {
    const char c = element.tokens.front().text.front();
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int MinimumFields(char letter) {
    switch (letter) {
    case 'r': case 'c': case 'l': case 'v': case 'i': return 2;
    case 'd': case 'e': case 'g': case 'b': case 'k': return 3;
    // A MOS transistor of a three-terminal power model has three nodes.
    case 'q': case 'j': case 'z': case 'f': case 'h': case 't': case 'w': case 'm': return 4;
    case 's': case 'o': return 5;
    case 'x': return 1;
    default: return 0;
    }
}

int SubcircuitNameToken(const NetlistStatement& element) {
    int end = TokenCount(element);
    for (int i = 1; i < TokenCount(element); ++i) {
        const std::string_view token = element.tokens[i].text;
        if (LowerName(token) == "params:" || IsAssignment(token)) {
            end = i;
            break;
        }
    }
    return end >= 2 ? end - 1 : -1;
}

void ModelCandidateTokens(const NetlistStatement& element, std::vector<int>& indexes) {
    indexes.clear();
    const int count = TokenCount(element);
    switch (ElementLetter(element)) {
    case 'd': return NameFieldsFrom(element, 3, 4, indexes);  // a diode may have a thermal node
    case 'j': case 'z': case 'w': return NameFieldsFrom(element, 4, 4, indexes);
    case 's': case 'o': return NameFieldsFrom(element, 5, 5, indexes);
    case 'q': return NameFieldsFrom(element, 4, 6, indexes);
    case 'm':
        // Three nodes and a model, or four (the bulk may be a number) and up to three more.
        return NameFieldsFrom(element, count > 4 && IsValueToken(element.tokens[4].text) ? 5 : 4, 8, indexes);
    case 'r': case 'c': case 'l': {
        for (int i = 3; i <= 4 && i < count; ++i) {
            const std::string_view token = element.tokens[i].text;
            if (IsNameField(token) && !IsPassiveKeyword(LowerName(token))) {
                indexes.push_back(i);
                return;
            }
            if (!IsValueToken(token))
                break;
        }
        return;
    }
    case 'a': case 'n': {
        // The model is the last field before the instance parameters.
        int last = count - 1;
        while (last > 0 && IsAssignment(element.tokens[last].text))
            --last;
        if (last >= 2 && IsNameField(element.tokens[last].text) &&
            element.tokens[last].text.back() != ']')
            indexes.push_back(last);
        return;
    }
    default: return;
    }
}

void NodeTokens(const NetlistStatement& element, std::vector<int>& indexes) {
    indexes.clear();
    const int count = TokenCount(element);
    switch (ElementLetter(element)) {
    case 'r': case 'c': case 'l': case 'd': case 'v': case 'i': case 'b': case 'f': case 'h':
    case 'w':
        return Range(1, 2, count, indexes);
    case 'e': case 'g': {
        // Four nodes and a gain, or two nodes and an expression, a table or a polynomial.
        const bool linear = count == 6 && IsNameField(element.tokens[3].text) &&
                            LowerName(element.tokens[3].text) != "poly";
        return Range(1, linear ? 4 : 2, count, indexes);
    }
    case 'q': case 'j': case 'z': case 'm': return Range(1, 3, count, indexes);
    case 't': case 's': case 'o': return Range(1, 4, count, indexes);
    case 'x': {
        const int name = SubcircuitNameToken(element);
        if (name > 0)
            Range(1, name - 1, count, indexes);
        return;
    }
    case 'a': case 'n': return BracketedNodes(element, indexes);
    default: return;
    }
}
