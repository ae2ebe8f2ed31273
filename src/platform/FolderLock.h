#pragma once

#include <QString>

// Takes the lock file at the path for the rest of this process's life: true when this process
// has it (now or before), false while another process holds it. The system lets go of the lock
// when the process ends, however it ends, so that no stale lock is ever left; programs this one
// starts do not inherit it.
bool HoldLockFile(const QString& path);
