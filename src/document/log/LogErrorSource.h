#pragma once

#include <QString>

#include "LogErrors.h"

// The file that holds the line a report of the log names: the netlist, unless the line the report
// repeats is not at its number there but is in one of the files the netlist includes.
QString FileHoldingLine(const QString& netlist, const LogError& error);
