// The undo and redo history of CCorvelTextBuffer.

#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "BufferStrings.h"
#include "CorvelTextBuffer.h"
#include "InvalidArgException.h"

// --- SUndoRecord

CCorvelTextBuffer::SUndoRecord::SUndoRecord(SUndoRecord&& other) noexcept {
    *this = std::move(other);
}

CCorvelTextBuffer::SUndoRecord& CCorvelTextBuffer::SUndoRecord::operator=(
    SUndoRecord&& other) noexcept {
    if (this == &other)
        return *this;
    ReleaseText();
    kind = other.kind;
    start = other.start;
    end = other.end;
    action = other.action;
    std::memcpy(inlineText, other.inlineText, sizeof inlineText);
    other.kind &= ~(TextOnHeap | ExplicitBreaks);
    other.inlineText[0] = '\0';
    return *this;
}

CCorvelTextBuffer::SUndoRecord::~SUndoRecord() {
    ReleaseText();
}

void CCorvelTextBuffer::SUndoRecord::ReleaseText() {
    if (kind & TextOnHeap)
        delete[] heapText;
    kind &= ~(TextOnHeap | ExplicitBreaks);
    std::memset(inlineText, 0, sizeof inlineText);
}

void CCorvelTextBuffer::SUndoRecord::SetText(const char* text, std::size_t length,
                                             const std::vector<int>* breakOffsets) {
    ReleaseText();
    if (length <= kInlineLimit && breakOffsets == nullptr) {
        std::memcpy(inlineText, text, length);
        inlineText[length] = '\0';
        return;
    }
    std::size_t extra = breakOffsets ? breakOffsets->size() * sizeof(int) : 0;
    char* copy = new char[length + 1 + extra];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    if (breakOffsets) {
        std::memcpy(copy + length + 1, breakOffsets->data(), extra);
        kind |= ExplicitBreaks;
    }
    heapText = copy;
    kind |= TextOnHeap;
}

int CCorvelTextBuffer::SUndoRecord::BreakOffset(int index) const {
    int offset;
    std::memcpy(&offset, heapText + std::strlen(heapText) + 1 + index * sizeof(int), sizeof offset);
    return offset;
}

// --- Grouping and recording

void CCorvelTextBuffer::OpenUndoGroup(bool merge, bool keepWhole) {
    groupOpen = true;
    startGroupNext = historyPosition == 0 || !merge;
    keepNextGroupWhole = keepWhole && startGroupNext;
}

void CCorvelTextBuffer::CloseUndoGroup(CTextBufferObserver* view) {
    // The group ends even when the hook fails.
    struct GroupCloser {
        bool& groupOpen;
        ~GroupCloser() { groupOpen = false; }
    } closer{groupOpen};
    // A group that recorded nothing leaves no wish behind for the next one.
    keepNextGroupWhole = false;
    if (view != nullptr && historyPosition > 0) {
        startGroupNext = true;
        // Copied, because the hook may edit and so change the history under the record.
        const SUndoRecord& last = history[historyPosition - 1];
        EditAction action = last.action;
        std::string text = last.Text();
        view->AfterEditAction(action, text.c_str());
    }
}

void CCorvelTextBuffer::RecordEdit(bool isInsertion, TextPosition start, TextPosition end,
                                   const char* text, EditAction action) {
    if (text == nullptr)
        text = "";
    AppendRecord(isInsertion, start, end, text, std::strlen(text), nullptr, action);
}

void CCorvelTextBuffer::AppendRecord(bool isInsertion, TextPosition start, TextPosition end,
                                     const char* text, std::size_t length,
                                     const std::vector<int>* breakOffsets, EditAction action) {
    DiscardRedoPart();
    if (HistorySize() >= historyLimit)
        DiscardOldestRecords();

    SUndoRecord record;
    record.kind = isInsertion ? std::uint32_t{SUndoRecord::InsertedText} : 0u;
    // The history always begins with a group start, so that undo always stops.
    if (startGroupNext || history.empty()) {
        record.kind |= SUndoRecord::GroupStart;
        if (keepNextGroupWhole)
            record.kind |= SUndoRecord::KeptWhole;
        startGroupNext = false;
        keepNextGroupWhole = false;
    }
    record.start = start;
    record.end = end;
    record.action = action;
    record.SetText(text, length, breakOffsets);
    if (record.StartsGroup())
        ++groupStartCount_;
    history.push_back(std::move(record));
    historyPosition = HistorySize();
}

void CCorvelTextBuffer::DiscardRedoPart() {
    if (historyPosition >= HistorySize())
        return;
    // The saved text lay in the part being discarded: no undo or redo can bring it back.
    if (savedPosition > historyPosition)
        savedPosition = -1;
    EraseRecords(historyPosition, HistorySize());
}

void CCorvelTextBuffer::EraseRecords(int first, int last) {
    for (int index = first; index < last; ++index) {
        if (history[index].StartsGroup())
            --groupStartCount_;
    }
    history.erase(history.begin() + first, history.begin() + last);
}

void CCorvelTextBuffer::ClearHistory() {
    history.clear();
    groupStartCount_ = 0;
}

void CCorvelTextBuffer::DiscardOldestRecords() {
    // With one group in the history there is no later group start to look for; this keeps typing
    // into one long group at a full history free of a scan per keystroke.
    int nextGroup = HistorySize();
    if (groupStartCount_ > 1) {
        nextGroup = 1;
        while (nextGroup < HistorySize() && !history[nextGroup].StartsGroup())
            ++nextGroup;
    }

    int count = nextGroup;
    bool newRecordJoinsOldestGroup = nextGroup == HistorySize() && !startGroupNext;
    if (newRecordJoinsOldestGroup) {
        // Cutting a group kept whole would leave an undo that stops at a text the user never had.
        if (history.front().kind & SUndoRecord::KeptWhole)
            return;
        // One open group has filled the whole history: it loses only its oldest record, and the
        // next one becomes the group's start.
        count = 1;
    }
    EraseRecords(0, count);
    if (!history.empty() && !history.front().StartsGroup()) {
        history.front().kind |= SUndoRecord::GroupStart;
        ++groupStartCount_;
    }

    historyPosition -= count;
    if (savedPosition != -1) {
        savedPosition -= count;
        if (savedPosition < 0)
            savedPosition = -1;
    }
}

// --- Undo and redo

void CCorvelTextBuffer::SettleModifiedState() {
    if (modified && savedPosition == historyPosition)
        MarkModified(false);
    if (!modified && savedPosition != historyPosition)
        MarkModified(true);
}

bool CCorvelTextBuffer::RestoreDeletedText(const SUndoRecord& record) {
    const char* text = record.Text();
    std::size_t length = std::strlen(text);
    int breaks = record.end.y - record.start.y;
    std::vector<Piece> pieces;
    pieces.reserve(breaks + 1);
    std::size_t start = 0;
    for (int index = 0; index < breaks; ++index) {
        std::size_t breakAt = (record.kind & SUndoRecord::ExplicitBreaks)
                                  ? static_cast<std::size_t>(record.BreakOffset(index))
                                  : std::string_view(text, length).find("\r\n", start);
        pieces.push_back({text + start, static_cast<int>(breakAt - start)});
        start = breakAt + 2;
    }
    pieces.push_back({text + start, static_cast<int>(length - start)});
    int endLine, endCharacter;
    return InsertPieces(nullptr, record.start.y, record.start.x, pieces.data(),
                        static_cast<int>(pieces.size()), endLine, endCharacter);
}

void CCorvelTextBuffer::AbandonHistory() {
    ClearHistory();
    historyPosition = 0;
    savedPosition = -1;
    groupOpen = false;
    startGroupNext = false;
    keepNextGroupWhole = false;
    if (!modified)
        MarkModified(true);
}

bool CCorvelTextBuffer::StepBack(TextPosition& position) {
    // A read-only text cannot be changed back; the history stays where the text is.
    if (readOnly)
        return false;
    if (historyPosition <= 0)
        throw CInvalidArgException("nothing to undo");
    try {
        for (;;) {
            --historyPosition;
            const SUndoRecord& record = history[historyPosition];
            if (record.IsInsertion()) {
                RawDelete(nullptr, record.start.y, record.start.x, record.end.y, record.end.x);
                position = record.start;
            } else {
                RestoreDeletedText(record);
                position = record.end;
            }
            if (record.StartsGroup())
                break;
            if (historyPosition == 0)
                throw CInvalidArgException("undo ran past the history");
        }
    } catch (...) {
        AbandonHistory();
        throw;
    }
    SettleModifiedState();
    return true;
}

bool CCorvelTextBuffer::StepForward(TextPosition& position) {
    if (readOnly)
        return false;
    if (historyPosition >= HistorySize())
        throw CInvalidArgException("nothing to redo");
    try {
        do {
            const SUndoRecord& record = history[historyPosition];
            if (record.IsInsertion()) {
                int endLine, endCharacter;
                RawInsert(nullptr, record.start.y, record.start.x, record.Text(), endLine,
                          endCharacter);
                position = record.end;
            } else {
                RawDelete(nullptr, record.start.y, record.start.x, record.end.y, record.end.x);
                position = record.start;
            }
            ++historyPosition;
        } while (historyPosition < HistorySize() && !history[historyPosition].StartsGroup());
    } catch (...) {
        AbandonHistory();
        throw;
    }
    SettleModifiedState();
    return true;
}

const CCorvelTextBuffer::SUndoRecord& CCorvelTextBuffer::HistoryRecord(int index) const {
    if (index < 0 || index >= HistorySize())
        throw CInvalidArgException("history record " + std::to_string(index) + " does not exist");
    return history[index];
}

// --- Captions

bool CCorvelTextBuffer::ActionName(EditAction action, std::string& text) const {
    int code = static_cast<int>(action);
    if (code < 0 || code >= static_cast<int>(std::size(kActionNameIds)))
        return false;
    text = BufferString(kActionNameIds[code]);
    return true;
}

void CCorvelTextBuffer::UndoCaption(std::string& text) const {
    text.clear();
    for (int index = historyPosition - 1; index >= 0; --index) {
        if (history[index].StartsGroup()) {
            if (!ActionName(history[index].action, text))
                text.clear();
            return;
        }
    }
}

void CCorvelTextBuffer::RedoCaption(std::string& text) const {
    text.clear();
    if (historyPosition >= HistorySize())
        return;
    if (!ActionName(history[historyPosition].action, text))
        text.clear();
}
