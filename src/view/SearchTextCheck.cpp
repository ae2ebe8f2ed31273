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

bool SearchTextEncodes(const QString& text, SearchTextKind kind) {
    QStringList missing = Windows1251::Unencodable(text);
    if (missing.isEmpty())
        return true;
    ReportUnencodable(missing, kind);
    return false;
}
