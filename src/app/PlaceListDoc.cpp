#include "PlaceListDoc.h"

#include <QDir>
#include <string>

CPlaceListDoc::CPlaceListDoc() {
    encoding = TextEncoding::Utf8;
    // Chosen, so that no detection takes it back to Windows-1251 for a list of ASCII lines.
    encodingChosen = true;
}

QString CPlaceListDoc::LineOf(const PlaceListEntry& entry) {
    return QStringLiteral("%1:%2:%3: %4")
        .arg(QDir::toNativeSeparators(entry.file))
        .arg(entry.line + 1)
        .arg(entry.column + 1)
        .arg(entry.text);
}

void CPlaceListDoc::TakeEntries(const std::vector<PlaceListEntry>& newEntries) {
    entries = newEntries;
    std::string text;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (index > 0)
            text += "\r\n";
        // One entry, one line: a break in an entry's text would shift the lines after it.
        QString line = LineOf(entries[index]);
        line.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += TextCodec::Encode(TextEncoding::Utf8, line);
    }
    // The list is written past the undo history: there is nothing to undo in it.
    buffer.Clear();
    buffer.CreateEmpty(LineEndingStyle::Win);
    int endLine = 0, endCharacter = 0;
    buffer.RawInsert(nullptr, 0, 0, text.c_str(), endLine, endCharacter);
    buffer.MakeReadOnly(true);
    buffer.MarkModified(false);
    // The views start again at the top, the reached entry unmarked.
    SendInitialUpdate();
}
