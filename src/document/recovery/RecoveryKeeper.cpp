#include "RecoveryKeeper.h"

#include <chrono>

#include "RecoveryFolder.h"
#include "SampleDoc.h"
#include "TextSnapshot.h"
#include "UpdateHint.h"

int CRecoveryKeeper::delayMilliseconds = 3000;
int CRecoveryKeeper::longestWaitMilliseconds = 5000;
int CRecoveryKeeper::changesPerCopy = 200;

namespace {

// One slice of copying: well under what a user notices, and leaves room for the repaint.
constexpr std::chrono::microseconds kSliceTime{8000};

}  // namespace

CRecoveryKeeper::CRecoveryKeeper(CSampleDoc& owner, CRecoveryFolder& recoveryFolder)
    : document(owner), folder(recoveryFolder), key(CRecoveryFolder::NewKey()) {
    for (QTimer* timer : {&afterLastChange, &afterFirstChange, &nextSlice})
        timer->setSingleShot(true);
    connect(&afterLastChange, &QTimer::timeout, this, [this] { WriteNow(); });
    connect(&afterFirstChange, &QTimer::timeout, this, [this] { WriteNow(); });
    connect(&nextSlice, &QTimer::timeout, this, [this] { CopyOn(); });
    document.buffer.AttachView(this);
}

CRecoveryKeeper::~CRecoveryKeeper() {
    document.buffer.DetachView(this);
    // Closed, saved or not: nothing is left to recover.
    Forget();
}

void CRecoveryKeeper::RefreshAfterChange(CTextBufferObserver*, const CUpdateContext*,
                                         unsigned hint, int line) {
    // Bookmarks are not part of the file.
    if (hint == (MarksOnly | OneLineOnly))
        return;
    if (snapshot)
        snapshot->TextChangedFrom((hint & WholeText) ? -1 : line, (hint & OneLineOnly) != 0);
    // A text read from a file is no change of the user's; one that is unsaved (a copy restored)
    // is copied by whoever read it.
    if (hint & WholeText)
        return;
    // The modified state follows the news of the change, so it is looked at when the copy is
    // due, and DocumentChanged hears of it.
    afterLastChange.start(delayMilliseconds);
    if (!afterFirstChange.isActive())
        afterFirstChange.start(longestWaitMilliseconds);
    if (++changesSinceCopy >= changesPerCopy)
        WriteNow();
}

void CRecoveryKeeper::DocumentChanged() {
    if (document.IsModified()) {
        if (!afterLastChange.isActive() && !snapshot && !copyHandedOver)
            afterLastChange.start(delayMilliseconds);
        return;
    }
    Forget();
}

void CRecoveryKeeper::Forget() {
    afterLastChange.stop();
    afterFirstChange.stop();
    nextSlice.stop();
    snapshot.reset();
    changesSinceCopy = 0;
    if (copyHandedOver) {
        folder.Remove(key);
        copyHandedOver = false;
    }
}

void CRecoveryKeeper::WriteNow() {
    afterLastChange.stop();
    afterFirstChange.stop();
    changesSinceCopy = 0;
    if (!document.IsModified())
        return;
    // A copy under way takes in every change made while it runs.
    if (!snapshot)
        snapshot = std::make_unique<CTextSnapshot>(document.buffer);
    CopyOn();
}

void CRecoveryKeeper::CopyOn() {
    if (!snapshot)
        return;
    if (!document.IsModified()) {
        Forget();
        return;
    }
    if (!snapshot->CopySlice(kSliceTime)) {
        nextSlice.start(0);
        return;
    }
    // The copy holds the text as it is now, with every change made while it was taken.
    afterLastChange.stop();
    afterFirstChange.stop();
    changesSinceCopy = 0;
    SRecoveryText text;
    text.key = key;
    text.lineEnding = snapshot->LineEnding();
    text.bytes = snapshot->TakeBytes();
    text.originalPath = document.GetPathName();
    text.title = document.GetTitle();
    snapshot.reset();
    folder.Write(std::move(text));
    copyHandedOver = true;
}
