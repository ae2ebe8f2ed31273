#pragma once

#include <cstdint>

// Per-line flags, used for bookmarks. No other bit is ever set on a line.
enum LineFlags : std::uint32_t {
    NumberedBookmark0 = 1u << 0,
    NumberedBookmark1 = 1u << 1,
    NumberedBookmark2 = 1u << 2,
    NumberedBookmark3 = 1u << 3,
    NumberedBookmark4 = 1u << 4,
    NumberedBookmark5 = 1u << 5,
    NumberedBookmark6 = 1u << 6,
    NumberedBookmark7 = 1u << 7,
    NumberedBookmark8 = 1u << 8,
    NumberedBookmark9 = 1u << 9,
    Bookmark = 0x80000u,
};

// The flag of numbered bookmark n (0 ... 9).
constexpr std::uint32_t NumberedBookmark(int n) {
    return 1u << n;
}
