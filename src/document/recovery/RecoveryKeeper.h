#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "TextBufferObserver.h"

class CRecoveryFolder;
class CSampleDoc;
class CTextSnapshot;

// Keeps a recovery copy of one document while it is modified, and removes it once the document
// is saved, undone back to its saved text, or closed. The copy is written a few seconds after the
// last change, so that typing is not slowed, and also while the user keeps typing: at the latest
// some seconds after the first change it does not hold, or after so many changes. The text is
// copied in slices between the window's other work and written on a thread of its own, so that
// no copy of however large a text holds up the window. One copy per document, under one key.
class CRecoveryKeeper : public QObject, public CTextBufferObserver {
public:
    // How long after the last change the copy is written.
    static int delayMilliseconds;
    // How long a change may wait for its copy while the user keeps typing.
    static int longestWaitMilliseconds;
    // How many changes make a copy at once.
    static int changesPerCopy;

    CRecoveryKeeper(CSampleDoc& document, CRecoveryFolder& folder);
    ~CRecoveryKeeper() override;

    // The document's modified state may have changed.
    void DocumentChanged();
    // Starts a copy at once when the document is modified.
    void WriteNow();
    const QString& Key() const { return key; }

    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override;
    void AfterEditAction(EditAction, const char*) override {}

private:
    void CopyOn();
    void Forget();

    CSampleDoc& document;
    CRecoveryFolder& folder;
    QString key;
    QTimer afterLastChange;
    QTimer afterFirstChange;
    QTimer nextSlice;
    std::unique_ptr<CTextSnapshot> snapshot;
    int changesSinceCopy = 0;
    bool copyHandedOver = false;
};
