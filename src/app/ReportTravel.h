#pragma once

class CSampleDoc;

// F4 and Shift+F4 go through the reports of the run's log or through the entries of a list of
// places, whichever was shown or used last. Without any list they are the log's alone.

// Goes to the next report or entry (or the previous one); false when there is none to go to.
bool StepToNextReport(bool forward);
// Whether F4 has somewhere to go.
bool HasReportToStepTo();

// A list was shown, or an entry of it reached: F4 goes on in that list.
void NotePlaceListUsed(CSampleDoc& list);
// A report of the log was reached: F4 goes on in the log.
void NoteRunLogUsed();
// The list shown or used last, unless the log was since (a new run's log counts as shown), or
// the list closed; else null.
CSampleDoc* PlaceListInUse();
