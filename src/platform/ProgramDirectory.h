#pragma once

#include <QString>

// The folder of the running program, with symbolic links resolved, so that a program started
// through a link in a bin folder still finds the files installed beside it. Empty when it cannot
// be found; callers then look in the current folder.
QString ProgramDirectory();

// A file in the program's folder: "<folder>/<name>", or just the name when the folder is unknown.
QString ProgramFile(const QString& name);
