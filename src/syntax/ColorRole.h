#pragma once

#include <cstdint>
#include <optional>

// The colour of every painted character comes from a numbered role. The numbers are shared by the
// line colouring and the painting.
enum ColorRole : std::int32_t {
    EmptyArea = 0,            // background where there is no text
    TextBackground = 1,       // background of text cells
    NormalText = 2,           // plain text
    MarginBackground = 3,     // fill of the selection margin
    SelectionBackground = 4,  // background of selected text and of a selected line end
    SelectionText = 5,        // selected text
    Keyword = 6,
    Comment = 7,  // block comments, error tails
    Number = 8,
    String = 10,
    Dimmed = 11,  // line numbers in the margin, "**" comment lines
    CommentLine = 18,
};

// A 24-bit colour as 0xRRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int red, int green, int blue) {
    return (static_cast<Rgb>(red) << 16) | (static_cast<Rgb>(green) << 8) | static_cast<Rgb>(blue);
}

// The default colour of a role that has a fixed one; none for EmptyArea, TextBackground and
// NormalText, which take the desktop's window and window-text colours at every paint.
// Role 9 is black; every number not named above is red.
std::optional<Rgb> FixedRoleColor(std::int32_t role);
