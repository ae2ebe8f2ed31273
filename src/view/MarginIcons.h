#pragma once

#include <QPixmap>

// The strip of 14 margin icons, 16 × 16 pixels each, transparent where the picture is white:
// an arrow, a stop sign, a disc with the digit 1, discs with the digits 1 ... 9 and 0, and a
// plain disc.
QPixmap MakeMarginIcons();

// The icon a line's flags show: the index in the strip of the first entry of the margin's mask
// table that the flags share a bit with, or -1.
int MarginIconIndex(std::uint32_t flags);
