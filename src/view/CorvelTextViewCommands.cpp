// The command table, key table, status panes and bookmark commands of CCorvelTextView; the
// search commands are in CorvelTextViewSearch.cpp, the print commands in CorvelTextViewPrint.cpp.

#include <QTimerEvent>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "CorvelTextView.h"
#include "TextEncoding.h"

CKeyTable CCorvelTextView::TextViewKeyTable() {
    const auto shift = Qt::ShiftModifier;
    const auto ctrl = Qt::ControlModifier;
    const auto alt = Qt::AltModifier;
    CKeyTable table{
        {Qt::Key_Left, ID_STEP_CHAR_LEFT},
        {shift | Qt::Key_Left, ID_STEP_CHAR_LEFT_EXTEND},
        {Qt::Key_Right, ID_STEP_CHAR_RIGHT},
        {shift | Qt::Key_Right, ID_STEP_CHAR_RIGHT_EXTEND},
        {ctrl | Qt::Key_Left, ID_STEP_WORD_LEFT},
        {ctrl | shift | Qt::Key_Left, ID_STEP_WORD_LEFT_EXTEND},
        {ctrl | Qt::Key_Right, ID_STEP_WORD_RIGHT},
        {ctrl | shift | Qt::Key_Right, ID_STEP_WORD_RIGHT_EXTEND},
        {Qt::Key_Up, ID_STEP_LINE_UP},
        {shift | Qt::Key_Up, ID_STEP_LINE_UP_EXTEND},
        {Qt::Key_Down, ID_STEP_LINE_DOWN},
        {shift | Qt::Key_Down, ID_STEP_LINE_DOWN_EXTEND},
        {ctrl | Qt::Key_Up, ID_NUDGE_VIEW_UP},
        {ctrl | Qt::Key_Down, ID_NUDGE_VIEW_DOWN},
        {Qt::Key_PageUp, ID_STEP_PAGE_UP},
        {shift | Qt::Key_PageUp, ID_STEP_PAGE_UP_EXTEND},
        {Qt::Key_PageDown, ID_STEP_PAGE_DOWN},
        {shift | Qt::Key_PageDown, ID_STEP_PAGE_DOWN_EXTEND},
        {Qt::Key_End, ID_GO_LINE_END},
        {shift | Qt::Key_End, ID_GO_LINE_END_EXTEND},
        {Qt::Key_Home, ID_GO_LINE_START},
        {shift | Qt::Key_Home, ID_GO_LINE_START_EXTEND},
        {ctrl | Qt::Key_Home, ID_GO_TEXT_START},
        {ctrl | shift | Qt::Key_Home, ID_GO_TEXT_START_EXTEND},
        {ctrl | Qt::Key_End, ID_GO_TEXT_END},
        {ctrl | shift | Qt::Key_End, ID_GO_TEXT_END_EXTEND},
        {ctrl | Qt::Key_C, ID_EDIT_COPY},
        {ctrl | Qt::Key_Insert, ID_EDIT_COPY},
        {ctrl | Qt::Key_A, ID_EDIT_SELECT_ALL},
        {ctrl | Qt::Key_F2, ID_TOGGLE_BOOKMARK},
        {Qt::Key_F2, ID_NEXT_BOOKMARK},
        {shift | Qt::Key_F2, ID_PREVIOUS_BOOKMARK},
        {ctrl | shift | Qt::Key_F2, ID_CLEAR_ALL_BOOKMARKS},
        {ctrl | Qt::Key_F, ID_EDIT_FIND},
        {Qt::Key_F3, ID_EDIT_REPEAT},
        {shift | Qt::Key_F3, ID_EDIT_FIND_PREVIOUS},
        // Handled where the document is known; a view without one leaves them disabled.
        {Qt::Key_F12, ID_GO_TO_DEFINITION},
        {shift | Qt::Key_F12, ID_FIND_USAGES},
        {alt | Qt::Key_Left, ID_GO_BACK},
    };
    for (int digit = 0; digit <= 9; ++digit) {
        auto key = static_cast<Qt::Key>(Qt::Key_0 + digit);
        table.Bind(ctrl | key, ToggleNumberedBookmarkId(digit));
        table.Bind(alt | key, GoNumberedBookmarkId(digit));
    }
    return table;
}

const CCommandTable& CCorvelTextView::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CCorvelTextView>(CView::ClassCommands())
            .OnRange(ID_STEP_CHAR_LEFT, ID_GO_TEXT_END_EXTEND, &CCorvelTextView::OnCaretCommand)
            .On(ID_EDIT_COPY, &CCorvelTextView::OnEditCopy)
            .OnUpdate(ID_EDIT_COPY, &CCorvelTextView::OnUpdateEditCopy)
            .On(ID_EDIT_SELECT_ALL, &CCorvelTextView::OnEditSelectAll)
            .OnUpdate(ID_EDIT_SELECT_ALL, &CCorvelTextView::OnUpdateEditSelectAll)
            .OnUpdate(ID_INDICATOR_POSITION, &CCorvelTextView::OnUpdatePosition)
            .OnUpdate(ID_INDICATOR_LINE_ENDING, &CCorvelTextView::OnUpdateLineEnding)
            .OnRange(ID_TOGGLE_NUMBERED_BOOKMARK_0, ID_TOGGLE_NUMBERED_BOOKMARK_9,
                     &CCorvelTextView::OnToggleNumberedBookmark)
            .OnRange(ID_GO_NUMBERED_BOOKMARK_0, ID_GO_NUMBERED_BOOKMARK_9,
                     &CCorvelTextView::OnGoNumberedBookmark)
            .On(ID_CLEAR_NUMBERED_BOOKMARKS, &CCorvelTextView::OnClearNumberedBookmarks)
            .On(ID_TOGGLE_BOOKMARK, &CCorvelTextView::OnToggleBookmark)
            .On(ID_NEXT_BOOKMARK, &CCorvelTextView::OnNextBookmark)
            .OnUpdate(ID_NEXT_BOOKMARK, &CCorvelTextView::OnUpdateBookmarkTravel)
            .On(ID_PREVIOUS_BOOKMARK, &CCorvelTextView::OnPreviousBookmark)
            .OnUpdate(ID_PREVIOUS_BOOKMARK, &CCorvelTextView::OnUpdateBookmarkTravel)
            .On(ID_CLEAR_ALL_BOOKMARKS, &CCorvelTextView::OnClearAllBookmarks)
            .OnUpdate(ID_CLEAR_ALL_BOOKMARKS, &CCorvelTextView::OnUpdateBookmarkTravel)
            .On(ID_EDIT_FIND, &CCorvelTextView::OnEditFind)
            .OnUpdate(ID_EDIT_FIND, &CCorvelTextView::OnUpdateEditFind)
            .On(ID_EDIT_REPEAT, &CCorvelTextView::OnEditRepeat)
            .OnUpdate(ID_EDIT_REPEAT, &CCorvelTextView::OnUpdateEditRepeat)
            .On(ID_EDIT_FIND_PREVIOUS, &CCorvelTextView::OnEditFindPrevious)
            .OnUpdate(ID_EDIT_FIND_PREVIOUS, &CCorvelTextView::OnUpdateEditRepeat)
            .On(ID_FILE_PRINT, &CCorvelTextView::OnFilePrint)
            .On(ID_FILE_PRINT_DIRECT, &CCorvelTextView::OnFilePrintDirect)
            .On(ID_FILE_PRINT_PREVIEW, &CCorvelTextView::OnFilePrintPreview)
            .On(ID_FILE_PAGE_SETUP, &CCorvelTextView::OnFilePageSetup)
            .Build();
    return table;
}

const CCommandTable& CCorvelTextView::Commands() const {
    return ClassCommands();
}

void CCorvelTextView::OnCaretCommand(int id) {
    // The ids come in pairs: the plain movement, then its Shift variant that extends.
    bool extend = (id - ID_STEP_CHAR_LEFT) % 2 == 1;
    switch (id) {
        case ID_STEP_CHAR_LEFT:
        case ID_STEP_CHAR_LEFT_EXTEND:
            StepCharLeft(extend);
            break;
        case ID_STEP_CHAR_RIGHT:
        case ID_STEP_CHAR_RIGHT_EXTEND:
            StepCharRight(extend);
            break;
        case ID_STEP_WORD_LEFT:
        case ID_STEP_WORD_LEFT_EXTEND:
            StepWordLeft(extend);
            break;
        case ID_STEP_WORD_RIGHT:
        case ID_STEP_WORD_RIGHT_EXTEND:
            StepWordRight(extend);
            break;
        case ID_STEP_LINE_UP:
        case ID_STEP_LINE_UP_EXTEND:
            StepLineUp(extend);
            break;
        case ID_STEP_LINE_DOWN:
        case ID_STEP_LINE_DOWN_EXTEND:
            StepLineDown(extend);
            break;
        case ID_NUDGE_VIEW_UP:
            NudgeViewUp();
            break;
        case ID_NUDGE_VIEW_DOWN:
            NudgeViewDown();
            break;
        case ID_STEP_PAGE_UP:
        case ID_STEP_PAGE_UP_EXTEND:
            StepPageUp(extend);
            break;
        case ID_STEP_PAGE_DOWN:
        case ID_STEP_PAGE_DOWN_EXTEND:
            StepPageDown(extend);
            break;
        case ID_GO_LINE_END:
        case ID_GO_LINE_END_EXTEND:
            GoLineEnd(extend);
            break;
        case ID_GO_LINE_START:
        case ID_GO_LINE_START_EXTEND:
            GoLineStart(extend);
            break;
        case ID_GO_TEXT_START:
        case ID_GO_TEXT_START_EXTEND:
            GoTextStart(extend);
            break;
        case ID_GO_TEXT_END:
        case ID_GO_TEXT_END_EXTEND:
            GoTextEnd(extend);
            break;
        default:
            break;
    }
}

void CCorvelTextView::OnUpdateEditCopy(CCmdUI& ui) {
    ui.Enable(HasSelection());
}

void CCorvelTextView::OnUpdateEditSelectAll(CCmdUI& ui) {
    ui.Enable(true);
}

void CCorvelTextView::OnUpdatePosition(CCmdUI& ui) {
    // A view whose document is still being read (its "cannot open" message may be showing) has
    // no line for the caret yet.
    if (buffer != nullptr && buffer->LineTotal() <= caretPosition.y) {
        ui.SetText("");
        ui.Enable(false);
        return;
    }
    // The column counts characters: a tab is one, whatever its width on screen.
    int column = TextCodec::CharactersBefore(encoding, LineText(caretPosition.y),
                                             LineLength(caretPosition.y), caretPosition.x);
    ui.SetText("Ln " + std::to_string(caretPosition.y + 1) + ", Col " + std::to_string(column + 1));
    ui.Enable(true);
}

void CCorvelTextView::OnUpdateLineEnding(CCmdUI& ui) {
    const char* indicator = buffer ? LineEndingIndicator(buffer->CurrentLineEnding()) : "";
    ui.SetText(indicator);
    ui.Enable(*indicator != '\0');
}

void CCorvelTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == scrollTimer.timerId())
        AutoScrollTick();
    else if (event->timerId() == caretBlinkTimer.timerId())
        BlinkCaret();
    else if (event->timerId() == dragDelayTimer.timerId() && dragWaiting)
        RunWaitingDrag();
    else if (event->timerId() == statesTimer.timerId())
        ContinueStatesInIdleTime();
    else if (event->timerId() == widthsTimer.timerId())
        ContinueMeasuringWidths();
    else
        CView::timerEvent(event);
}

// --- Bookmarks: bits of the lines' flags in the buffer, shared by every view of it

void CCorvelTextView::JumpToLine(int line) {
    TextPosition position{0, line};
    PlaceCursor(position);
    SelectRange(position, position);
    SetAnchorPoint(position);
    BringIntoView(position);
}

void CCorvelTextView::OnToggleNumberedBookmark(int id) {
    if (buffer == nullptr)
        return;
    std::uint32_t flag = NumberedBookmark(id - ID_TOGGLE_NUMBERED_BOOKMARK_0);
    bool carries = (buffer->FlagsOfLine(caretPosition.y) & flag) != 0;
    buffer->ChangeLineFlag(caretPosition.y, flag, !carries, true);
}

void CCorvelTextView::OnGoNumberedBookmark(int id) {
    if (buffer == nullptr)
        return;
    int line = buffer->LineOfSingleFlag(NumberedBookmark(id - ID_GO_NUMBERED_BOOKMARK_0));
    if (line != -1)
        JumpToLine(line);
}

void CCorvelTextView::OnClearNumberedBookmarks() {
    if (buffer == nullptr)
        return;
    for (int n = 0; n <= 9; ++n) {
        int line = buffer->LineOfSingleFlag(NumberedBookmark(n));
        if (line != -1)
            buffer->ChangeLineFlag(line, NumberedBookmark(n), false, false);
    }
}

void CCorvelTextView::OnToggleBookmark() {
    if (buffer == nullptr)
        return;
    bool carries = (buffer->FlagsOfLine(caretPosition.y) & Bookmark) != 0;
    buffer->ChangeLineFlag(caretPosition.y, Bookmark, !carries, false);
    hasBookmarks = buffer->FirstLineWithFlags(Bookmark) != -1;
}

void CCorvelTextView::OnNextBookmark() {
    if (buffer == nullptr)
        return;
    int line = buffer->NextBookmarkedLine(caretPosition.y);
    if (line != -1)
        JumpToLine(line);
}

void CCorvelTextView::OnPreviousBookmark() {
    if (buffer == nullptr)
        return;
    int line = buffer->PreviousBookmarkedLine(caretPosition.y);
    if (line != -1)
        JumpToLine(line);
}

void CCorvelTextView::OnClearAllBookmarks() {
    if (buffer == nullptr)
        return;
    for (int line = 0; line < buffer->LineTotal(); ++line) {
        if (buffer->FlagsOfLine(line) & Bookmark)
            buffer->ChangeLineFlag(line, Bookmark, false, false);
    }
    hasBookmarks = false;
}

void CCorvelTextView::OnUpdateBookmarkTravel(CCmdUI& ui) {
    ui.Enable(hasBookmarks);
}
