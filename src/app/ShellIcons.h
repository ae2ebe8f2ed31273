#pragma once

// The shell's icons, drawn in code: the toolbar buttons, the program's icon and the netlist
// document's icon. Nothing is read from image files or the desktop's icon theme.

#include <QIcon>
#include <QList>
#include <QPixmap>

// A toolbar button is 16 x 15 device-independent pixels.
constexpr int kToolbarIconWidth = 16;
constexpr int kToolbarIconHeight = 15;

// The picture of a toolbar command, drawn at `scale` times the button size (1 or 2 for HiDPI);
// the pixmap carries `scale` as its device pixel ratio. Null for a command without a button.
QPixmap ToolbarPixmap(int commandId, int scale = 1);

// The button's icon with its 1x and 2x pictures; QIcon derives the greyed disabled look. Null for
// a command without a button.
QIcon ToolbarIcon(int commandId);

// The toolbar's buttons from left to right; ID_SEPARATOR (0) stands for a separator.
QList<int> ToolbarLayout();

// The program's icon at `size` x `size` pixels, laid out on the pixel grid of each size (small
// sizes pixel by pixel, larger ones from vectors), so any size is sharp; a build step may render
// it to PNG files for the icon theme.
QPixmap ApplicationPixmap(int size);

// The program's icon with pictures at 16, 22, 24, 32, 48, 64, 128 and 256 pixels.
QIcon ApplicationIcon();
QList<int> ApplicationIconSizes();

// The netlist document's icon at `size` x `size` pixels, and with its 16 and 32 pixel pictures,
// for tabs and child windows.
QPixmap DocumentPixmap(int size);
QIcon DocumentIcon();
