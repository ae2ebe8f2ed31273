#pragma once

class CDocument;
class CSampleDoc;

// From the reports of the last run's log to the netlist lines they name: a double click on a
// report, and the next and previous error commands, which go round from the last report to the
// first and back. The report reached is marked in the log, the file that holds the line comes
// to the front with the line selected, and the report's message shows in the status bar.

// The last run's log: the window the run opened, else a read-only window of the same file. Null
// when neither is open.
CSampleDoc* RunLogDocument();
// Whether the document shows the last run's log.
bool IsRunLog(const CDocument* document);
// Goes to the report the log line is part of; false, changing nothing, when it is part of none.
bool GoToLogErrorAt(CSampleDoc& log, int logLine);
// Goes to the next report (or the previous one) after the one reached last; false when the log
// has none or is not open.
bool StepToLogError(bool forward);
// Whether the last run's log is open and has a report to go to.
bool RunLogHasErrors();
