#pragma once

#include <QString>
#include <vector>

class CDocument;
class CSampleDoc;

// Read-only windows that list places in netlists (the findings of a check, the usages of a
// name), one entry a line. A double click on an entry, or F4 and Shift+F4 while the list is the
// one shown or used last, goes to its place as the run's log goes to its reports: the reached
// entry is marked, the file comes to the front with the line selected and the caret on the
// place's column, and the entry's text shows in the status bar.

struct PlaceListEntry {
    QString file;
    int line = 0;    // from 0
    int column = 0;  // in bytes of the line, from 0
    QString text;
};

// Opens the window titled title, or refreshes the one that is open, listing one entry per line
// as "FILE:LINE:COLUMN: TEXT" (line and column counted from 1 there), and brings it to the front.
void ShowPlaceList(const QString& title, const std::vector<PlaceListEntry>& entries);
// Refreshes the window titled title when it is open, leaving the windows' order and the list F4
// steps through alone: for lists that follow a changing text. False when no such window is open.
bool RefreshPlaceList(const QString& title, const std::vector<PlaceListEntry>& entries);

// Whether the document is a list window of places.
bool IsPlaceList(const CDocument* document);
// Goes to the entry on the list's line; false, changing nothing, when the line holds none.
bool GoToPlaceListEntryAt(CSampleDoc& list, int line);
// Goes to the entry after the one reached last (or before it) in the list shown or used last,
// going round; false when that list is closed or empty.
bool StepThroughPlaceList(bool forward);
// The list shown or used last while it is open and has entries; else null.
CSampleDoc* CurrentPlaceList();
