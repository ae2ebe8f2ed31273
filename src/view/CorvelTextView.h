#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QMimeData>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ColorRun.h"
#include "CorvelTextBuffer.h"
#include "FindFlags.h"
#include "KeyTable.h"
#include "LineScanState.h"
#include "LineStateCache.h"
#include "LineWidthCache.h"
#include "LogFont.h"
#include "TextBufferObserver.h"
#include "TextEncoding.h"
#include "View.h"

class CCmdUI;
class CPaneHost;
class QPainter;
class QPrinter;
class QScrollBar;
struct CPrintInfo;

// Shows one text buffer: fixed character cells with tab stops, colour runs from a colouring hook,
// a selection margin with line numbers and bookmark icons, the caret and the selection, the
// keyboard and mouse navigation, and bookmarks. Any number of views may show one buffer.
class CCorvelTextView : public CView, public CTextBufferObserver {
public:
    explicit CCorvelTextView(QWidget* parent = nullptr);
    ~CCorvelTextView() override;

    // How the buffer's bytes are characters; Windows-1251 unless the document says otherwise.
    TextEncoding Encoding() const { return encoding; }
    // Shows the same bytes as characters of the other encoding: columns are measured again and
    // the caret and selection move to character boundaries.
    void SetEncoding(TextEncoding newEncoding);

    // --- Layout and painting
    virtual void ResetLayout();
    virtual void SyncSiblings(bool vertical);
    virtual void FollowSibling(CCorvelTextView* source, bool vertical);
    virtual int LineTotal() const;
    virtual int LineLength(int line) const;
    virtual int LineColumns(int line);
    virtual const char* LineText(int line) const;
    virtual std::uint32_t FlagsOfLine(int line) const;
    // The text between two positions, lines joined by CR LF.
    virtual std::string TextOfRange(TextPosition start, TextPosition end) const;
    virtual bool ClipboardHasText() const;
    // Puts text of the view's encoding with CR LF breaks on the clipboard, for other programs
    // as UTF-8 with LF breaks.
    virtual bool CopyToClipboard(const std::string& text);
    // The clipboard's text in the view's encoding with CR LF breaks; characters it cannot hold
    // (only Windows-1251 lacks any) are left out, and named in leftOut when given.
    virtual std::string TextFromClipboard(QStringList* leftOut = nullptr) const;
    // Text of the encoding with CR LF breaks as data for the clipboard or a drag, and back into
    // the encoding. Back, characters without a byte in it are left out; leftOut, when given,
    // receives each of them once, in the order they came (empty when none was).
    static QMimeData* MakeTextData(const std::string& text, TextEncoding encoding);
    static bool TextOfData(const QMimeData* data, TextEncoding encoding, std::string& text,
                           QStringList* leftOut = nullptr);
    // Whether the data offers text, without converting it.
    static bool HasTextData(const QMimeData* data);
    virtual QColor RoleColor(int role) const;
    // An override of the line's colours: none by default.
    virtual void LineHighlight(int line, std::optional<QColor>& background,
                               std::optional<QColor>& text, bool& fillAfterText) const;
    // How the line's findings mark the margin on the screen: 0 for none, 1 for a warning, 2 for
    // an error. Asked for every line painted, so it is a look-up; none in the base.
    virtual int ProblemLevelOfLine(int line) const {
        (void)line;
        return 0;
    }
    virtual bool IsRoleItalic(int role) const;
    virtual bool IsRoleBold(int role) const;
    virtual void PaintLine(QPainter& painter, const QRect& rectangle, int line);
    virtual void PaintMargin(QPainter& painter, const QRect& rectangle, int line, int lineNumber);
    // The colouring hook: runs for one line (none in the base) and the state at its end.
    virtual LineScanState ColorizeLine(LineScanState state, int line, ColorRun* runs,
                                       int& runCount);
    // The runs painting needs, for the characters from .. to - 1 of line: the run in force at
    // from with its start moved there (none when the first run starts later), then those that
    // start after from and before to, in room for 3 * (to - from) + 1 runs; and, with
    // wantEndState, the state at the line's end (otherwise any value). The base keeps these of
    // ColorizeLine's runs; a hook that can colour a window itself keeps a long line's painting
    // to the size of its visible part.
    virtual LineScanState ColorizeVisible(LineScanState state, int line, int from, int to,
                                          ColorRun* runs, int& runCount, bool wantEndState);
    virtual CCorvelTextBuffer* LocateBuffer();
    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override;
    void AfterEditAction(EditAction action, const char* text) override;

    int LineHeight();
    int CharWidth();
    int MarginWidth();
    // The digits the margin has room for: three, or as many as the last line's number has.
    int MarginDigits() const;
    int TabSize() const { return tabSize; }
    int VisibleLineCount();
    int VisibleColumnCount();
    int WidestLineColumns();
    int ColumnOfChar(int line, int index) const;
    int CharAtColumn(int line, int column) const;
    TextPosition PointToText(QPoint point);
    QPoint TextToPoint(TextPosition position);
    void RepaintLines(int first, int last);
    void ScrollToTopLine(int line, bool updateScrollBar);
    void ScrollToColumn(int column, bool updateScrollBar);
    void BringIntoView(TextPosition position);
    void UpdateVerticalScrollBar(bool positionOnly);
    void UpdateHorizontalScrollBar(bool positionOnly);
    void BindBuffer(CCorvelTextBuffer* buffer);
    void UnbindBuffer();
    CCorvelTextBuffer* Buffer() const { return buffer; }
    QFont FontFor(bool italic, bool bold);
    void ApplyFont(const LogFont& logFont);
    const LogFont& ViewLogFont() const { return logFontOfView; }
    LineScanState EndStateOfLine(int line);
    // Whether states were guessed for painting and wait for idle time to be computed.
    bool StatesPending() const { return guessedThrough >= 0; }
    // Runs idle time's computation of the states to its end, as the event loop would.
    void FinishStatesForTesting() {
        while (StatesPending())
            ContinueStatesInIdleTime();
    }
    // The part of the widget the text is drawn in: all of it but the view's own scroll bars.
    QRect ClientRect() const;

    // Places the view as pane identifier of a split frame, which hands it the shared scroll bars.
    void SetPane(CPaneHost* host, int identifier);
    // A scroll bar of the view (its own, or the one its frame shares along its row or column)
    // asks for a move; QAbstractSlider::SliderAction values.
    void ApplyScrollAction(bool vertical, int action);
    int PaneRow() const;
    int PaneColumn() const;

    // --- Caret, selection and navigation
    void NormalizeSelection();
    bool InSelection(TextPosition position) const;
    void SelectionBounds(TextPosition& start, TextPosition& end);
    bool HasSelection() const { return !(selectionStart == selectionEnd); }
    void SelectRange(TextPosition start, TextPosition end);
    void PlaceCursor(TextPosition position);
    void SetAnchorPoint(TextPosition position) { anchor = position; }
    void PlaceCaret();
    QPoint NearestBoundaryPoint(QPoint point) const;
    TextPosition WordEndFrom(int index, int line) const;
    TextPosition WordStartBefore(int index, int line) const;
    // One character on in the view's encoding: the next character's start, at a line's end the
    // start of the next line, at the text's end the position itself. position lies on a
    // character boundary; so does the result.
    TextPosition NextCharacterPosition(TextPosition position) const;
    // One character back: the start of the character that ends at position, at a line's start
    // the end of the line above, at the text's start the position itself.
    TextPosition PreviousCharacterPosition(TextPosition position) const;
    TextPosition CaretPosition() const { return caretPosition; }
    TextPosition SelectionStart() const { return selectionStart; }
    TextPosition SelectionEnd() const { return selectionEnd; }
    TextPosition Anchor() const { return anchor; }
    int IdealColumn() const { return idealColumn; }
    int TopLine() const { return topLine; }
    int HorizontalOffset() const { return horizontalOffset; }
    bool IsFocused() const { return focused; }
    bool HasBookmarks() const { return hasBookmarks; }
    // A press inside the selection has moved and waits for the drag to begin.
    bool DragWaiting() const { return dragWaiting; }
    // While a drag from a view of this program is under way: whether that view shows buffer and
    // position lies in the dragged text (its end excluded). Any view of the buffer may be the
    // drop target, another pane of the same window included.
    static bool InDraggedText(const CCorvelTextBuffer* buffer, TextPosition position);
    // Tests drive the auto-scroll timer with this point instead of the mouse's.
    std::optional<QPoint> autoScrollPointForTesting;
    void TickAutoScrollForTesting() { AutoScrollTick(); }
    // The caret as drawn: a bar 2 pixels wide, or an empty rectangle while it is hidden.
    QRect CaretRect() const { return caretShown ? caretRect : QRect(); }

    void StepCharLeft(bool extend);
    void StepCharRight(bool extend);
    void StepWordLeft(bool extend);
    void StepWordRight(bool extend);
    void StepLineUp(bool extend);
    void StepLineDown(bool extend);
    void StepPageUp(bool extend);
    void StepPageDown(bool extend);
    void GoLineStart(bool extend);
    void GoLineEnd(bool extend);
    void GoTextStart(bool extend);
    void GoTextEnd(bool extend);
    void NudgeViewUp();
    void NudgeViewDown();
    void NudgeViewLeft();
    void NudgeViewRight();
    void SelectWholeText();
    void CopySelectionToClipboard();

    // --- Search
    // The first occurrence of the pattern in a zero-terminated text, as an offset from its start,
    // or -1. With wholeWord the occurrence must be a whole word (see the overload below).
    static int FindInLineText(const char* text, const char* pattern, bool wholeWord);
    // The first occurrence at or after offset from in the length bytes of a line, which count as
    // followed by a terminating zero; the offset is from the line's start, or -1. A whole word
    // has no word character (ASCII letter, digit, '_'; in UTF-8 also any other letter or digit)
    // just before it in the line, even before from, nor just after it. Only an empty pattern can
    // be found at the end. In UTF-8 a match begins at a character boundary.
    static int FindInLineText(const char* text, int length, int from, const char* pattern,
                              int patternLength, bool wholeWord,
                              TextEncoding encoding = TextEncoding::Windows1251);
    // Searches the block for the zero-terminated pattern from start: forward to the first match
    // that begins before the block's end, or with SearchUp back to the nearest match that begins
    // before start. With wrap the search goes once more from the other end of the block.
    bool FindInBlock(const char* pattern, TextPosition start, TextPosition blockBegin,
                     TextPosition blockEnd, FindFlags flags, bool wrap, TextPosition& found) const;
    // FindInBlock over the whole text.
    bool FindInText(const char* pattern, TextPosition start, FindFlags flags, bool wrap,
                    TextPosition& found) const;
    // Selects the match of length characters at position, with the caret at its end, in view.
    void SelectFound(TextPosition position, int length);
    // Where a search from the position begins: an upward search from the end of the selection
    // begins at its start, so that Find previous steps over the match it selected last.
    TextPosition SearchStartFrom(TextPosition position, FindFlags flags);
    bool HaveLastSearch() const { return haveLastSearch; }
    const std::string& LastSearchText() const { return lastSearchText; }
    FindFlags LastSearchFlags() const { return lastSearchFlags; }
    bool SelectionShownUnfocused() const { return selectionShownUnfocused; }

    // --- Printing
    // The steps of a print job or a preview, run by PrintTo: begin, then for each page prepare
    // and print, then end. Printing uses the screen painting with the screen font scaled to the
    // printer; every page has a header band with the document's title and a footer band with
    // the page number.
    // Shows the print dialog unless the job prints directly or is a preview; false: cancelled.
    virtual bool OnPreparePrinting(CPrintInfo& info);
    virtual void OnBeginPrinting(QPainter& dc, CPrintInfo& info);
    virtual void OnPrepareDC(QPainter& dc, CPrintInfo& info);
    virtual void OnPrint(QPainter& dc, CPrintInfo& info);
    virtual void OnEndPrinting(QPainter& dc, CPrintInfo& info);
    virtual void ComputePageLayout(QPainter& dc, CPrintInfo& info);
    virtual void PrintHeader(QPainter& dc, int page);
    virtual void PrintFooter(QPainter& dc, int page);
    virtual QString HeaderText(int page);
    virtual QString FooterText(int page);
    // Runs the steps on the printer; false when the printer could not be started.
    bool PrintTo(QPrinter& printer, CPrintInfo& info);
    bool IsPrinting() const { return printerFont.has_value(); }
    int PageCount() const { return pageCount; }
    int PrinterLineHeight() const { return printerLineHeight; }
    QRect PageRect() const { return pageRect; }
    QRect TextRect() const { return textRect; }
    // A printer for the print commands: the desktop's default printer in high resolution, its
    // page margins at the least it can print with.
    static std::unique_ptr<QPrinter> MakePrinter();
    // Where the print commands find the printer whose settings printer setup changes; without a
    // source each job takes a fresh printer of its own.
    static void SetPrinterSource(std::function<QPrinter*()> source);

    static const CCommandTable& ClassCommands();

protected:
    const CCommandTable& Commands() const override;
    // While a search dialog is open the selection is painted as if the view had the focus.
    void SetSelectionShownUnfocused(bool shown);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void OnInitialUpdate() override;

    // The mouse selection: started by a press in the text or margin or a double click, ended by
    // the release or the loss of the focus.
    void StartMouseSelection(bool word, bool line);
    void EndMouseSelection();
    // Extends a mouse selection to q in word mode: the caret goes to the second end.
    void SelectWordsTo(TextPosition q);
    // The end of a line for line selection: the start of the next line, or the text's end.
    TextPosition EndOfLineWithBreak(int line);
    void AutoScrollTick();
    // The data a drag of the selection carries, or null when the selection is empty; keeps the
    // dragged range in dragSourceStart and dragSourceEnd.
    virtual QMimeData* MakeDragData();
    virtual Qt::DropActions AllowedDragEffects() const { return Qt::CopyAction; }
    // After a drag from this view was accepted with the effect; nothing in the text view.
    virtual void DragFinished(Qt::DropAction) {}
    // The keys of the text view's commands.
    static CKeyTable TextViewKeyTable();
    void UpdateCursorShape(QPoint point);
    static QCursor MarginCursor();
    // The first move after a press inside the selection makes the drag data and opens the undo
    // group of the drag. The drag then waits, as a desktop's drag operation does, until the
    // pointer leaves a small square or a short delay passes; a release, another button or Escape
    // before then cancels it and changes nothing.
    void BeginDrag(QPoint point);
    // The drag from this view starts: its undo group opens and drop targets can find it.
    void StartDragFromHere();
    void RunWaitingDrag();
    void EndDrag();
    void CancelDragWait();

    // The buffer shown, or none.
    CCorvelTextBuffer* buffer = nullptr;
    int topLine = 0;
    int horizontalOffset = 0;
    int lineHeightCache = -1;
    int charWidthCache = -1;
    int tabSize = 4;
    TextEncoding encoding = TextEncoding::Windows1251;
    int visibleLinesCache = -1;
    int visibleColumnsCache = -1;
    int widestLineCache = -1;
    int marginDigitsShown = 3;
    // The horizontal bar's range was not set while the view was hidden.
    bool horizontalRangeWaiting = false;
    LogFont logFontOfView;
    std::array<std::optional<QFont>, 4> fonts;  // by italic * 2 + bold
    QPixmap lineBitmap;
    QPixmap marginIcons;
    CLineStateCache stateCache;
    // The lines painted last from guessed states, from guessedFirst on, and the states they
    // ended in; and the lowest line so painted since the exact states were last complete.
    static constexpr std::size_t kMostGuessedStates = 1024;
    int guessedFirst = -1;
    std::vector<LineScanState> guessedStates;
    int guessedThrough = -1;
    QBasicTimer statesTimer;
    // Measures the widths of the lines of a long text in idle time, from measureCursor on.
    QBasicTimer widthsTimer;
    int measureCursor = 0;
    CLineWidthCache columnsCache;
    bool focused = false;
    bool caretHidden = false;

    TextPosition caretPosition;
    TextPosition selectionStart;
    TextPosition selectionEnd;
    TextPosition orderedStart;
    TextPosition orderedEnd;
    TextPosition anchor;
    int idealColumn = -1;
    bool mouseSelecting = false;
    bool wordSelecting = false;
    bool lineSelecting = false;
    QBasicTimer scrollTimer;
    bool dragPending = false;
    bool draggingFromHere = false;
    bool dragWaiting = false;
    QPoint dragWaitPoint;
    QBasicTimer dragDelayTimer;
    std::unique_ptr<QMimeData> waitingDragData;
    TextPosition dragSourceStart;
    TextPosition dragSourceEnd;
    // The view a drag is under way from, for drop targets among the views of its buffer.
    static CCorvelTextView* dragSourceView;
    // The grey caret of a drop under way, drawn by the view; empty while none is shown.
    QRect dropCaretRect;

    bool hasBookmarks = false;
    // Set by the edit view around its block commands: the horizontal bar is not updated.
    bool horizontalUpdatesSuspended = false;
    // Set by the search: the selection is painted also while the view has no focus.
    bool selectionShownUnfocused = false;
    // The last search defined by the Find dialog in this view; Find next repeats it.
    bool haveLastSearch = false;
    std::string lastSearchText;
    // The characters of the last search text that have no byte: while any, Find next refuses.
    QStringList lastSearchUnencodable;
    // The encoding lastSearchText is in: a view shown in another encoding since converts it.
    TextEncoding lastSearchEncoding = TextEncoding::Windows1251;
    FindFlags lastSearchFlags{};

    // From the beginning to the end of printing: the screen font scaled to the printer.
    std::optional<QFont> printerFont;
    // The view's font as it was before printing began.
    LogFont savedLogFont;
    int pageCount = 0;  // 0 while not known
    // The height of a line of the printer font: the spacing of the header and footer bands.
    int printerLineHeight = 0;
    QRect pageRect;
    // The page less the margins and the two bands: the lines are drawn in it.
    QRect textRect;

private:
    void MeasureFont();
    // The columns a line takes, measured.
    int MeasureColumns(int line) const;
    // Computes the states down to line; false when budget (in characters, -1 for none) ran out
    // first.
    bool ComputeStates(int line, long budget);
    // The state line ends in, for painting: exact unless it lies so far below the known states
    // that computing them would keep the window waiting; then it is guessed from a few lines
    // above, and idle time computes the exact states and paints the view again.
    LineScanState StateForPainting(int line);
    void NoteGuessedState(int line, LineScanState state);
    // The text changed: the states guessed no longer chain on.
    void ForgetGuessedStates();
    void StopGuessingStates();
    void ContinueStatesInIdleTime();
    void ContinueMeasuringWidths();
    void EnsureMarginIcons();
    // The mark of a line's findings (ProblemLevelOfLine) in the margin.
    void PaintProblemMark(QPainter& painter, const QRect& rectangle, int level);
    // How a segment of a line is drawn, handed from segment to segment: its colours and font,
    // and the point and column the next one starts at.
    struct LinePen {
        QColor background;
        QColor text;
        QFont font;
        QPoint origin;
        int column = 0;
    };
    struct VisibleBytes;
    // The visible characters of a line of some length, coloured by the hook; the pen ends past
    // the last of them.
    void PaintCharacters(QPainter& painter, const QRect& rectangle, int line, LinePen& pen,
                         const std::optional<QColor>& textOverride);
    // Colours the visible bytes of the line into visibleRuns, keeping the line states; the
    // number of runs.
    int ColorVisibleRuns(int line, const VisibleBytes& visible);
    void PaintSegment(QPainter& painter, LinePen& pen, const QRect& clip, const char* characters,
                      int offset, int count, TextPosition start);
    // Draws count characters from offset at the pen's point and column; both move on.
    void PaintText(QPainter& painter, LinePen& pen, const QRect& clip, const char* characters,
                   int offset, int count);
    // The characters decoded for drawing, the first at column, tabs expanded to the next tab
    // stop of the line.
    QString ExpandTabs(int column, const char* characters, int offset, int count) const;
    // The bytes of a line whose cells reach into the columns firstColumn .. endColumn - 1, and
    // the column the first of them starts at.
    struct VisibleBytes {
        int from;
        int fromColumn;
        int to;
    };
    VisibleBytes VisibleBytesOf(int line, int firstColumn, int endColumn) const;
    void DrawCells(QPainter& painter, const LinePen& pen, QPoint at, const QString& text);
    QScrollBar* VerticalBar() const;
    QScrollBar* HorizontalBar() const;
    void LayoutOwnScrollBars();
    // Repaints the lines between the two positions.
    void RepaintRange(TextPosition from, TextPosition to);
    // The end of every caret command: into view, caret placed, selection from the anchor.
    void FinishCaretMove(bool extend);
    // The position on line that has as many characters before it as from has on its own line,
    // or the end of line when it is shorter.
    TextPosition KeepCharacterIndex(TextPosition from, int line) const;
    void BlinkCaret();
    void ShowCaretAt(const QRect& rectangle);

    void OnCaretCommand(int id);
    void OnNudgeUp() { NudgeViewUp(); }
    void OnNudgeDown() { NudgeViewDown(); }
    void OnEditCopy() { CopySelectionToClipboard(); }
    void OnUpdateEditCopy(CCmdUI& ui);
    void OnEditSelectAll() { SelectWholeText(); }
    void OnUpdateEditSelectAll(CCmdUI& ui);
    void OnUpdatePosition(CCmdUI& ui);
    void OnUpdateLineEnding(CCmdUI& ui);
    void OnToggleNumberedBookmark(int id);
    void OnGoNumberedBookmark(int id);
    void OnClearNumberedBookmarks();
    void OnToggleBookmark();
    void OnNextBookmark();
    void OnPreviousBookmark();
    void OnClearAllBookmarks();
    void OnUpdateBookmarkTravel(CCmdUI& ui);
    void JumpToLine(int line);
    void OnEditFind();
    void OnUpdateEditFind(CCmdUI& ui);
    void OnEditRepeat();
    void OnEditFindPrevious();
    void OnUpdateEditRepeat(CCmdUI& ui);
    // Repeats the last search with these flags, from the caret.
    void RepeatSearch(FindFlags flags);
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnFilePageSetup();
    // Prepares and prints a job on the printer the commands use.
    void PrintJob(bool direct);

    CPaneHost* paneHost = nullptr;
    int paneIdentifier = 0;
    QScrollBar* ownVerticalBar = nullptr;
    QScrollBar* ownHorizontalBar = nullptr;
    // The width of the own vertical bar and the height of the horizontal one, as laid out.
    QSize ownBarsExtent;
    QBasicTimer caretBlinkTimer;
    // The selection a word-mode extension computed, start then end.
    std::pair<TextPosition, TextPosition> pendingSelection;
    QRect caretRect;
    // The parts of a line the wheel or touchpad moved by that have not yet scrolled a line.
    int wheelAngleRemainder = 0;
    int wheelPixelRemainder = 0;
    bool caretWanted = false;  // the caret should be on screen, blinking
    bool caretShown = false;   // the blink phase in which it is drawn
    // Room for the runs of the visible part of a line, and for those of whole lines that the
    // general hook colours, kept from paint to paint.
    std::vector<ColorRun> visibleRuns;
    std::vector<ColorRun> lineRuns;
    // The text background the margin's digits stand on: that of the line painted before.
    QColor marginTextBackground;
};
