#pragma once

// The options of a text search. No other bits are used.
enum FindFlags : unsigned {
    CaseSensitive = 0x01,  // letters compare exactly; otherwise both texts are upper-cased first
    WholeWordOnly = 0x02,  // a match must be a whole word
    SearchUp = 0x10,       // lines are visited towards the start of the text
};

constexpr FindFlags operator|(FindFlags a, FindFlags b) {
    return static_cast<FindFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr FindFlags operator^(FindFlags a, FindFlags b) {
    return static_cast<FindFlags>(static_cast<unsigned>(a) ^ static_cast<unsigned>(b));
}
constexpr FindFlags& operator|=(FindFlags& a, FindFlags b) {
    return a = a | b;
}
