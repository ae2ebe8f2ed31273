// The edit primitives of CCorvelTextBuffer: insertion and deletion of text, and copying a range
// out of it.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"

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
        InsertWithinLine(*target, character, first, static_cast<int>(firstLength));
        endLine = line;
        endCharacter = character + first.length;
    } else {
        InsertLines(*target, line, character, pieces, count, static_cast<int>(firstLength));
        endLine = line + count - 1;
        endCharacter = last.length;
    }
    context.end = {endCharacter, endLine};
    NotifyAndMarkModified(
        view, context,
        count > 1 ? (LengthsChanged | LineCountChanged) : (OneLineOnly | LengthsChanged), line);
    return true;
}

void CCorvelTextBuffer::InsertWithinLine(SLineInfo& target, int character, const Piece& piece,
                                         int newLength) {
    const int tailLength = target.length - character;
    if (target.capacity < newLength) {
        int capacity = CLineReserveAllocator::CapacityFor(newLength);
        char* reserve = reserves_.Allocate(capacity);
        std::memcpy(reserve, target.text, character);
        std::memcpy(reserve + character + piece.length, target.text + character, tailLength);
        ReleaseReserve(target.text, target.capacity);
        target.text = reserve;
        target.capacity = capacity;
    } else {
        std::memmove(target.text + character + piece.length, target.text + character,
                     tailLength);
    }
    std::memcpy(target.text + character, piece.data, piece.length);
    target.length = newLength;
}

void CCorvelTextBuffer::InsertLines(SLineInfo& target, int line, int character,
                                    const Piece* pieces, int count, int firstLength) {
    const int tailLength = target.length - character;
    const Piece& first = pieces[0];
    const Piece& last = pieces[count - 1];
    // The new lines, the last one ending with the tail of the split line.
    std::vector<SLineInfo> added(count - 1);
    std::vector<std::uint32_t> addedEntries(count - 1);
    int made = 0;
    char* firstReserve = nullptr;
    int firstCapacity = 0;
    try {
        lines.Reserve(lines.Size() + count - 1);
        if (target.capacity < firstLength) {
            firstCapacity = CLineReserveAllocator::CapacityFor(firstLength);
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
    std::memcpy(added.back().text + last.length, target.text + character, tailLength);
    if (firstReserve != nullptr) {
        std::memcpy(firstReserve, target.text, character);
        ReleaseReserve(target.text, target.capacity);
        target.text = firstReserve;
        target.capacity = firstCapacity;
    }
    std::memcpy(target.text + character, first.data, first.length);
    target.length = firstLength;
    for (int index = 0; index < count - 1; ++index)
        addedEntries[index] = TakeRecord(added[index]);
    lines.InsertRange(line + 1, addedEntries.data(), count - 1);
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
