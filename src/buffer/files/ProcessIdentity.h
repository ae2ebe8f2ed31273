#pragma once

#include <string>

// A process named for good: its id and the time it started. An id alone is reused once its
// process ends, so files a process leaves behind are named with both, and a later process can
// tell whether their writer still runs.

// The start time of the process in clock ticks since boot; empty when no such process runs
// (also when it has ended but was not yet reaped by its parent).
std::string ProcessStartTime(long pid);

// "<pid>-<start time>" of this process, looked up again in a forked child.
std::string OwnProcessTag();

// Whether the process a tag of OwnProcessTag's form names still runs. False for anything that
// is not such a tag.
bool ProcessOfTagRuns(const std::string& tag);
