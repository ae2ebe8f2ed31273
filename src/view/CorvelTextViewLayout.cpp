// Layout of CCorvelTextView: metrics, columns, points, fonts, the binding to a buffer and the
// reaction to its changes. Scrolling is in CorvelTextViewScroll.cpp.

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <chrono>
#include <cstring>

#include "CorvelTextView.h"

namespace {

// The longest the widths of lines are measured at one go.
constexpr std::chrono::milliseconds kWidthSlice(20);

}  // namespace
#include "TextEncoding.h"
#include "PaneHost.h"

CCorvelTextView::CCorvelTextView(QWidget* parent) : CView(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: nothing is erased first
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::IBeamCursor);

    logFontOfView.faceName = "Courier New";
    logFontOfView.height = -15;
    logFontOfView.weight = LogFont::kNormalWeight;
    logFontOfView.charSet = LogFont::kRussianCharSet;
    SetKeyTable(TextViewKeyTable());

    // A view that is not a pane of a split frame has scroll bars of its own.
    ownVerticalBar = new QScrollBar(Qt::Vertical, this);
    ownHorizontalBar = new QScrollBar(Qt::Horizontal, this);
    for (QScrollBar* bar : {ownVerticalBar, ownHorizontalBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setCursor(Qt::ArrowCursor);
        bool vertical = bar == ownVerticalBar;
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, vertical](int action) { ApplyScrollAction(vertical, action); });
    }
    LayoutOwnScrollBars();
    ResetLayout();
}

CCorvelTextView::~CCorvelTextView() {
    if (dragSourceView == this)
        dragSourceView = nullptr;
    UnbindBuffer();
}

// --- Buffer access

int CCorvelTextView::LineTotal() const {
    return buffer ? buffer->LineTotal() : 1;
}

int CCorvelTextView::LineLength(int line) const {
    return buffer ? buffer->LineLength(line) : 0;
}

const char* CCorvelTextView::LineText(int line) const {
    return buffer ? buffer->LineText(line) : nullptr;
}

std::uint32_t CCorvelTextView::FlagsOfLine(int line) const {
    return buffer ? buffer->FlagsOfLine(line) : 0;
}

int CCorvelTextView::LineColumns(int line) {
    if (!columnsCache.Exists())
        columnsCache.Create(LineTotal());
    int width = columnsCache.Get(line);
    if (width == CLineWidthCache::kNotMeasured) {
        width = MeasureColumns(line);
        columnsCache.Set(line, width);
    }
    return width;
}

int CCorvelTextView::MeasureColumns(int line) const {
    const char* text = LineText(line);
    int length = LineLength(line);
    if (text == nullptr || length == 0)
        return 0;
    // Only a line with a tab, or in UTF-8 with a byte from 0x80 up, needs its columns counted
    // character by character: any other line is as wide as it is long.
    if (std::memchr(text, '\t', length) != nullptr)
        return ColumnOfChar(line, length);
    if (encoding == TextEncoding::Utf8) {
        unsigned char high = 0;
        for (int index = 0; index < length; ++index)
            high |= static_cast<unsigned char>(text[index]);
        if (high & 0x80)
            return ColumnOfChar(line, length);
    }
    return length;
}

CCorvelTextBuffer* CCorvelTextView::LocateBuffer() {
    return nullptr;
}

LineScanState CCorvelTextView::ColorizeLine(LineScanState, int, ColorRun*, int&) {
    return 0;
}

void CCorvelTextView::AfterEditAction(EditAction, const char*) {}

// --- Metrics

void CCorvelTextView::MeasureFont() {
    QFontMetrics metrics(FontFor(false, false));
    lineHeightCache = std::max(1, metrics.height());
    charWidthCache = metrics.horizontalAdvance(QLatin1Char('X'));
}

int CCorvelTextView::LineHeight() {
    if (lineHeightCache == -1)
        MeasureFont();
    return lineHeightCache;
}

int CCorvelTextView::CharWidth() {
    if (charWidthCache == -1)
        MeasureFont();
    return charWidthCache + 1;
}

int CCorvelTextView::MarginDigits() const {
    int digits = 3;
    for (int largest = LineTotal(); largest > 999; largest /= 10)
        ++digits;
    return digits;
}

int CCorvelTextView::MarginWidth() {
    // Room for three digits, and one cell more for each digit a longer text's last number has.
    int width = CharWidth();
    return MarginDigits() * width + width / 5 + 1;
}

int CCorvelTextView::VisibleLineCount() {
    if (visibleLinesCache == -1)
        visibleLinesCache = ClientRect().height() / LineHeight();
    return visibleLinesCache;
}

int CCorvelTextView::VisibleColumnCount() {
    if (visibleColumnsCache == -1)
        visibleColumnsCache = (ClientRect().width() - MarginWidth()) / CharWidth();
    return visibleColumnsCache;
}

int CCorvelTextView::WidestLineColumns() {
    if (widestLineCache == -1) {
        int total = LineTotal();
        if (!columnsCache.Exists())
            columnsCache.Create(total);
        if (!columnsCache.AllMeasured()) {
            // Millions of lines are measured a slice at a time: until the last slice, the widest
            // line measured so far stands, and idle time measures the rest.
            const auto deadline = std::chrono::steady_clock::now() + kWidthSlice;
            for (int checked = 0; !columnsCache.AllMeasured(); ++checked) {
                if (measureCursor >= total)
                    measureCursor = 0;  // the cache was made anew behind the cursor
                LineColumns(measureCursor++);
                if ((checked & 4095) == 4095 && std::chrono::steady_clock::now() >= deadline)
                    break;
            }
            if (!columnsCache.AllMeasured()) {
                if (!widthsTimer.isActive())
                    widthsTimer.start(0, this);
                return columnsCache.Widest();
            }
        }
        widthsTimer.stop();
        widestLineCache = columnsCache.Widest();
    }
    return widestLineCache;
}

void CCorvelTextView::ContinueMeasuringWidths() {
    // The range of the horizontal bar takes in the lines of this slice.
    if (widestLineCache == -1)
        UpdateHorizontalScrollBar(false);
    else
        widthsTimer.stop();
}

QRect CCorvelTextView::ClientRect() const {
    QRect client = rect();
    if (paneHost == nullptr) {
        // The extents the bars were laid out with: asking the style each time costs more than
        // the rest of an edit.
        client.setRight(client.right() - ownBarsExtent.width());
        client.setBottom(client.bottom() - ownBarsExtent.height());
    }
    return client;
}

// --- Columns and points

int CCorvelTextView::ColumnOfChar(int line, int index) const {
    const char* text = LineText(line);
    if (text == nullptr)
        return 0;
    int length = LineLength(line);
    if (encoding == TextEncoding::Utf8)
        index = std::min(index, length);  // the steps below never pass the line's end
    int column = 0;
    for (int at = 0; at < index;) {
        if (text[at] == '\t') {
            column += tabSize - column % tabSize;
            ++at;
        } else if (TextCodec::IsAscii(text[at]) || encoding != TextEncoding::Utf8) {
            ++column;
            ++at;
        } else {
            // One cell for the whole sequence; an index inside it gives the sequence's column.
            at = Utf8::NextBoundary(text, length, at);
            if (at > index)
                break;
            ++column;
        }
    }
    return column;
}

int CCorvelTextView::CharAtColumn(int line, int column) const {
    if (column == 0)
        return 0;
    const char* text = LineText(line);
    int length = LineLength(line);
    int accumulated = 0;
    for (int index = 0; index < length;) {
        int next = TextCodec::NextCharacter(encoding, text, length, index);
        if (text[index] == '\t')
            accumulated += tabSize - accumulated % tabSize;
        else
            ++accumulated;
        if (accumulated >= column) {
            // A wide tab cell rounds to its nearer side; an ordinary character is passed.
            return accumulated - tabSize / 2 < column ? next : index;
        }
        index = next;
    }
    return length;
}

TextPosition CCorvelTextView::PointToText(QPoint point) {
    int line = point.y() / LineHeight() + topLine;
    line = std::clamp(line, 0, LineTotal() - 1);
    int column = (point.x() - MarginWidth()) / CharWidth() + horizontalOffset;
    column = std::max(column, 0);

    // The character whose cell contains the column, or the line's end.
    const char* text = LineText(line);
    int length = LineLength(line);
    int start = 0;
    for (int index = 0; index < length;) {
        int end = text[index] == '\t' ? start + tabSize - start % tabSize : start + 1;
        if (column < end)
            return {index, line};
        start = end;
        index = TextCodec::NextCharacter(encoding, text, length, index);
    }
    return {length, line};
}

QPoint CCorvelTextView::TextToPoint(TextPosition position) {
    int y = LineHeight() * (position.y - topLine);
    int x = CharWidth() * (ColumnOfChar(position.y, position.x) - horizontalOffset) + MarginWidth();
    return {x, y};
}

// --- Binding, fonts, layout reset

void CCorvelTextView::ResetLayout() {
    topLine = horizontalOffset = 0;
    lineHeightCache = charWidthCache = -1;
    tabSize = 4;
    widestLineCache = visibleLinesCache = visibleColumnsCache = -1;
    marginDigitsShown = MarginDigits();
    idealColumn = -1;
    anchor = {0, 0};
    marginIcons = QPixmap();
    fonts.fill(std::nullopt);
    stateCache.Free();
    StopGuessingStates();
    columnsCache.Free();
    caretPosition = selectionStart = selectionEnd = {0, 0};
    EndMouseSelection();
    dragPending = false;
    CancelDragWait();
    PlaceCaret();
    horizontalUpdatesSuspended = false;
    haveLastSearch = false;
    selectionShownUnfocused = false;
    hasBookmarks = false;
}

void CCorvelTextView::SetEncoding(TextEncoding newEncoding) {
    if (newEncoding == encoding)
        return;
    encoding = newEncoding;
    widestLineCache = -1;
    columnsCache.Free();
    if (buffer != nullptr && buffer->LineTotal() > 0) {
        auto onBoundary = [this](TextPosition position) {
            if (position.y < 0 || position.y >= LineTotal())
                return position;
            position.x = TextCodec::CharacterStart(encoding, LineText(position.y),
                                                   LineLength(position.y), position.x);
            return position;
        };
        anchor = onBoundary(anchor);
        selectionStart = onBoundary(selectionStart);
        selectionEnd = onBoundary(selectionEnd);
        caretPosition = onBoundary(caretPosition);
    }
    idealColumn = -1;
    UpdateHorizontalScrollBar(false);
    PlaceCaret();
    update();
}

void CCorvelTextView::BindBuffer(CCorvelTextBuffer* newBuffer) {
    CCorvelTextBuffer* next = newBuffer ? newBuffer : LocateBuffer();
    // Binding the buffer the view already shows keeps the widths it measured, kept up to date
    // by every change since: a window opening a long file binds it twice.
    bool same = next != nullptr && next == buffer;
    CLineWidthCache keptWidths;
    int keptWidest = -1;
    if (same) {
        keptWidths = std::move(columnsCache);
        keptWidest = widestLineCache;
    }
    if (buffer != nullptr)
        buffer->DetachView(this);
    buffer = next;
    if (buffer != nullptr)
        buffer->AttachView(this);
    ResetLayout();
    if (same) {
        columnsCache = std::move(keptWidths);
        widestLineCache = keptWidest;
    }
    UpdateVerticalScrollBar(false);
    UpdateHorizontalScrollBar(false);
    update();
}

void CCorvelTextView::UnbindBuffer() {
    if (buffer == nullptr)
        return;
    buffer->DetachView(this);
    buffer = nullptr;
    ResetLayout();
}

QFont CCorvelTextView::FontFor(bool italic, bool bold) {
    std::optional<QFont>& slot = fonts[(italic ? 2 : 0) + (bold ? 1 : 0)];
    if (!slot) {
        LogFont logFont = logFontOfView;
        logFont.weight = bold ? LogFont::kBoldWeight : LogFont::kNormalWeight;
        logFont.italic = italic;
        slot = logFont.ToQFont();
    }
    return *slot;
}

void CCorvelTextView::ApplyFont(const LogFont& logFont) {
    logFontOfView = logFont;
    visibleLinesCache = visibleColumnsCache = charWidthCache = lineHeightCache = -1;
    lineBitmap = QPixmap();
    fonts.fill(std::nullopt);
    UpdateVerticalScrollBar(false);
    UpdateHorizontalScrollBar(false);
    PlaceCaret();
    update();
}

void CCorvelTextView::OnInitialUpdate() {
    BindBuffer(nullptr);
    // A pane takes the offsets of the first panes of its row and column.
    if (paneHost != nullptr) {
        if (PaneRow() > 0) {
            if (CCorvelTextView* first = paneHost->Pane(0, PaneColumn())) {
                ScrollToColumn(first->horizontalOffset, true);
                PlaceCaret();
            }
        }
        if (PaneColumn() > 0) {
            if (CCorvelTextView* first = paneHost->Pane(PaneRow(), 0))
                ScrollToTopLine(first->topLine, true);
        }
    }
}

void CCorvelTextView::resizeEvent(QResizeEvent* event) {
    CView::resizeEvent(event);
    LayoutOwnScrollBars();
    lineBitmap = QPixmap();
    visibleLinesCache = visibleColumnsCache = -1;
    UpdateVerticalScrollBar(false);
    UpdateHorizontalScrollBar(false);
}

void CCorvelTextView::showEvent(QShowEvent* event) {
    CView::showEvent(event);
    if (horizontalRangeWaiting)
        UpdateHorizontalScrollBar(false);
}

void CCorvelTextView::changeEvent(QEvent* event) {
    CView::changeEvent(event);
    if (event->type() == QEvent::StyleChange && ownVerticalBar != nullptr) {
        // The bars may have another extent in the new style.
        LayoutOwnScrollBars();
        visibleLinesCache = visibleColumnsCache = -1;
    }
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        update();
}

// --- Changes of the buffer

void CCorvelTextView::RefreshAfterChange(CTextBufferObserver*, const CUpdateContext* context,
                                         unsigned hint, int line) {
    if (hint & WholeText) {
        ResetLayout();
        UpdateVerticalScrollBar(false);
        UpdateHorizontalScrollBar(false);
        update();
        return;
    }
    int total = LineTotal();
    int first = std::max(line, 0);
    if (hint & MarksOnly) {
        // A bookmark changes the margin of its line, not the text's colours or widths.
        RepaintLines(first, first);
        return;
    }
    ForgetGuessedStates();
    if (stateCache.Exists()) {
        stateCache.Change(first, (hint & OneLineOnly) ? 0 : total - stateCache.Size());
        if (stateCache.Size() != total)
            stateCache.Free();  // never expected: colour everything again rather than wrongly
    }
    if (columnsCache.Exists()) {
        // A change is confined to its line and the lines added (or removed) right after it; the
        // lines below only moved. The changed lines are measured again at once, so that the
        // widest line stays known without measuring the whole text.
        int lastChanged = first;
        if (!(hint & OneLineOnly)) {
            int added = total - columnsCache.Size();
            if (added > 0)
                columnsCache.InsertLines(first + 1, added);
            else if (added < 0)
                columnsCache.RemoveLines(first + 1, -added);
            lastChanged = first + std::max(added, 0);
        }
        for (int changed = first; changed <= lastChanged && changed < total; ++changed) {
            columnsCache.Forget(changed);
            LineColumns(changed);
        }
    }

    RepaintLines(first, -1);
    if (context != nullptr) {
        for (TextPosition* position : {&caretPosition, &selectionStart, &selectionEnd, &anchor}) {
            context->AdjustPosition(*position);
        }
        if (draggingFromHere) {
            context->AdjustPosition(dragSourceStart);
            context->AdjustPosition(dragSourceEnd);
        }
        TextPosition top{0, topLine};
        context->AdjustPosition(top);
        topLine = top.y;
    }
    PlaceCaret();
    if ((hint & LineCountChanged) && MarginDigits() != marginDigitsShown) {
        // The margin grew or shrank: every line moves sideways.
        marginDigitsShown = MarginDigits();
        visibleColumnsCache = -1;
        update(ClientRect());
        PlaceCaret();
        UpdateHorizontalScrollBar(false);
    }
    if (hint & LineCountChanged)
        UpdateVerticalScrollBar(false);
    if (hint & LengthsChanged) {
        widestLineCache = -1;
        if (!horizontalUpdatesSuspended)
            UpdateHorizontalScrollBar(false);
    }
}
