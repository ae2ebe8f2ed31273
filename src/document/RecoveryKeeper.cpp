#include "RecoveryKeeper.h"

#include "RecoveryFolder.h"
#include "SampleDoc.h"
#include "UpdateHint.h"

int CRecoveryKeeper::delayMilliseconds = 3000;

CRecoveryKeeper::CRecoveryKeeper(CSampleDoc& owner, CRecoveryFolder& recoveryFolder)
    : document(owner), folder(recoveryFolder), key(CRecoveryFolder::NewKey()) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] { WriteNow(); });
    document.buffer.AttachView(this);
}

CRecoveryKeeper::~CRecoveryKeeper() {
    document.buffer.DetachView(this);
    // Closed, saved or not: nothing is left to recover.
    if (copyWritten)
        folder.Remove(key);
}

void CRecoveryKeeper::RefreshAfterChange(CTextBufferObserver*, const CUpdateContext*,
                                         unsigned hint, int) {
    // Bookmarks are not part of the file.
    if (hint == (MarksOnly | OneLineOnly))
        return;
    DocumentChanged();
}

void CRecoveryKeeper::DocumentChanged() {
    if (document.IsModified()) {
        timer.start(delayMilliseconds);
        return;
    }
    timer.stop();
    if (copyWritten) {
        folder.Remove(key);
        copyWritten = false;
    }
}

void CRecoveryKeeper::WriteNow() {
    timer.stop();
    if (!document.IsModified())
        return;
    // A copy that cannot be written leaves the one before it; the next change tries again.
    if (folder.Write(key, document.buffer, document.GetPathName(), document.GetTitle()))
        copyWritten = true;
}
