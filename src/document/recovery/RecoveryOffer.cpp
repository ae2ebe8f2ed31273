#include "RecoveryOffer.h"

#include <QDir>
#include <QFileInfo>

#include "DocTemplate.h"
#include "ModalHost.h"
#include "RecoveryFolder.h"
#include "SampleDoc.h"
#include "WinApp.h"

namespace {

QString NameOf(const SRecoveryCopy& copy) {
    if (!copy.originalPath.isEmpty())
        return QDir::toNativeSeparators(copy.originalPath);
    return copy.title.isEmpty() ? QStringLiteral("Без имени") : copy.title;
}

// The document the copy goes into: its file's, when the file is there, else a new one.
CSampleDoc* DocumentFor(CWinApp& application, const SRecoveryCopy& copy) {
    CDocument* document = nullptr;
    if (!copy.originalPath.isEmpty() && QFileInfo(copy.originalPath).isFile())
        document = application.OpenDocumentFile(copy.originalPath);
    if (document == nullptr && !application.Templates().empty())
        document = application.Templates().front()->OpenDocumentFile(QString());
    return dynamic_cast<CSampleDoc*>(document);
}

}  // namespace

void OfferRecoveryCopies(CWinApp& application, CRecoveryFolder& folder) {
    for (const SRecoveryCopy& copy : folder.Orphans()) {
        QString question =
            QStringLiteral("Kivra была закрыта, не сохранив изменения в %1.\n"
                           "Несохранённый текст от %2 сохранился. Восстановить его?\n\n"
                           "«Нет» удаляет этот текст, «Отмена» оставляет его до следующего "
                           "запуска.")
                .arg(NameOf(copy), copy.written.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
        switch (AfxMessageBox(question, MB_YESNOCANCEL)) {
            case IDYES: {
                CSampleDoc* document = DocumentFor(application, copy);
                if (document == nullptr || !document->RestoreRecoveryCopy(copy)) {
                    AfxMessageBox(QStringLiteral("Не удается восстановить текст %1. Копия "
                                                 "оставлена в %2.")
                                      .arg(NameOf(copy), QDir::toNativeSeparators(copy.textPath)));
                    continue;
                }
                folder.RemoveOrphan(copy.key);
                break;
            }
            case IDNO:
                folder.RemoveOrphan(copy.key);
                break;
            default:
                break;
        }
    }
}
