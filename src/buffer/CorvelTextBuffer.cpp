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
