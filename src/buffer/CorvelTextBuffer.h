#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <deque>
#include <list>
#include <string>
#include <vector>

#include "EditAction.h"
#include "FileSystem.h"
#include "LineEndingStyle.h"
#include "LineFlags.h"
#include "LineReserveAllocator.h"
#include "LoadedLineBlock.h"
#include "RecordTable.h"
#include "StableArray.h"
#include "TextBufferObserver.h"
#include "TextPosition.h"
#include "UpdateContext.h"
#include "UpdateHint.h"

// The text of one document: an ordered table of lines of 8-bit characters, each with its flags;
// the only two ways in which text changes (insertion and deletion) with notification of the
// attached views; the undo and redo history; loading and storing text files.
//
// The buffer stores bytes and never converts them. A line holds no line break of its own and never
// a NUL byte. A line index outside the table raises CInvalidArgException.
class CCorvelTextBuffer {
public:
    // One line: its characters (not NUL-terminated), how many are in use, how many bytes are
    // reserved, and its LineFlags. Packed to 20 bytes. Only lines that were edited, marked or
    // added by an edit have a record of their own; a line as read from its file lives in the
    // loaded block, and its table entry is four bytes.
    struct [[gnu::packed, gnu::aligned(4)]] SLineInfo {
        char* text;
        int length;
        int capacity;
        std::uint32_t flags;
    };
    static_assert(sizeof(SLineInfo) == sizeof(char*) + 12);

    // One change in the undo history.
    class SUndoRecord {
    public:
        enum Kind : std::uint32_t {
            InsertedText = 0x0001,  // an insertion; clear: a deletion
            GroupStart = 0x0100,    // the first record of its group
        };

        SUndoRecord() = default;
        SUndoRecord(SUndoRecord&& other) noexcept;
        SUndoRecord& operator=(SUndoRecord&& other) noexcept;
        ~SUndoRecord();

        std::uint32_t Kind() const { return kind & (InsertedText | GroupStart); }
        bool IsInsertion() const { return (kind & InsertedText) != 0; }
        bool StartsGroup() const { return (kind & GroupStart) != 0; }
        // The inserted text as the caller passed it, or the deleted text with CR LF breaks.
        const char* Text() const { return (kind & TextOnHeap) ? heapText : inlineText; }

        // InsertedText and GroupStart, and two bits telling how the text is held (read Kind() for
        // the first two alone).
        std::uint32_t kind = 0;
        TextPosition start;
        TextPosition end;
        EditAction action = EditAction::Unknown;

    private:
        friend class CCorvelTextBuffer;

        // Storage bits of kind, never seen through Kind().
        static constexpr std::uint32_t TextOnHeap = 0x40000000;
        // The deleted text holds CR LF pairs that are not line breaks; the offsets of the real
        // breaks follow the text's terminating zero.
        static constexpr std::uint32_t ExplicitBreaks = 0x80000000;
        // On a group start: the history limit never cuts this group (OpenUndoGroup's keepWhole).
        static constexpr std::uint32_t KeptWhole = 0x20000000;
        static constexpr std::size_t kInlineLimit = 7;

        void SetText(const char* text, std::size_t length, const std::vector<int>* breakOffsets);
        void ReleaseText();
        int BreakOffset(int index) const;

        // Short texts (typing) live inside the record, longer ones in a copy it owns.
        union {
            char inlineText[kInlineLimit + 1] = {};
            char* heapText;
        };
    };

    // Moves positions across an insertion: a position at the insertion point stays before the
    // inserted text, one after it on the same line moves with the text.
    class CInsertContext : public CUpdateContext {
    public:
        void AdjustPosition(TextPosition& position) const override;
        TextPosition start;
        TextPosition end;
    };

    // Moves positions across a deletion: positions inside the deleted range go to its start.
    class CDeleteContext : public CUpdateContext {
    public:
        void AdjustPosition(TextPosition& position) const override;
        TextPosition start;
        TextPosition end;
    };

    static constexpr int kDefaultHistoryLimit = 32768;
    // The longest line: its reserve must still fit a signed 32-bit count. An edit that would make
    // a longer line is refused, and a file with a longer line does not load.
    static constexpr int kLongestLine = 0x7FFFFFEF;
    static constexpr int kReadChunkSize = 32768;

    explicit CCorvelTextBuffer(CFileSystem& fileSystem = DefaultFileSystem());
    CCorvelTextBuffer(const CCorvelTextBuffer&) = delete;
    CCorvelTextBuffer& operator=(const CCorvelTextBuffer&) = delete;
    virtual ~CCorvelTextBuffer();

    // --- Lines
    int LineTotal() const { return lines.Size(); }
    // These three are inline: painting, searching and measuring call them for every line.
    int LineLength(int line) const {
        std::uint32_t entry = EntryOf(line);
        return (entry & kOwnedEntry) ? records_[entry & ~kOwnedEntry].length
                                     : loaded_.Length(entry);
    }
    // Valid until the next change of the text; not terminated.
    const char* LineText(int line) const {
        std::uint32_t entry = EntryOf(line);
        return (entry & kOwnedEntry) ? records_[entry & ~kOwnedEntry].text
                                     : loaded_.Characters(entry);
    }
    std::uint32_t FlagsOfLine(int line) const { return FlagsOfEntry(EntryOf(line)); }
    // A copy of the line's record. A line not changed since it was read reports a reserve
    // exactly as long as its characters.
    SLineInfo LineInfo(int line) const { return LineAt(line); }

    // The description of an action; false, with text untouched, for an unknown code.
    virtual bool ActionName(EditAction action, std::string& text) const;
    // Edits, undo, redo and a successful store change the modified state only through this.
    virtual void MarkModified(bool value);

    // --- State
    bool IsReadOnly() const { return readOnly; }
    void MakeReadOnly(bool value) { readOnly = value; }
    bool IsModified() const { return modified; }
    LineEndingStyle CurrentLineEnding() const { return lineEnding; }
    bool CreateEmpty(LineEndingStyle style);
    void Clear();

    // --- Views
    void AttachView(CTextBufferObserver* view);
    void DetachView(CTextBufferObserver* view);
    void NotifyViews(CTextBufferObserver* source, const CUpdateContext* context, unsigned hint,
                     int line);

    // --- Flags
    int FirstLineWithFlags(std::uint32_t mask) const;
    int LineOfSingleFlag(std::uint32_t flag) const;
    void ChangeLineFlag(int line, std::uint32_t flag, bool set, bool exclusive);
    int NextBookmarkedLine(int line) const;
    int PreviousBookmarkedLine(int line) const;

    // --- Text. Positions are passed line first; callers pass positions inside the text and
    // ranges whose start is not after their end. Text arguments end at their first NUL.
    bool InsertAt(CTextBufferObserver* view, int line, int character, const char* text,
                  int& endLine, int& endCharacter, EditAction action);
    bool DeleteRange(CTextBufferObserver* view, int startLine, int startCharacter, int endLine,
                     int endCharacter, EditAction action);
    bool RawInsert(CTextBufferObserver* view, int line, int character, const char* text,
                   int& endLine, int& endCharacter);
    bool RawDelete(CTextBufferObserver* view, int startLine, int startCharacter, int endLine,
                   int endCharacter);
    // The text of the range; lineBreak null means CR LF.
    void CopyRange(int startLine, int startCharacter, int endLine, int endCharacter,
                   std::string& text, const char* lineBreak = nullptr) const;

    // --- Undo and redo
    // merge continues the last group of the history. keepWhole, for a command whose one undo step
    // may hold more records than the limit (Replace all): the group this call starts is never cut
    // by the limit; it grows past it instead, and goes whole once it is the oldest of several.
    void OpenUndoGroup(bool merge, bool keepWhole = false);
    void CloseUndoGroup(CTextBufferObserver* view);
    bool CanStepBack() const { return historyPosition > 0; }
    bool CanStepForward() const { return historyPosition < HistorySize(); }
    // Undo one group; position receives the place of the group's first record. False, with
    // nothing changed, when the buffer is read-only.
    bool StepBack(TextPosition& position);
    // Redo one group; position receives the place of the group's last record. False, with
    // nothing changed, when the buffer is read-only.
    bool StepForward(TextPosition& position);
    void UndoCaption(std::string& text) const;
    void RedoCaption(std::string& text) const;

    int HistorySize() const { return static_cast<int>(history.size()); }
    const SUndoRecord& HistoryRecord(int index) const;
    int HistoryPosition() const { return historyPosition; }
    // A number that changes with every change of the text or its marks and that no other buffer
    // of the process has had: what was worked out from the text holds while it stays the same.
    std::uint64_t Generation() const { return generation_; }
    // -1 when the saved text can no longer be reached by undo or redo.
    int SavedPosition() const { return savedPosition; }
    int HistoryLimit() const { return historyLimit; }
    void SetHistoryLimit(int limit) { historyLimit = limit > 0 ? limit : 1; }

    // --- Files. Failures are false results; nothing is shown to the user.
    bool LoadFile(const char* path, LineEndingStyle style);
    // Told how many bytes have been read after each chunk; false stops the load, which then
    // fails with ECANCELED and leaves the text as it was.
    using LoadProgress = std::function<bool(std::uint64_t bytesRead)>;
    // As LoadFile, telling progress; with byteLimit, only the lines of about the first byteLimit
    // bytes are read (the first screen of a file read whole elsewhere), the last of them perhaps
    // cut.
    bool LoadFile(const char* path, LineEndingStyle style, const LoadProgress& progress,
                  std::uint64_t byteLimit = UINT64_MAX);
    // The text another buffer loaded (on another thread, say) takes the place of this one's as a
    // load of this buffer's would: its lines, line ending and read-only state; the history goes
    // and the views are told. The other buffer is left with this one's old lines.
    void TakeLoadedText(CCorvelTextBuffer& loaded);
    bool StoreFile(const char* path, LineEndingStyle style, bool markAsSaved);
    // Why the last LoadFile or StoreFile failed, as an errno value (EIO when the system gave no
    // reason); 0 after a success.
    int LastFileError() const { return lastFileError; }
    // Where the file's old text was left when a save that rewrote the file in place failed and
    // could not write the old text back either; empty otherwise.
    const std::string& KeptCopyPath() const { return keptCopyPath; }
    // The last load cut at least one line at a NUL byte, so a save would not give the file back.
    bool LoadCutAtNul() const { return loadCutAtNul; }

protected:
    void AddLine(const char* characters, int count = -1, int index = -1);
    // Appends a line read from a file, into the loaded block while it has room: the first edit
    // of the line gives it a reserve by the 16-byte rule. Inline: a file of millions of lines
    // calls it once a line.
    void AddLoadedLine(const char* characters, int count) {
        std::uint32_t offset;
        if (loaded_.Append(characters, count, offset))
            lines.Append(offset);
        else
            AddLineOfItsOwn(characters, count);
    }
    // A line read past the loaded block's limit: a record of its own, its reserve as exact.
    void AddLineOfItsOwn(const char* characters, int count);
    void ExtendLine(int line, const char* characters, int count = -1);
    // Lines read past this many bytes of the loaded block get records of their own.
    void LimitLoadedBlock(std::size_t bytes) { loaded_.SetLimit(bytes); }
    void RecordEdit(bool isInsertion, TextPosition start, TextPosition end, const char* text,
                    EditAction action);

    bool readOnly = false;
    bool modified = false;
    LineEndingStyle lineEnding = LineEndingStyle::Win;
    int historyLimit = kDefaultHistoryLimit;
    // One entry per line: with kOwnedEntry, the index of the line's record; without, the
    // offset of the line in the loaded block.
    CRecordTable<std::uint32_t> lines;
    std::deque<SUndoRecord> history;
    int historyPosition = 0;
    int savedPosition = 0;
    bool groupOpen = false;
    bool startGroupNext = false;
    bool keepNextGroupWhole = false;
    std::list<CTextBufferObserver*> views;

private:
    struct Piece {
        const char* data;
        int length;
    };

    static constexpr std::uint32_t kOwnedEntry = 0x80000000u;

    // The line's entry in the table; CInvalidArgException for a line outside it.
    std::uint32_t EntryOf(int line) const {
        if (static_cast<unsigned>(line) >= static_cast<unsigned>(lines.Size()))
            ThrowOutsideText(line);
        return lines[line];
    }
    [[noreturn]] static void ThrowOutsideText(int line);
    // The line's record, checked against the table.
    SLineInfo LineAt(int line) const;
    SLineInfo Decode(std::uint32_t entry) const;
    std::uint32_t FlagsOfEntry(std::uint32_t entry) const {
        return (entry & kOwnedEntry) ? records_[entry & ~kOwnedEntry].flags : 0;
    }
    // The record of a line about to change. A line still in the loaded block is given one that
    // borrows its characters there; that takes a spare record, allocated here when there is
    // none (see ReserveRecords).
    SLineInfo& OwnedLine(int line);
    // Makes sure count records can be taken without allocating, so that an edit runs out of
    // memory before it touches the text rather than halfway.
    void ReserveRecords(int count);
    // Stores the record in a spare one; never allocates.
    std::uint32_t TakeRecord(const SLineInfo& info);
    // Gives back the reserve and the record of a line that leaves the table; never allocates.
    void ForgetLine(std::uint32_t entry);
    // Reserves in the loaded block go with the block, never one by one.
    void ReleaseReserve(char* text, int capacity);
    // Raises CInvalidArgException unless the position lies inside the text.
    void CheckPosition(int line, int character) const;
    void CheckRange(int startLine, int startCharacter, int endLine, int endCharacter) const;
    // Inserts the pieces at (character, line): the first joins the line, each further one
    // becomes a line of its own. The core of every insertion.
    bool InsertPieces(CTextBufferObserver* view, int line, int character, const Piece* pieces,
                      int count, int& endLine, int& endCharacter);
    // The one piece of an insertion that adds no line, into a line that can take its length.
    void InsertWithinLine(SLineInfo& target, int character, const Piece& piece, int newLength);
    // The pieces of an insertion that adds lines; nothing changes when a reserve fails.
    void InsertLines(SLineInfo& target, int line, int character, const Piece* pieces,
                     int count, int firstLength);
    void AppendRecord(bool isInsertion, TextPosition start, TextPosition end, const char* text,
                      std::size_t length, const std::vector<int>* breakOffsets, EditAction action);
    std::vector<int> AmbiguousBreakOffsets(const std::string& removed, int startLine,
                                           int startCharacter, int endLine) const;
    void NotifyAndMarkModified(CTextBufferObserver* view, const CUpdateContext& context,
                               unsigned hint, int line);
    // After a failure in the middle of an edit, undo or redo: the history can no longer be trusted
    // to lead back to earlier texts, so it goes, and the text counts as modified.
    void AbandonHistory();
    void ReleaseLineReserves();
    // Exchanges the lines, with everything that holds their characters, with another buffer's.
    void SwapLines(CCorvelTextBuffer& other);
    void DiscardRedoPart();
    void EraseRecords(int first, int last);
    void ClearHistory();
    void DiscardOldestRecords();
    void SettleModifiedState();
    bool RestoreDeletedText(const SUndoRecord& record);
    bool ReadLines(CReadableFile& file, LineEndingStyle style, const LoadProgress& progress,
                   std::uint64_t byteLimit);
    // What a load that succeeded makes of the buffer's state.
    void ResetAfterLoad(bool fileReadOnly);
    // Records why a file operation failed and returns false.
    bool FailWith(int error);
    bool WriteLines(CWritableFile& file, const char* lineBreak) const;
    bool StoreByRenaming(const std::string& target, const char* lineBreak, int& error,
                         bool& folderRefused);
    bool StoreInPlace(const std::string& target, const char* lineBreak);
    bool CopyFileBytes(const std::string& from, const std::string* to, std::string* sparePath);

    std::uint64_t generation_ = NextGeneration();
    static std::uint64_t NextGeneration();
    CFileSystem& fileSystem_;
    int lastFileError = 0;
    std::string keptCopyPath;
    bool loadCutAtNul = false;
    CLineReserveAllocator reserves_;
    CLoadedLineBlock loaded_;
    // Records stay where they are while others are added: an edit holds one while it adds lines.
    CStableArray<SLineInfo> records_;
    // Indices of unused records. Its room never falls below the number of records, so that
    // giving one back cannot fail.
    std::vector<std::uint32_t> spareRecords_;
    int groupStartCount_ = 0;  // records in the history that start a group
    // The place of each notification in progress in the views list.
    std::vector<std::list<CTextBufferObserver*>::iterator*> notificationCursors_;
};
