#include "CorvelTextBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "InvalidArgException.h"

namespace {

bool HasExactlyOneBit(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

CCorvelTextBuffer::CCorvelTextBuffer(CFileSystem& fileSystem) : fileSystem_(fileSystem) {}

CCorvelTextBuffer::~CCorvelTextBuffer() {
    Clear();
}

CCorvelTextBuffer::SLineInfo CCorvelTextBuffer::Decode(std::uint32_t entry) const {
    if (entry & kOwnedEntry)
        return records_[entry & ~kOwnedEntry];
    int length;
    SLineInfo info;
    info.text = const_cast<char*>(loaded_.Text(entry, length));
    info.length = length;
    info.capacity = length;
    info.flags = 0;
    return info;
}

void CCorvelTextBuffer::ThrowOutsideText(int line) {
    throw CInvalidArgException("line " + std::to_string(line) + " is outside the text");
}

CCorvelTextBuffer::SLineInfo CCorvelTextBuffer::LineAt(int line) const {
    return Decode(EntryOf(line));
}

CCorvelTextBuffer::SLineInfo& CCorvelTextBuffer::OwnedLine(int line) {
    EntryOf(line);
    std::uint32_t& entry = lines[line];
    if (!(entry & kOwnedEntry)) {
        if (spareRecords_.empty())
            ReserveRecords(1);
        entry = TakeRecord(Decode(entry));
    }
    return records_[entry & ~kOwnedEntry];
}

void CCorvelTextBuffer::ReserveRecords(int count) {
    if (static_cast<int>(spareRecords_.size()) >= count)
        return;
    std::size_t added = static_cast<std::size_t>(count) - spareRecords_.size();
    if (records_.Size() + added >= kOwnedEntry)
        throw std::length_error("too many lines");
    // Geometric growth: an edit of every line in turn (Replace all) takes one record each time.
    const std::size_t room = records_.Size() + added;
    if (spareRecords_.capacity() < room)
        spareRecords_.reserve(std::max(room, 2 * spareRecords_.capacity()));
    for (std::size_t made = 0; made < added; ++made) {
        records_.Add();
        spareRecords_.push_back(static_cast<std::uint32_t>(records_.Size() - 1));
    }
}

std::uint32_t CCorvelTextBuffer::TakeRecord(const SLineInfo& info) {
    std::uint32_t index = spareRecords_.back();
    spareRecords_.pop_back();
    records_[index] = info;
    return index | kOwnedEntry;
}

void CCorvelTextBuffer::ForgetLine(std::uint32_t entry) {
    if (!(entry & kOwnedEntry))
        return;
    std::uint32_t index = entry & ~kOwnedEntry;
    SLineInfo& info = records_[index];
    ReleaseReserve(info.text, info.capacity);
    info = SLineInfo{};
    spareRecords_.push_back(index);
}

void CCorvelTextBuffer::ReleaseReserve(char* text, int capacity) {
    if (!loaded_.Holds(text))
        reserves_.Release(text, capacity);
}

void CCorvelTextBuffer::CheckPosition(int line, int character) const {
    if (character < 0 || character > LineAt(line).length) {
        throw CInvalidArgException("character " + std::to_string(character) + " is outside line " +
                                   std::to_string(line));
    }
}

void CCorvelTextBuffer::CheckRange(int startLine, int startCharacter, int endLine,
                                   int endCharacter) const {
    CheckPosition(startLine, startCharacter);
    CheckPosition(endLine, endCharacter);
    if (endLine < startLine || (endLine == startLine && endCharacter < startCharacter)) {
        throw CInvalidArgException("a range ends before it starts");
    }
}

void CCorvelTextBuffer::MarkModified(bool value) {
    modified = value;
}

bool CCorvelTextBuffer::CreateEmpty(LineEndingStyle style) {
    AddLine(nullptr, 0);
    lineEnding = style;
    readOnly = false;
    loadCutAtNul = false;
    modified = false;
    historyPosition = 0;
    savedPosition = 0;
    groupOpen = false;
    startGroupNext = false;
    historyLimit = kDefaultHistoryLimit;
    NotifyViews(nullptr, nullptr, WholeText, -1);
    return true;
}

void CCorvelTextBuffer::ReleaseLineReserves() {
    for (std::uint32_t entry : lines) {
        if (!(entry & kOwnedEntry))
            continue;
        const SLineInfo& info = records_[entry & ~kOwnedEntry];
        if (info.capacity > CLineReserveAllocator::kPooledLimit)
            ReleaseReserve(info.text, info.capacity);
    }
    reserves_.ReleaseSlabs();
    loaded_.Release();
    records_.Clear();
    std::vector<std::uint32_t>().swap(spareRecords_);
    lines.MakeEmpty();
}

void CCorvelTextBuffer::SwapLines(CCorvelTextBuffer& other) {
    lines.Swap(other.lines);
    reserves_.Swap(other.reserves_);
    loaded_.Swap(other.loaded_);
    records_.Swap(other.records_);
    spareRecords_.swap(other.spareRecords_);
    std::swap(lineEnding, other.lineEnding);
    std::swap(loadCutAtNul, other.loadCutAtNul);
}

void CCorvelTextBuffer::Clear() {
    ReleaseLineReserves();
    ClearHistory();
    historyPosition = 0;
    savedPosition = 0;
    loadCutAtNul = false;
}

// --- Views

void CCorvelTextBuffer::AttachView(CTextBufferObserver* view) {
    views.push_back(view);
}

void CCorvelTextBuffer::DetachView(CTextBufferObserver* view) {
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end())
        return;
    // A notification in progress must not be left holding the entry that goes.
    for (auto* cursor : notificationCursors_) {
        if (*cursor == found)
            ++*cursor;
    }
    views.erase(found);
}

std::uint64_t CCorvelTextBuffer::NextGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void CCorvelTextBuffer::NotifyViews(CTextBufferObserver* source, const CUpdateContext* context,
                                    unsigned hint, int line) {
    generation_ = NextGeneration();
    // The next entry is taken before each call, so that a view may detach itself, or another
    // view, while it is told.
    auto next = views.begin();
    notificationCursors_.push_back(&next);
    try {
        while (next != views.end()) {
            CTextBufferObserver* view = *next++;
            view->RefreshAfterChange(source, context, hint, line);
        }
    } catch (...) {
        notificationCursors_.pop_back();
        throw;
    }
    notificationCursors_.pop_back();
}

// --- Flags

int CCorvelTextBuffer::FirstLineWithFlags(std::uint32_t mask) const {
    for (int line = 0; line < lines.Size(); ++line) {
        if ((FlagsOfEntry(lines[line]) & mask) != 0)
            return line;
    }
    return -1;
}

int CCorvelTextBuffer::LineOfSingleFlag(std::uint32_t flag) const {
    return HasExactlyOneBit(flag) ? FirstLineWithFlags(flag) : -1;
}

void CCorvelTextBuffer::ChangeLineFlag(int line, std::uint32_t flag, bool set, bool exclusive) {
    if (!HasExactlyOneBit(flag))
        return;
    if (line == -1) {
        line = FirstLineWithFlags(flag);
        if (line == -1)
            return;
        exclusive = false;
    }
    const std::uint32_t flags = LineAt(line).flags;
    std::uint32_t newFlags = set ? (flags | flag) : (flags & ~flag);
    if (newFlags == flags)
        return;

    ReserveRecords(2);
    if (exclusive && set) {
        int holder = FirstLineWithFlags(flag);
        if (holder != -1) {
            OwnedLine(holder).flags &= ~flag;
            NotifyViews(nullptr, nullptr, OneLineOnly | MarksOnly, holder);
        }
    }
    OwnedLine(line).flags = newFlags;
    NotifyViews(nullptr, nullptr, OneLineOnly | MarksOnly, line);
}

int CCorvelTextBuffer::NextBookmarkedLine(int line) const {
    int first = (LineAt(line).flags & Bookmark) ? line + 1 : line;
    for (int candidate = first; candidate < lines.Size(); ++candidate) {
        if (FlagsOfEntry(lines[candidate]) & Bookmark)
            return candidate;
    }
    for (int candidate = 0; candidate < lines.Size(); ++candidate) {
        if (FlagsOfEntry(lines[candidate]) & Bookmark)
            return candidate;
    }
    return -1;
}

int CCorvelTextBuffer::PreviousBookmarkedLine(int line) const {
    int first = (LineAt(line).flags & Bookmark) ? line - 1 : line;
    for (int candidate = first; candidate >= 0; --candidate) {
        if (FlagsOfEntry(lines[candidate]) & Bookmark)
            return candidate;
    }
    for (int candidate = lines.Size() - 1; candidate >= 0; --candidate) {
        if (FlagsOfEntry(lines[candidate]) & Bookmark)
            return candidate;
    }
    return -1;
}

// --- Lines

void CCorvelTextBuffer::AddLine(const char* characters, int count, int index) {
    if (count == -1) {
        std::size_t length = characters == nullptr ? 0 : std::strlen(characters);
        if (length > static_cast<std::size_t>(kLongestLine))
            throw std::length_error("a line cannot be longer than its longest length");
        count = static_cast<int>(length);
    }
    lines.Reserve(lines.Size() + 1);
    ReserveRecords(1);
    SLineInfo info;
    info.length = count;
    info.capacity = CLineReserveAllocator::CapacityFor(count);
    info.text = reserves_.Allocate(info.capacity);
    info.flags = 0;
    if (count > 0)
        std::memcpy(info.text, characters, count);
    std::uint32_t entry = TakeRecord(info);
    if (index == -1) {
        lines.Append(entry);
    } else {
        lines.InsertAt(index, entry);
    }
}

void CCorvelTextBuffer::AddLineOfItsOwn(const char* characters, int count) {
    lines.Reserve(lines.Size() + 1);
    ReserveRecords(1);
    SLineInfo info;
    info.length = count;
    info.capacity = count;
    info.text = reserves_.AllocateExact(count);
    info.flags = 0;
    if (count > 0)
        std::memcpy(info.text, characters, count);
    lines.Append(TakeRecord(info));
}

void CCorvelTextBuffer::ExtendLine(int line, const char* characters, int count) {
    if (count == -1) {
        if (characters == nullptr)
            return;
        count = static_cast<int>(std::strlen(characters));
    }
    if (count == 0)
        return;
    if (count > kLongestLine - LineAt(line).length)
        throw std::length_error("a line cannot grow beyond its longest length");
    SLineInfo& info = OwnedLine(line);
    int newLength = info.length + count;
    if (info.capacity < newLength) {
        int capacity = CLineReserveAllocator::CapacityFor(newLength);
        char* reserve = reserves_.Allocate(capacity);
        std::memcpy(reserve, info.text, info.length);
        ReleaseReserve(info.text, info.capacity);
        info.text = reserve;
        info.capacity = capacity;
    }
    std::memcpy(info.text + info.length, characters, count);
    info.length = newLength;
}

// --- Edit primitives

void CCorvelTextBuffer::NotifyAndMarkModified(CTextBufferObserver* view,
                                              const CUpdateContext& context, unsigned hint,
                                              int line) {
    // The text has changed whatever a view does with the news.
    try {
        NotifyViews(view, &context, hint, line);
    } catch (...) {
        if (!modified)
            MarkModified(true);
        throw;
    }
    if (!modified)
        MarkModified(true);
}

// Every reserve a change needs is allocated before the text is touched, so that running out of
// memory leaves the text as it was rather than losing the rest of a line.
bool CCorvelTextBuffer::InsertPieces(CTextBufferObserver* view, int line, int character,
                                     const Piece* pieces, int count, int& endLine,
                                     int& endCharacter) {
    CheckPosition(line, character);
    // Every record the insertion takes is there before the text changes: one for the line
    // itself if it is still in the loaded block, one for each new line.
    ReserveRecords(count);
    SLineInfo* target = &OwnedLine(line);
    const int tailLength = target->length - character;
    const Piece& first = pieces[0];
    const Piece& last = pieces[count - 1];
    const long long firstLength =
        static_cast<long long>(character) + first.length + (count == 1 ? tailLength : 0);
    const long long lastLength = static_cast<long long>(last.length) + tailLength;
    if (firstLength > kLongestLine || lastLength > kLongestLine)
        return false;

    CInsertContext context;
    context.start = {character, line};
    if (count == 1) {
        if (target->capacity < firstLength) {
            int capacity = CLineReserveAllocator::CapacityFor(static_cast<int>(firstLength));
            char* reserve = reserves_.Allocate(capacity);
            std::memcpy(reserve, target->text, character);
            std::memcpy(reserve + character + first.length, target->text + character, tailLength);
            ReleaseReserve(target->text, target->capacity);
            target->text = reserve;
            target->capacity = capacity;
        } else {
            std::memmove(target->text + character + first.length, target->text + character,
                         tailLength);
        }
        std::memcpy(target->text + character, first.data, first.length);
        target->length = static_cast<int>(firstLength);
        endLine = line;
        endCharacter = character + first.length;
    } else {
        // The new lines, the last one ending with the tail of the split line.
        std::vector<SLineInfo> added(count - 1);
        std::vector<std::uint32_t> addedEntries(count - 1);
        int made = 0;
        char* firstReserve = nullptr;
        int firstCapacity = 0;
        try {
            lines.Reserve(lines.Size() + count - 1);
            if (target->capacity < firstLength) {
                firstCapacity = CLineReserveAllocator::CapacityFor(static_cast<int>(firstLength));
                firstReserve = reserves_.Allocate(firstCapacity);
            }
            for (; made < count - 1; ++made) {
                const Piece& piece = pieces[made + 1];
                int length = piece.length + (made == count - 2 ? tailLength : 0);
                SLineInfo& info = added[made];
                info.capacity = CLineReserveAllocator::CapacityFor(length);
                info.text = reserves_.Allocate(info.capacity);
                info.length = length;
                info.flags = 0;
                std::memcpy(info.text, piece.data, piece.length);
            }
        } catch (...) {
            for (int index = 0; index < made; ++index)
                reserves_.Release(added[index].text, added[index].capacity);
            reserves_.Release(firstReserve, firstCapacity);
            throw;
        }
        std::memcpy(added.back().text + last.length, target->text + character, tailLength);
        if (firstReserve != nullptr) {
            std::memcpy(firstReserve, target->text, character);
            ReleaseReserve(target->text, target->capacity);
            target->text = firstReserve;
            target->capacity = firstCapacity;
        }
        std::memcpy(target->text + character, first.data, first.length);
        target->length = static_cast<int>(firstLength);
        for (int index = 0; index < count - 1; ++index)
            addedEntries[index] = TakeRecord(added[index]);
        lines.InsertRange(line + 1, addedEntries.data(), count - 1);
        endLine = line + count - 1;
        endCharacter = last.length;
    }
    context.end = {endCharacter, endLine};
    NotifyAndMarkModified(
        view, context,
        count > 1 ? (LengthsChanged | LineCountChanged) : (OneLineOnly | LengthsChanged), line);
    return true;
}

bool CCorvelTextBuffer::RawInsert(CTextBufferObserver* view, int line, int character,
                                  const char* text, int& endLine, int& endCharacter) {
    if (readOnly)
        return false;
    CheckPosition(line, character);
    if (text == nullptr)
        text = "";
    std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(kLongestLine))
        return false;

    // A CR is a line break and swallows one LF directly after it; a lone LF is a character.
    if (std::memchr(text, '\r', length) == nullptr) {
        Piece whole{text, static_cast<int>(length)};
        return InsertPieces(view, line, character, &whole, 1, endLine, endCharacter);
    }
    std::vector<Piece> pieces;
    std::size_t start = 0;
    for (std::size_t index = 0; index < length; ++index) {
        if (text[index] != '\r')
            continue;
        pieces.push_back({text + start, static_cast<int>(index - start)});
        if (index + 1 < length && text[index + 1] == '\n')
            ++index;
        start = index + 1;
    }
    pieces.push_back({text + start, static_cast<int>(length - start)});
    return InsertPieces(view, line, character, pieces.data(), static_cast<int>(pieces.size()),
                        endLine, endCharacter);
}

bool CCorvelTextBuffer::RawDelete(CTextBufferObserver* view, int startLine, int startCharacter,
                                  int endLine, int endCharacter) {
    if (readOnly)
        return false;
    CheckRange(startLine, startCharacter, endLine, endCharacter);
    CDeleteContext context;
    context.start = {startCharacter, startLine};
    context.end = {endCharacter, endLine};

    SLineInfo& first = OwnedLine(startLine);
    if (startLine == endLine) {
        std::memmove(first.text + startCharacter, first.text + endCharacter,
                     first.length - endCharacter);
        first.length -= endCharacter - startCharacter;
        NotifyAndMarkModified(view, context, OneLineOnly | LengthsChanged, startLine);
        return true;
    }

    // The start line takes the tail of the end line; its reserve is made before anything goes.
    const SLineInfo last = LineAt(endLine);
    const int tailLength = last.length - endCharacter;
    const long long joinedLength = static_cast<long long>(startCharacter) + tailLength;
    if (joinedLength > kLongestLine)
        return false;
    if (first.capacity < joinedLength) {
        int capacity = CLineReserveAllocator::CapacityFor(static_cast<int>(joinedLength));
        char* reserve = reserves_.Allocate(capacity);
        std::memcpy(reserve, first.text, startCharacter);
        ReleaseReserve(first.text, first.capacity);
        first.text = reserve;
        first.capacity = capacity;
    }
    std::memcpy(first.text + startCharacter, last.text + endCharacter, tailLength);
    first.length = static_cast<int>(joinedLength);
    for (int line = startLine + 1; line <= endLine; ++line)
        ForgetLine(lines[line]);
    lines.RemoveRange(startLine + 1, endLine - startLine);
    NotifyAndMarkModified(view, context, LengthsChanged | LineCountChanged, startLine);
    return true;
}

void CCorvelTextBuffer::CopyRange(int startLine, int startCharacter, int endLine, int endCharacter,
                                  std::string& text, const char* lineBreak) const {
    CheckRange(startLine, startCharacter, endLine, endCharacter);
    if (lineBreak == nullptr)
        lineBreak = "\r\n";
    std::size_t breakLength = std::strlen(lineBreak);
    std::size_t room = 0;
    for (int line = startLine; line <= endLine; ++line)
        room += LineAt(line).length + breakLength;

    text.clear();
    text.reserve(room);
    if (startLine == endLine) {
        text.append(LineAt(startLine).text + startCharacter, endCharacter - startCharacter);
        return;
    }
    const SLineInfo first = Decode(lines[startLine]);
    text.append(first.text + startCharacter, first.length - startCharacter);
    text.append(lineBreak, breakLength);
    for (int line = startLine + 1; line < endLine; ++line) {
        const SLineInfo info = Decode(lines[line]);
        text.append(info.text, info.length);
        text.append(lineBreak, breakLength);
    }
    text.append(Decode(lines[endLine]).text, endCharacter);
}

bool CCorvelTextBuffer::InsertAt(CTextBufferObserver* view, int line, int character,
                                 const char* text, int& endLine, int& endCharacter,
                                 EditAction action) {
    if (readOnly)
        return false;
    CheckPosition(line, character);
    try {
        if (!RawInsert(view, line, character, text, endLine, endCharacter))
            return false;
        bool openedGroup = !groupOpen;
        if (openedGroup)
            OpenUndoGroup(false);
        RecordEdit(true, {character, line}, {endCharacter, endLine}, text, action);
        if (openedGroup)
            CloseUndoGroup(view);
    } catch (...) {
        AbandonHistory();
        throw;
    }
    return true;
}

bool CCorvelTextBuffer::DeleteRange(CTextBufferObserver* view, int startLine, int startCharacter,
                                    int endLine, int endCharacter, EditAction action) {
    if (readOnly)
        return false;
    std::string removed;
    CopyRange(startLine, startCharacter, endLine, endCharacter, removed);
    std::vector<int> breakOffsets =
        AmbiguousBreakOffsets(removed, startLine, startCharacter, endLine);
    try {
        if (!RawDelete(view, startLine, startCharacter, endLine, endCharacter))
            return false;
        bool openedGroup = !groupOpen;
        if (openedGroup)
            OpenUndoGroup(false);
        AppendRecord(false, {startCharacter, startLine}, {endCharacter, endLine}, removed.data(),
                     removed.size(), breakOffsets.empty() ? nullptr : &breakOffsets, action);
        if (openedGroup)
            CloseUndoGroup(view);
    } catch (...) {
        AbandonHistory();
        throw;
    }
    return true;
}

std::vector<int> CCorvelTextBuffer::AmbiguousBreakOffsets(const std::string& removed, int startLine,
                                                          int startCharacter, int endLine) const {
    // The removed text has its breaks written as CR LF. Undo finds them again by that pair, which
    // is exact unless a removed line itself holds CR LF (a file loaded with CR LF breaks can have
    // "CR CR LF"); only then are the break offsets kept with the record.
    int breaks = endLine - startLine;
    if (breaks == 0)
        return {};
    int pairs = 0;
    for (std::size_t index = removed.find("\r\n"); index != std::string::npos;
         index = removed.find("\r\n", index + 2)) {
        ++pairs;
    }
    if (pairs == breaks)
        return {};
    std::vector<int> offsets;
    offsets.reserve(breaks);
    int offset = Decode(lines[startLine]).length - startCharacter;
    for (int line = startLine; line < endLine; ++line) {
        if (line > startLine)
            offset += Decode(lines[line]).length;
        offsets.push_back(offset);
        offset += 2;
    }
    return offsets;
}
