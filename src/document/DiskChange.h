#pragma once

#include <QString>

#include "FileIdentity.h"

class CSampleDoc;

// Reads the document's file again into its buffer, unmodified, keeping each view's caret line
// and the bookmarks of the lines that still exist. 0, or the errno value of a failure, when the
// text stays as it was.
int ReloadFromDisk(CSampleDoc& document);
