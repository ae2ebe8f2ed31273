#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "TextEncoding.h"

// Find and Replace take their texts from the desktop as Unicode but search and insert bytes of
// the view's encoding. In a Windows-1251 view a character the code page lacks would become '?'
// and so find, or write, question marks the user never typed: such a text is refused before
// anything is searched or changed. UTF-8 has a form for every character.
enum class SearchTextKind {
    Pattern,      // what is searched for
    Replacement,  // what replaces a match
};

// Says which characters of a search or replacement text have no byte.
void ReportUnencodable(const QStringList& missing, SearchTextKind kind);
// True when every character of text has a form in the encoding; otherwise says which have none
// and is false.
bool SearchTextEncodes(TextEncoding encoding, const QString& text, SearchTextKind kind);
// The characters of text without a form in the encoding, each once; empty in UTF-8.
QStringList SearchTextUnencodable(TextEncoding encoding, const QString& text);
// The bytes searched for or inserted: in Windows-1251 with '?' for a character the code page
// lacks, which the checks above keep from being used.
std::string SearchTextBytes(TextEncoding encoding, const QString& text);
