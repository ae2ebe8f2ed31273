#pragma once

class QMimeData;

// The data of a drag holds files of this machine (a file manager's drag), which open as
// documents rather than go into a text as their names.
bool HoldsLocalFiles(const QMimeData* data);
