#pragma once

#include <QString>
#include <QStringList>

// The names SPICE netlists go by: ".cir", and the other extensions ngspice's users give them.

// Whether the file's extension, in any case of letters, is one of a netlist's. The extension is
// what follows the last dot of the file's name; a path without a name has none.
bool HasNetlistExtension(const QString& path);

// The file-dialog filter that shows every netlist, in both cases of letters.
QString NetlistFileFilter();
