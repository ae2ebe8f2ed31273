#include "SearchTextCheck.h"

#include <QString>
#include <QStringList>

#include "ModalHost.h"
#include "Windows1251.h"

void ReportUnencodable(const QStringList& missing, SearchTextKind kind) {
    QString subject = kind == SearchTextKind::Pattern ? QStringLiteral("Искомый текст")
                                                      : QStringLiteral("Текст замены");
    AfxMessageBox(subject +
                      QStringLiteral(" содержит символы, которых нет в кодировке Windows-1251: ") +
                      missing.join(QStringLiteral(", ")),
                  MB_OK);
}

QStringList SearchTextUnencodable(TextEncoding encoding, const QString& text) {
    return encoding == TextEncoding::Utf8 ? QStringList() : Windows1251::Unencodable(text);
}

bool SearchTextEncodes(TextEncoding encoding, const QString& text, SearchTextKind kind) {
    QStringList missing = SearchTextUnencodable(encoding, text);
    if (missing.isEmpty())
        return true;
    ReportUnencodable(missing, kind);
    return false;
}

std::string SearchTextBytes(TextEncoding encoding, const QString& text) {
    return encoding == TextEncoding::Utf8 ? TextCodec::Encode(encoding, text)
                                          : Windows1251::Encode(text);
}
