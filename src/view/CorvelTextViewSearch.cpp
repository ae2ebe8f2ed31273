// Text search of CCorvelTextView: the search routines, the Find command and Find next and
// previous.

#include <QChar>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>

#include "CmdUI.h"
#include "CorvelTextView.h"
#include "FindTextDlg.h"
#include "ModalHost.h"
#include "SearchTextCheck.h"
#include "SettingsStore.h"
#include "TextEncoding.h"
#include "Utf8.h"
#include "Windows1251.h"

namespace {

bool Before(TextPosition a, TextPosition b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

// Word characters are ASCII letters, digits and '_'; every byte above 0x7F is punctuation.
bool IsWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Upper case of every byte of the code page: Cyrillic letters fold as Latin ones do. A byte whose
// capital the code page lacks stays as it is. Folding never turns a word character into another
// kind of byte, so whole words can be judged on folded text.
const std::array<char, 256>& UpperCaseTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> upper{};
        for (int byte = 0; byte < 256; ++byte) {
            upper[byte] = static_cast<char>(byte);
            char32_t character = Windows1251::ToUnicode(static_cast<unsigned char>(byte));
            char32_t capital = QChar::toUpper(character);
            char folded;
            if (capital != character && Windows1251::FromUnicode(capital, folded))
                upper[byte] = folded;
        }
        return upper;
    }();
    return table;
}

void FoldInto(const char* text, int length, char* out) {
    const std::array<char, 256>& upper = UpperCaseTable();
    for (int index = 0; index < length; ++index)
        out[index] = upper[static_cast<unsigned char>(text[index])];
}

// The character of a well-formed UTF-8 sequence of length bytes.
char32_t CharacterOfSequence(const char* bytes, int length) {
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t character = static_cast<unsigned char>(bytes[0]) & kLeadBits[length];
    for (int index = 1; index < length; ++index)
        character = (character << 6) | (static_cast<unsigned char>(bytes[index]) & 0x3F);
    return character;
}

int SequenceLengthOf(char32_t character) {
    return character < 0x80 ? 1 : character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
}

void WriteSequence(char32_t character, int length, char* out) {
    static constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (int index = length - 1; index > 0; --index) {
        out[index] = static_cast<char>(0x80 | (character & 0x3F));
        character >>= 6;
    }
    out[0] = static_cast<char>(kLeadMarks[length] | character);
}

// Upper case of UTF-8 text, character by character. A capital whose sequence is as long as the
// character's takes its place, others do not: the folded text keeps the line's offsets and
// character boundaries, so a match in it is a match at the same place in the line. Bytes outside
// well-formed sequences stay as they are. out may be text itself.
void FoldUtf8Into(const char* text, int length, char* out) {
    const std::array<char, 256>& upper = UpperCaseTable();
    int index = 0;
    while (index < length) {
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte < 0x80) {
            out[index++] = upper[byte];  // ASCII folds as in the code page
            continue;
        }
        int sequence = Utf8::SequenceLength(text, length, index);
        if (sequence == 0) {
            out[index] = text[index];
            ++index;
            continue;
        }
        char32_t character = CharacterOfSequence(text + index, sequence);
        char32_t capital = QChar::toUpper(character);
        if (capital != character && SequenceLengthOf(capital) == sequence)
            WriteSequence(capital, sequence, out + index);
        else if (out != text)
            std::memcpy(out + index, text + index, sequence);
        index += sequence;
    }
}

void FoldInto(TextEncoding encoding, const char* text, int length, char* out) {
    if (encoding == TextEncoding::Utf8)
        FoldUtf8Into(text, length, out);
    else
        FoldInto(text, length, out);
}

bool IsWholeWordAt(const char* text, int length, int at, int patternLength) {
    if (at > 0 && IsWordCharacter(text[at - 1]))
        return false;
    int after = at + patternLength;
    return after >= length || !IsWordCharacter(text[after]);
}

// In UTF-8 the letters and digits of every script are word characters too; a byte outside a
// well-formed sequence is not.
bool IsUtf8WordCharacterAt(const char* text, int length, int index) {
    if (static_cast<unsigned char>(text[index]) < 0x80)
        return IsWordCharacter(text[index]);
    int sequence = Utf8::SequenceLength(text, length, index);
    return sequence > 0 && QChar::isLetterOrNumber(CharacterOfSequence(text + index, sequence));
}

bool IsUtf8WholeWordAt(const char* text, int length, int at, int patternLength) {
    if (at > 0 && IsUtf8WordCharacterAt(text, length, Utf8::PreviousBoundary(text, length, at)))
        return false;
    int after = at + patternLength;
    return after >= length || !IsUtf8WordCharacterAt(text, length, after);
}

bool IsWholeWordAt(TextEncoding encoding, const char* text, int length, int at, int patternLength) {
    return encoding == TextEncoding::Utf8 ? IsUtf8WholeWordAt(text, length, at, patternLength)
                                          : IsWholeWordAt(text, length, at, patternLength);
}

// Where a search goes on after a place that it rejected: the next character.
int StepAfter(TextEncoding encoding, const char* text, int length, int at) {
    return encoding == TextEncoding::Utf8 ? Utf8::NextBoundary(text, length, at) : at + 1;
}

// The last accepted occurrence that begins before limit, or -1.
int FindLastInLine(const char* text, int length, int limit, const char* pattern, int patternLength,
                   bool wholeWord, TextEncoding encoding) {
    int last = -1;
    int from = 0;
    while (from < limit) {
        int at = CCorvelTextView::FindInLineText(text, length, from, pattern, patternLength,
                                                 wholeWord, encoding);
        if (at < 0 || at >= limit)
            break;
        last = at;
        from = StepAfter(encoding, text, length, at);
    }
    return last;
}

// The text of the lines as the comparison sees it: the line itself, or its upper-cased copy in
// one buffer that grows to the longest line and is then reused.
class CSearchLines {
public:
    CSearchLines(const CCorvelTextView& view, bool caseSensitive)
        : view(view), caseSensitive(caseSensitive), encoding(view.Encoding()) {}

    const char* Line(int line, int length) {
        const char* text = view.LineText(line);
        if (caseSensitive)
            return text;
        if (folded.size() < static_cast<std::size_t>(length))
            folded.resize(length);
        FoldInto(encoding, text, length, folded.data());
        return folded.data();
    }

private:
    const CCorvelTextView& view;
    bool caseSensitive;
    TextEncoding encoding;
    std::string folded;
};

}  // namespace

// --- The search routines

int CCorvelTextView::FindInLineText(const char* text, const char* pattern, bool wholeWord) {
    return FindInLineText(text, static_cast<int>(std::strlen(text)), 0, pattern,
                          static_cast<int>(std::strlen(pattern)), wholeWord);
}

int CCorvelTextView::FindInLineText(const char* text, int length, int from, const char* pattern,
                                    int patternLength, bool wholeWord, TextEncoding encoding) {
    if (from < 0 || from > length)
        return -1;
    if (patternLength == 0) {
        // An empty pattern is found at every place between characters, up to the terminating
        // zero.
        for (int at = from; at <= length;) {
            if (!wholeWord || IsWholeWordAt(encoding, text, length, at, 0))
                return at;
            if (at == length)
                break;
            at = StepAfter(encoding, text, length, at);
        }
        return -1;
    }
    while (length - from >= patternLength) {
        const void* hit = memmem(text + from, length - from, pattern, patternLength);
        if (hit == nullptr)
            return -1;
        int at = static_cast<int>(static_cast<const char*>(hit) - text);
        if (!wholeWord || IsWholeWordAt(encoding, text, length, at, patternLength))
            return at;
        // Rejected: on from its second character, still judging whole words by the whole line.
        from = StepAfter(encoding, text, length, at);
    }
    return -1;
}

bool CCorvelTextView::FindInText(const char* pattern, TextPosition start, FindFlags flags,
                                 bool wrap, TextPosition& found) const {
    int last = LineTotal() - 1;
    return FindInBlock(pattern, start, {0, 0}, {LineLength(last), last}, flags, wrap, found);
}

bool CCorvelTextView::FindInBlock(const char* pattern, TextPosition start, TextPosition blockBegin,
                                  TextPosition blockEnd, FindFlags flags, bool wrap,
                                  TextPosition& found) const {
    if (blockBegin == blockEnd || buffer == nullptr)
        return false;
    // A block past the text's end ends with the text.
    int lastLine = LineTotal() - 1;
    if (blockEnd.y > lastLine)
        blockEnd = {LineLength(lastLine), lastLine};
    if (Before(blockEnd, blockBegin))
        return false;

    const bool caseSensitive = (flags & CaseSensitive) != 0;
    const bool wholeWord = (flags & WholeWordOnly) != 0;
    std::string searched = pattern;
    if (!caseSensitive)
        FoldInto(encoding, searched.data(), static_cast<int>(searched.size()), searched.data());
    const char* what = searched.c_str();
    const int whatLength = static_cast<int>(searched.size());
    CSearchLines lines(*this, caseSensitive);

    TextPosition current = Before(start, blockBegin) ? blockBegin : start;
    if (!(flags & SearchUp)) {
        for (;;) {
            int column = std::max(current.x, 0);
            for (int line = current.y; line <= blockEnd.y; ++line, column = 0) {
                int length = LineLength(line);
                if (column >= length)
                    continue;
                const char* text = lines.Line(line, length);
                int at =
                    FindInLineText(text, length, column, what, whatLength, wholeWord, encoding);
                if (at < 0)
                    continue;
                // Only the first character must lie inside the block.
                if (line == blockEnd.y && at >= blockEnd.x)
                    break;
                found = {at, line};
                return true;
            }
            if (!wrap)
                return false;
            wrap = false;
            current = blockBegin;
        }
    }

    // Upward: on the start line the last match that begins before the start, on each line above
    // the last match of the line. A match begins at a character of its line.
    if (Before(blockEnd, current))
        current = blockEnd;
    for (;;) {
        int limit = current.x;
        for (int line = current.y; line >= blockBegin.y; --line, limit = INT_MAX) {
            int length = LineLength(line);
            int end = std::min(limit, length);
            int low = line == blockBegin.y ? blockBegin.x : 0;
            if (end <= low)
                continue;
            const char* text = lines.Line(line, length);
            int at = FindLastInLine(text, length, end, what, whatLength, wholeWord, encoding);
            if (at >= low) {
                found = {at, line};
                return true;
            }
        }
        if (!wrap)
            return false;
        wrap = false;
        current = blockEnd;
    }
}

void CCorvelTextView::SelectFound(TextPosition position, int length) {
    TextPosition end{position.x + length, position.y};
    PlaceCursor(end);
    SetAnchorPoint(end);
    SelectRange(position, end);
    BringIntoView(end);
    PlaceCaret();
}

TextPosition CCorvelTextView::SearchStartFrom(TextPosition position, FindFlags flags) {
    if (!(flags & SearchUp) || !HasSelection())
        return position;
    TextPosition start, end;
    SelectionBounds(start, end);
    return position == end ? start : position;
}

void CCorvelTextView::SetSelectionShownUnfocused(bool shown) {
    selectionShownUnfocused = shown;
    update();
}

// --- Find, Find next, Find previous

void CCorvelTextView::OnEditFind() {
    CFindTextDlg dialog(*this, this);
    if (haveLastSearch) {
        dialog.matchCase = (lastSearchFlags & CaseSensitive) != 0;
        dialog.wholeWord = (lastSearchFlags & WholeWordOnly) != 0;
        dialog.direction = (lastSearchFlags & SearchUp) ? 0 : 1;
        dialog.findWhat = TextCodec::Decode(lastSearchEncoding, lastSearchText);
    } else {
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("CorvelEdit/Find"));
        dialog.matchCase = settings.value(QStringLiteral("MatchCase"), 0).toInt() != 0;
        dialog.wholeWord = settings.value(QStringLiteral("WholeWord"), 0).toInt() != 0;
        dialog.findWhat = settings.value(QStringLiteral("FindWhat"), QString()).toString();
        dialog.direction = 1;
    }
    // A selection within one line is what the user wants to find; one over several lines is not.
    if (HasSelection()) {
        TextPosition start, end;
        SelectionBounds(start, end);
        if (start.y == end.y) {
            dialog.findWhat = TextCodec::Decode(
                encoding, std::string_view(LineText(start.y) + start.x, end.x - start.x));
        }
    }
    dialog.startPosition = caretPosition;

    SetSelectionShownUnfocused(true);
    dialog.DoModal();
    SetSelectionShownUnfocused(false);

    // However the dialog closed, what it shows last is the last search.
    haveLastSearch = true;
    lastSearchText = SearchTextBytes(encoding, dialog.findWhat);
    lastSearchUnencodable = SearchTextUnencodable(encoding, dialog.findWhat);
    lastSearchEncoding = encoding;
    lastSearchFlags = dialog.Flags();
    CSettingsStore settings;
    settings.beginGroup(QStringLiteral("CorvelEdit/Find"));
    settings.setValue(QStringLiteral("MatchCase"), dialog.matchCase ? 1 : 0);
    settings.setValue(QStringLiteral("WholeWord"), dialog.wholeWord ? 1 : 0);
    settings.setValue(QStringLiteral("FindWhat"), dialog.findWhat);
}

void CCorvelTextView::OnUpdateEditFind(CCmdUI& ui) {
    ui.Enable(true);
}

void CCorvelTextView::OnEditRepeat() {
    RepeatSearch(lastSearchFlags);
}

void CCorvelTextView::OnEditFindPrevious() {
    RepeatSearch(lastSearchFlags ^ SearchUp);
}

void CCorvelTextView::OnUpdateEditRepeat(CCmdUI& ui) {
    ui.Enable(haveLastSearch);
}

void CCorvelTextView::RepeatSearch(FindFlags flags) {
    if (!haveLastSearch)
        return;
    if (lastSearchEncoding != encoding) {
        // The view has been shown in the other encoding since: the same text in its bytes.
        const QString text = TextCodec::Decode(lastSearchEncoding, lastSearchText);
        lastSearchText = SearchTextBytes(encoding, text);
        lastSearchUnencodable = SearchTextUnencodable(encoding, text);
        lastSearchEncoding = encoding;
    }
    // The stored bytes hold '?' in place of such characters.
    if (!lastSearchUnencodable.isEmpty()) {
        ReportUnencodable(lastSearchUnencodable, SearchTextKind::Pattern);
        return;
    }
    TextPosition found;
    if (FindInText(lastSearchText.c_str(), SearchStartFrom(caretPosition, flags), flags, true,
                   found)) {
        SelectFound(found, static_cast<int>(std::strlen(lastSearchText.c_str())));
    } else {
        AfxMessageBox(CFindTextDlg::NotFoundMessage(TextCodec::Decode(encoding, lastSearchText)),
                      MB_OK);
    }
}
