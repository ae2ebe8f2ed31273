#pragma once

#include <QString>
#include <string>

class CCorvelTextView;
class CSampleDoc;
class CSampleView;

// Going to a place in a netlist's text window, for the lists of places and the definitions.

// Opens the file in a text window, or brings the window that shows it to the front. The view is
// the one the user worked in last when the document has several. Null when the file could not
// be opened; the reason has been shown.
CSampleView* ShowTextWindow(const QString& path);
// Brings a window of the open document to the front, as above.
CSampleView* ShowTextWindow(CSampleDoc& document);
// The line selected from its start to its end, in view, the caret on the column (in bytes).
void SelectLineAtColumn(CCorvelTextView& view, int line, int column);
// The length bytes from the column selected, in view, the caret at their start.
void SelectSpan(CCorvelTextView& view, int line, int column, int length);
// The path of a place's file as the reader names it, in the system's encoding of names.
QString FilePathOf(const std::string& file);
// Shows the text in the status bar's prompt area.
void ShowStatusText(const QString& text);
