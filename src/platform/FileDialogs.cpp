#include "FileDialogs.h"

#include <QApplication>
#include <QFileDialog>

#include "ModalHost.h"
#include "NetlistExtensions.h"

namespace {

QStringList Filters(const QString& filter) {
    // The first document type's filter leads; netlists by their other usual names follow, which
    // it leaves out, then the other document types.
    QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    filters.insert(filters.isEmpty() ? 0 : 1, NetlistFileFilter());
    filters << QStringLiteral("All Files (*)");
    return filters;
}

std::optional<QString> Chosen(QFileDialog& dialog) {
    if (ModalHost().RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString file = dialog.selectedFiles().first();
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

}  // namespace

std::optional<QString> AskOpenFileName(const QString& filter) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(Filters(filter));
    return Chosen(dialog);
}

std::optional<QString> AskSaveFileName(const QString& suggested, const QString& filter,
                                       const QString& defaultExtension) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(Filters(filter));
    QString suffix = defaultExtension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    return Chosen(dialog);
}
