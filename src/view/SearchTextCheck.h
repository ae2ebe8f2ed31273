#pragma once

#include <QString>
#include <QStringList>

// Find and Replace take their texts from the desktop as Unicode but search and insert bytes of
// the code page. A character the code page lacks would become '?' and so find, or write, question
// marks the user never typed: such a text is refused before anything is searched or changed.
enum class SearchTextKind {
    Pattern,      // what is searched for
    Replacement,  // what replaces a match
};

// Says which characters of a search or replacement text have no byte.
void ReportUnencodable(const QStringList& missing, SearchTextKind kind);
// True when every character of text has a byte; otherwise says which have none and is false.
bool SearchTextEncodes(const QString& text, SearchTextKind kind);
