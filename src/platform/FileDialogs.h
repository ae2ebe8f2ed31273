#pragma once

#include <QString>
#include <optional>

// The open and save dialogs, run through the modal host so that tests can answer them.

// The file the user chose to open; nothing when the dialog was cancelled. The filter may name
// several types, separated by ";;".
std::optional<QString> AskOpenFileName(const QString& filter);
// The file to save to, starting from the suggested name; a name typed without an extension gets
// defaultExtension (".cir"). Nothing when the dialog was cancelled.
std::optional<QString> AskSaveFileName(const QString& suggested, const QString& filter,
                                       const QString& defaultExtension);
