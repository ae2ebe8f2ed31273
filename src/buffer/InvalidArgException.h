#pragma once

#include <stdexcept>

// Raised for a line index outside the line table or a history position outside the history.
// Callers are expected never to cause it.
class CInvalidArgException : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};
