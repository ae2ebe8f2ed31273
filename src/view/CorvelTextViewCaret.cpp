// Caret, selection and the caret commands of CCorvelTextView.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStyleHints>
#include <algorithm>

#include "CmdUI.h"
#include "CorvelTextView.h"
#include "TextEncoding.h"
#include "Windows1251.h"

namespace {

bool Before(TextPosition a, TextPosition b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

// Word characters are ASCII letters, digits and '_'. Above 0x7F a Windows-1251 byte is
// punctuation, while in UTF-8 every such byte belongs to a word: words of any script are words,
// and as all the bytes of a sequence are alike, no word step ever stops inside one.
bool IsWordCharacter(char c, TextEncoding encoding) {
    if (!TextCodec::IsAscii(c))
        return encoding == TextEncoding::Utf8;
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

// --- Selection

void CCorvelTextView::NormalizeSelection() {
    if (Before(selectionEnd, selectionStart)) {
        orderedStart = selectionEnd;
        orderedEnd = selectionStart;
    } else {
        orderedStart = selectionStart;
        orderedEnd = selectionEnd;
    }
}

bool CCorvelTextView::InSelection(TextPosition position) const {
    const TextPosition& start = orderedStart;
    const TextPosition& end = orderedEnd;
    if (position.y < start.y || position.y > end.y)
        return false;
    if (position.y > start.y && position.y < end.y)
        return true;
    if (start.y != end.y) {
        if (position.y == end.y)
            return position.x < end.x;
        return position.x >= start.x;
    }
    return position.x >= start.x && position.x < end.x;
}

void CCorvelTextView::SelectionBounds(TextPosition& start, TextPosition& end) {
    NormalizeSelection();
    start = orderedStart;
    end = orderedEnd;
}

void CCorvelTextView::SelectRange(TextPosition start, TextPosition end) {
    if (start == selectionStart) {
        if (!(end == selectionEnd))
            RepaintLines(end.y, selectionEnd.y);
    } else {
        RepaintLines(start.y, end.y);
        RepaintLines(selectionStart.y, selectionEnd.y);
    }
    selectionStart = start;
    selectionEnd = end;
}

void CCorvelTextView::RepaintRange(TextPosition from, TextPosition to) {
    RepaintLines(from.y, to.y);
}

// --- Caret

void CCorvelTextView::PlaceCursor(TextPosition position) {
    caretPosition = position;
    idealColumn = ColumnOfChar(position.y, position.x);
    PlaceCaret();
}

void CCorvelTextView::PlaceCaret() {
    bool visible = focused && !caretHidden &&
                   ColumnOfChar(caretPosition.y, caretPosition.x) >= horizontalOffset;
    if (!visible) {
        caretWanted = false;
        caretBlinkTimer.stop();
        ShowCaretAt(QRect());
        return;
    }
    QPoint point = TextToPoint(caretPosition);
    caretWanted = true;
    ShowCaretAt(QRect(point.x(), point.y(), 2, LineHeight()));
    // The caret shows at once after a move and blinks at the desktop's rate.
    int flash = QApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        caretBlinkTimer.start(flash / 2, this);
}

void CCorvelTextView::ShowCaretAt(const QRect& rectangle) {
    if (caretShown && !caretRect.isEmpty())
        update(caretRect);
    caretRect = rectangle;
    caretShown = !rectangle.isEmpty();
    if (caretShown)
        update(caretRect);
}

void CCorvelTextView::BlinkCaret() {
    if (!caretWanted)
        return;
    caretShown = !caretShown;
    update(caretRect);
}

QPoint CCorvelTextView::NearestBoundaryPoint(QPoint point) const {
    int cell =
        charWidthCache == -1 ? const_cast<CCorvelTextView*>(this)->CharWidth() : charWidthCache + 1;
    return {point.x() + cell / 2, point.y()};
}

TextPosition CCorvelTextView::WordEndFrom(int index, int line) const {
    const char* text = LineText(line);
    int length = LineLength(line);
    while (index < length && IsWordCharacter(text[index], encoding))
        ++index;
    return {index, line};
}

TextPosition CCorvelTextView::WordStartBefore(int index, int line) const {
    const char* text = LineText(line);
    while (index > 0 && IsWordCharacter(text[index - 1], encoding))
        --index;
    return {index, line};
}

TextPosition CCorvelTextView::NextCharacterPosition(TextPosition position) const {
    int length = LineLength(position.y);
    if (position.x < length)
        return {TextCodec::NextCharacter(encoding, LineText(position.y), length, position.x),
                position.y};
    if (position.y < LineTotal() - 1)
        return {0, position.y + 1};
    return position;
}

TextPosition CCorvelTextView::PreviousCharacterPosition(TextPosition position) const {
    if (position.x > 0) {
        return {TextCodec::PreviousCharacter(encoding, LineText(position.y), LineLength(position.y),
                                             position.x),
                position.y};
    }
    if (position.y > 0)
        return {LineLength(position.y - 1), position.y - 1};
    return position;
}

TextPosition CCorvelTextView::KeepCharacterIndex(TextPosition from, int line) const {
    // The caret keeps its number of characters from the line's start, not of bytes.
    int number =
        TextCodec::CharactersBefore(encoding, LineText(from.y), LineLength(from.y), from.x);
    return {TextCodec::IndexOfCharacter(encoding, LineText(line), LineLength(line), number),
            line};
}

void CCorvelTextView::FinishCaretMove(bool extend) {
    BringIntoView(caretPosition);
    PlaceCaret();
    if (!extend)
        anchor = caretPosition;
    SelectRange(anchor, caretPosition);
}

// --- Caret commands

void CCorvelTextView::StepCharLeft(bool extend) {
    NormalizeSelection();
    if (!HasSelection() || extend)
        caretPosition = PreviousCharacterPosition(caretPosition);
    else
        caretPosition = orderedStart;
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::StepCharRight(bool extend) {
    NormalizeSelection();
    if (!HasSelection() || extend)
        caretPosition = NextCharacterPosition(caretPosition);
    else
        caretPosition = orderedEnd;
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::StepWordLeft(bool extend) {
    NormalizeSelection();
    if (HasSelection() && !extend) {
        StepCharLeft(false);
        return;
    }
    if (caretPosition.x == 0) {
        if (caretPosition.y == 0)
            return;
        --caretPosition.y;
        caretPosition.x = LineLength(caretPosition.y);
    }
    const char* text = LineText(caretPosition.y);
    int index = caretPosition.x;
    while (index > 0 && IsWhiteSpace(text[index - 1]))
        --index;
    if (index > 0) {
        bool word = IsWordCharacter(text[index - 1], encoding);
        --index;
        while (index > 0) {
            char previous = text[index - 1];
            bool sameKind = word ? IsWordCharacter(previous, encoding)
                                 : !IsWordCharacter(previous, encoding) && !IsWhiteSpace(previous);
            if (!sameKind)
                break;
            --index;
        }
    }
    caretPosition.x = index;
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::StepWordRight(bool extend) {
    NormalizeSelection();
    if (HasSelection() && !extend) {
        StepCharRight(false);
        return;
    }
    int last = LineTotal() - 1;
    if (caretPosition.x == LineLength(caretPosition.y)) {
        if (caretPosition.y == last)
            return;
        ++caretPosition.y;
        caretPosition.x = 0;
        if (LineLength(caretPosition.y) == 0) {
            // One empty line is stepped over.
            StepCharRight(extend);
            return;
        }
    }
    const char* text = LineText(caretPosition.y);
    int length = LineLength(caretPosition.y);
    int index = caretPosition.x;
    if (index < length) {
        if (IsWordCharacter(text[index], encoding)) {
            while (index < length && IsWordCharacter(text[index], encoding))
                ++index;
        } else {
            while (index < length && !IsWordCharacter(text[index], encoding) &&
                   !IsWhiteSpace(text[index]))
                ++index;
        }
        while (index < length && IsWhiteSpace(text[index]))
            ++index;
    }
    caretPosition.x = index;
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::StepLineUp(bool extend) {
    NormalizeSelection();
    if (HasSelection() && !extend)
        caretPosition = orderedStart;
    if (caretPosition.y > 0) {
        if (idealColumn == -1)
            idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
        --caretPosition.y;
        caretPosition.x =
            std::min(CharAtColumn(caretPosition.y, idealColumn), LineLength(caretPosition.y));
    }
    FinishCaretMove(extend);
}

void CCorvelTextView::StepLineDown(bool extend) {
    NormalizeSelection();
    if (HasSelection() && !extend)
        caretPosition = orderedEnd;
    if (caretPosition.y < LineTotal() - 1) {
        if (idealColumn == -1)
            idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
        ++caretPosition.y;
        caretPosition.x =
            std::min(CharAtColumn(caretPosition.y, idealColumn), LineLength(caretPosition.y));
    }
    FinishCaretMove(extend);
}

void CCorvelTextView::StepPageUp(bool extend) {
    NormalizeSelection();
    int page = VisibleLineCount();
    int newTop = std::max(0, topLine - page + 1);
    if (newTop != topLine) {
        ScrollToTopLine(newTop, true);
        SyncSiblings(true);
    }
    caretPosition = KeepCharacterIndex(caretPosition, std::max(0, caretPosition.y - (page - 1)));
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::StepPageDown(bool extend) {
    NormalizeSelection();
    int page = VisibleLineCount();
    int last = LineTotal() - 1;
    int newTop = std::min(last, topLine + page - 1);
    newTop = std::max(newTop, 0);
    if (newTop != topLine) {
        ScrollToTopLine(newTop, true);
        SyncSiblings(true);
    }
    caretPosition = KeepCharacterIndex(caretPosition, std::min(last, caretPosition.y + (page - 1)));
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::GoLineStart(bool extend) {
    NormalizeSelection();
    const char* text = LineText(caretPosition.y);
    int length = LineLength(caretPosition.y);
    int firstNonBlank = 0;
    while (firstNonBlank < length && IsWhiteSpace(text[firstNonBlank]))
        ++firstNonBlank;
    // Home alternates between the first non-blank character and the line's start.
    bool allBlank = firstNonBlank == length;
    caretPosition.x = (allBlank || caretPosition.x == firstNonBlank) ? 0 : firstNonBlank;
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::GoLineEnd(bool extend) {
    NormalizeSelection();
    caretPosition.x = LineLength(caretPosition.y);
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::GoTextStart(bool extend) {
    NormalizeSelection();
    caretPosition = {0, 0};
    idealColumn = 0;
    FinishCaretMove(extend);
}

void CCorvelTextView::GoTextEnd(bool extend) {
    NormalizeSelection();
    int last = LineTotal() - 1;
    caretPosition = {LineLength(last), last};
    idealColumn = ColumnOfChar(caretPosition.y, caretPosition.x);
    FinishCaretMove(extend);
}

void CCorvelTextView::NudgeViewUp() {
    if (topLine > 0) {
        ScrollToTopLine(topLine - 1, true);
        SyncSiblings(true);
    }
}

void CCorvelTextView::NudgeViewDown() {
    if (topLine < LineTotal() - 1) {
        ScrollToTopLine(topLine + 1, true);
        SyncSiblings(true);
    }
}

void CCorvelTextView::NudgeViewLeft() {
    if (horizontalOffset > 0)
        ScrollToColumn(horizontalOffset - 1, true);
    PlaceCaret();
}

void CCorvelTextView::NudgeViewRight() {
    if (horizontalOffset < WidestLineColumns() - 1)
        ScrollToColumn(horizontalOffset + 1, true);
    PlaceCaret();
}

void CCorvelTextView::SelectWholeText() {
    int last = LineTotal() - 1;
    caretPosition = {LineLength(last), last};
    SelectRange({0, 0}, caretPosition);
    PlaceCaret();
}

// --- Clipboard

std::string CCorvelTextView::TextOfRange(TextPosition start, TextPosition end) const {
    std::string text;
    if (buffer != nullptr)
        buffer->CopyRange(start.y, start.x, end.y, end.x, text);
    return text;
}

void CCorvelTextView::CopySelectionToClipboard() {
    if (!HasSelection())
        return;
    NormalizeSelection();
    CopyToClipboard(TextOfRange(orderedStart, orderedEnd));
}

// Text goes to other programs as UTF-8 with LF breaks, and to Kivra's own views also as the
// bytes themselves, under a format named after their encoding: a view of the same encoding takes
// back every byte, one of the other encoding converts them, and never takes them for its own.
namespace {

QString RawTextFormat(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? QStringLiteral("application/x-kivra-utf-8")
                                          : QStringLiteral("application/x-kivra-windows-1251");
}

TextEncoding OtherEncoding(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? TextEncoding::Windows1251 : TextEncoding::Utf8;
}

// The raw bytes of the format; a NUL would end the text, as it would end a line.
std::string RawBytes(const QMimeData& data, const QString& format) {
    QByteArray raw = data.data(format);
    return std::string(raw.constData(), qstrnlen(raw.constData(), raw.size()));
}

}  // namespace

QMimeData* CCorvelTextView::MakeTextData(const std::string& text, TextEncoding encoding) {
    auto* data = new QMimeData;
    QString decoded = TextCodec::Decode(encoding, text);
    decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    data->setText(decoded);
    data->setData(RawTextFormat(encoding), QByteArray(text.data(), text.size()));
    return data;
}

bool CCorvelTextView::TextOfData(const QMimeData* data, TextEncoding encoding, std::string& text,
                                 QStringList* leftOut) {
    text.clear();
    if (leftOut != nullptr)
        leftOut->clear();
    if (data == nullptr)
        return false;
    if (data->hasFormat(RawTextFormat(encoding))) {
        text = RawBytes(*data, RawTextFormat(encoding));
        return true;
    }
    const TextEncoding other = OtherEncoding(encoding);
    if (data->hasFormat(RawTextFormat(other))) {
        // Converted from the bytes rather than the plain text, so that a lone LF inside a line
        // stays a character of the line.
        text = TextCodec::Encode(encoding,
                                 TextCodec::Decode(other, RawBytes(*data, RawTextFormat(other))),
                                 leftOut);
        return true;
    }
    if (!data->hasText())
        return false;
    QString unicode = data->text();
    // The text ends at a NUL, as the byte form does.
    if (qsizetype nul = unicode.indexOf(QChar(0)); nul >= 0)
        unicode.truncate(nul);
    if (encoding == TextEncoding::Utf8) {
        QString lines;
        lines.reserve(unicode.size());
        QChar previous;
        for (QChar character : unicode) {
            if (character == QLatin1Char('\n') && previous != QLatin1Char('\r'))
                lines += QLatin1Char('\r');  // a lone LF becomes a line break here
            lines += character;
            previous = character;
        }
        text = TextCodec::Encode(encoding, lines);
        return true;
    }
    text.reserve(unicode.size());
    QChar previous;
    for (QChar character : unicode) {
        if (character == QLatin1Char('\n') && previous != QLatin1Char('\r'))
            text += '\r';  // a lone LF from another program becomes a line break here
        char byte;
        if (Windows1251::FromUnicode(character.unicode(), byte))
            text += byte;  // a character the code page lacks is left out
        previous = character;
    }
    if (leftOut != nullptr)
        *leftOut = Windows1251::Unencodable(unicode);
    return true;
}

bool CCorvelTextView::HasTextData(const QMimeData* data) {
    return data != nullptr && (data->hasText() ||
                               data->hasFormat(RawTextFormat(TextEncoding::Windows1251)) ||
                               data->hasFormat(RawTextFormat(TextEncoding::Utf8)));
}

bool CCorvelTextView::ClipboardHasText() const {
    return HasTextData(QApplication::clipboard()->mimeData());
}

bool CCorvelTextView::CopyToClipboard(const std::string& text) {
    if (text.empty())
        return false;
    QApplication::clipboard()->setMimeData(MakeTextData(text, encoding));
    return true;
}

std::string CCorvelTextView::TextFromClipboard(QStringList* leftOut) const {
    std::string text;
    TextOfData(QApplication::clipboard()->mimeData(), encoding, text, leftOut);
    return text;
}

QMimeData* CCorvelTextView::MakeDragData() {
    if (!HasSelection())
        return nullptr;
    NormalizeSelection();
    dragSourceStart = orderedStart;
    dragSourceEnd = orderedEnd;
    return MakeTextData(TextOfRange(orderedStart, orderedEnd), encoding);
}
