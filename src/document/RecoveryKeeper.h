#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "TextBufferObserver.h"

class CRecoveryFolder;
class CSampleDoc;

// Keeps a recovery copy of one document while it is modified: written a few seconds after the
// last change, so that typing is not slowed, and removed once the document is saved, undone back
// to its saved text, or closed. One copy per document, always under the same key.
class CRecoveryKeeper : public QObject, public CTextBufferObserver {
public:
    // How long after the last change the copy is written.
    static int delayMilliseconds;

    CRecoveryKeeper(CSampleDoc& document, CRecoveryFolder& folder);
    ~CRecoveryKeeper() override;

    // The document's modified state or text changed.
    void DocumentChanged();
    // Writes the copy at once when the document is modified.
    void WriteNow();
    const QString& Key() const { return key; }

    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override;
    void AfterEditAction(EditAction, const char*) override {}

private:
    CSampleDoc& document;
    CRecoveryFolder& folder;
    QString key;
    QTimer timer;
    bool copyWritten = false;
};
