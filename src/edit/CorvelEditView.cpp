#include "CorvelEditView.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QStatusTipEvent>
#include <cstring>
#include <functional>

#include "CmdUI.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "EditDropTargetImpl.h"
#include "EditReplaceDlg.h"
#include "EditStrings.h"
#include "ModalHost.h"
#include "SettingsStore.h"
#include "TextEncoding.h"
#include "Windows1251.h"

namespace {

constexpr char kEnter = 13;

bool IsAsciiWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

}  // namespace

CCorvelEditView::CCorvelEditView(QWidget* parent) : CCorvelTextView(parent) {
    SetKeyTable(EditViewKeyTable());
    setAcceptDrops(true);
    dropTarget = std::make_unique<CEditDropTargetImpl>(*this);
}

CCorvelEditView::~CCorvelEditView() {
    dropTarget.reset();
}

CKeyTable CCorvelEditView::EditViewKeyTable() {
    CKeyTable table = TextViewKeyTable();
    const auto shift = Qt::ShiftModifier;
    const auto ctrl = Qt::ControlModifier;
    const auto alt = Qt::AltModifier;
    table.Bind(Qt::Key_Delete, ID_EDIT_DELETE);
    table.Bind(Qt::Key_Backspace, ID_EDIT_DELETE_BACK);
    table.Bind(ctrl | Qt::Key_Backspace, ID_EDIT_DELETE_WORD_BACK);
    table.Bind(Qt::Key_Tab, ID_EDIT_TAB);
    table.Bind(shift | Qt::Key_Tab, ID_EDIT_UNTAB);
    table.Bind(Qt::Key_Insert, ID_EDIT_SWITCH_OVERWRITE);
    table.Bind(ctrl | Qt::Key_V, ID_EDIT_PASTE);
    table.Bind(shift | Qt::Key_Insert, ID_EDIT_PASTE);
    table.Bind(ctrl | Qt::Key_X, ID_EDIT_CUT);
    table.Bind(shift | Qt::Key_Delete, ID_EDIT_CUT);
    table.Bind(ctrl | Qt::Key_Z, ID_EDIT_UNDO);
    table.Bind(alt | Qt::Key_Backspace, ID_EDIT_UNDO);
    table.Bind(ctrl | Qt::Key_Y, ID_EDIT_REDO);
    table.Bind(ctrl | Qt::Key_H, ID_EDIT_REPLACE);
    table.Bind(ctrl | Qt::Key_Space, ID_COMPLETE_WORD);
    return table;
}

const CCommandTable& CCorvelEditView::ClassCommands() {
    static const CCommandTable table =
        CCommandTable::Builder<CCorvelEditView>(CCorvelTextView::ClassCommands())
            .On(ID_EDIT_DELETE, &CCorvelEditView::OnEditDelete)
            .On(ID_EDIT_DELETE_BACK, &CCorvelEditView::OnEditDeleteBack)
            .On(ID_EDIT_TAB, &CCorvelEditView::OnEditTab)
            .On(ID_EDIT_UNTAB, &CCorvelEditView::OnEditUntab)
            .On(ID_EDIT_CUT, &CCorvelEditView::OnEditCut)
            .OnUpdate(ID_EDIT_CUT, &CCorvelEditView::OnUpdateEditCut)
            .On(ID_EDIT_PASTE, &CCorvelEditView::OnEditPaste)
            .OnUpdate(ID_EDIT_PASTE, &CCorvelEditView::OnUpdateEditPaste)
            .On(ID_EDIT_SWITCH_OVERWRITE, &CCorvelEditView::OnEditSwitchOverwrite)
            .OnUpdate(ID_EDIT_SWITCH_OVERWRITE, &CCorvelEditView::OnUpdateEditSwitchOverwrite)
            .On(ID_EDIT_UNDO, &CCorvelEditView::OnEditUndo)
            .OnUpdate(ID_EDIT_UNDO, &CCorvelEditView::OnUpdateEditUndo)
            .On(ID_EDIT_REDO, &CCorvelEditView::OnEditRedo)
            .OnUpdate(ID_EDIT_REDO, &CCorvelEditView::OnUpdateEditRedo)
            .On(ID_EDIT_REPLACE, &CCorvelEditView::OnEditReplace)
            .OnUpdate(ID_INDICATOR_OVR, &CCorvelEditView::OnUpdateIndicatorOverwrite)
            .OnUpdate(ID_INDICATOR_READ, &CCorvelEditView::OnUpdateIndicatorRead)
            .OnUpdate(ID_INDICATOR_BLANK, &CCorvelEditView::OnUpdateIndicatorBlank)
            .OnUpdate(ID_INDICATOR_ENCODING, &CCorvelEditView::OnUpdateIndicatorEncoding)
            .Build();
    return table;
}

const CCommandTable& CCorvelEditView::Commands() const {
    return ClassCommands();
}

void CCorvelEditView::ResetLayout() {
    autoIndent = true;
    overwriteMode = false;
    CCorvelTextView::ResetLayout();
}

bool CCorvelEditView::IsEditable() const {
    return buffer != nullptr && !buffer->IsReadOnly();
}

void CCorvelEditView::RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                                         unsigned hint, int line) {
    CCorvelTextView::RefreshAfterChange(source, context, hint, line);
    if (context != nullptr && selectionSaved) {
        context->AdjustPosition(savedSelectionStart);
        context->AdjustPosition(savedSelectionEnd);
    }
}

void CCorvelEditView::CollapseAt(TextPosition p) {
    SetAnchorPoint(p);
    SelectRange(p, p);
    PlaceCursor(p);
    BringIntoView(p);
}

bool CCorvelEditView::RemoveSelection() {
    if (!HasSelection())
        return false;
    TextPosition start, end;
    SelectionBounds(start, end);
    CollapseAt(start);
    buffer->DeleteRange(this, start.y, start.x, end.y, end.x, EditAction::DeleteSelection);
    return true;
}

bool CCorvelEditView::ReplaceSelection(const char* text) {
    if (!HasSelection() || !IsEditable())
        return false;
    RemoveSelection();
    TextPosition start = caretPosition;
    TextPosition end = start;
    int endLine, endCharacter;
    if (buffer->InsertAt(this, start.y, start.x, text, endLine, endCharacter, EditAction::Replace))
        end = {endCharacter, endLine};
    SetAnchorPoint(end);
    SelectRange(start, end);
    PlaceCursor(end);
    BringIntoView(end);
    return true;
}

void CCorvelEditView::SuspendViewUpdates(bool suspend) {
    horizontalUpdatesSuspended = suspend;
    setUpdatesEnabled(!suspend);  // enabling again repaints the whole window
    if (!suspend)
        UpdateHorizontalScrollBar(false);
}

// --- Replace

void CCorvelEditView::OnEditReplace() {
    if (!IsEditable())
        return;
    CEditReplaceDlg dialog(*this, this);
    {
        CSettingsStore settings;
        settings.beginGroup(QStringLiteral("CorvelEdit/Replace"));
        dialog.matchCase = settings.value(QStringLiteral("MatchCase"), 0).toInt() != 0;
        dialog.wholeWord = settings.value(QStringLiteral("WholeWord"), 0).toInt() != 0;
        dialog.findWhat = settings.value(QStringLiteral("FindWhat"), QString()).toString();
        dialog.replaceWith = settings.value(QStringLiteral("ReplaceWith"), QString()).toString();
    }
    if (HasSelection()) {
        SelectionBounds(savedSelectionStart, savedSelectionEnd);
        selectionSaved = true;
        dialog.startPosition = dialog.blockBegin = savedSelectionStart;
        dialog.blockEnd = savedSelectionEnd;
        dialog.scope = 0;
        dialog.selectionScopeAllowed = true;
    } else {
        dialog.scope = 1;
        dialog.selectionScopeAllowed = false;
        dialog.startPosition = caretPosition;
    }

    SetSelectionShownUnfocused(true);
    dialog.DoModal();
    SetSelectionShownUnfocused(false);

    if (selectionSaved) {
        // The selection comes back over the same text, replacements included (RefreshAfterChange
        // moved its bounds), with the caret at its end as a keyboard selection leaves it.
        SetAnchorPoint(savedSelectionStart);
        SelectRange(savedSelectionStart, savedSelectionEnd);
        PlaceCursor(savedSelectionEnd);
        selectionSaved = false;
    }
    CSettingsStore settings;
    settings.beginGroup(QStringLiteral("CorvelEdit/Replace"));
    settings.setValue(QStringLiteral("MatchCase"), dialog.matchCase ? 1 : 0);
    settings.setValue(QStringLiteral("WholeWord"), dialog.wholeWord ? 1 : 0);
    settings.setValue(QStringLiteral("FindWhat"), dialog.findWhat);
    settings.setValue(QStringLiteral("ReplaceWith"), dialog.replaceWith);
}

// --- Typing

void CCorvelEditView::keyPressEvent(QKeyEvent* event) {
    // Keys of the key table have already run their commands; what is left is typed.
    if (DragWaiting() && event->key() == Qt::Key_Escape) {
        CCorvelTextView::keyPressEvent(event);
        return;
    }
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Ctrl+Enter gives a line feed, which types nothing; with Alt held it is a command key.
        if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier)))
            TypeCharacter(kEnter);
        event->accept();
        return;
    }
    bool command = (modifiers & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if (!command && !event->text().isEmpty()) {
        TypeText(event->text());
        event->accept();
        return;
    }
    CCorvelTextView::keyPressEvent(event);
}

void CCorvelEditView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty())
        TypeText(event->commitString());
    event->accept();
}

void CCorvelEditView::TypeText(const QString& text) {
    if (encoding == TextEncoding::Utf8) {
        // Every character has a UTF-8 form: nothing is left out, nothing to tell.
        for (char32_t character : text.toStdU32String()) {
            if (character < 0x80)
                TypeCharacter(static_cast<unsigned char>(character));
            else if (character >= 0xA0)  // U+0080 to U+009F are controls, as those below 32
                TypeEncoded(TextCodec::Encode(encoding, QString::fromUcs4(&character, 1)), true);
        }
        return;
    }
    for (QChar character : text) {
        char byte;
        if (character.isSurrogate() || !Windows1251::FromUnicode(character.unicode(), byte))
            continue;  // no byte in the code page: not typed
        TypeCharacter(static_cast<unsigned char>(byte));
    }
    const QStringList missing = Windows1251::Unencodable(text);
    if (missing.isEmpty() || !IsEditable())
        return;
    // A character that silently vanished could change a value ("10μF" read as 10 femtofarads).
    int id = missing.size() == 1 ? kCharacterNotTyped : kCharactersNotTyped;
    QStatusTipEvent prompt(QString::fromUtf8(EditString(id)).arg(missing.join(QLatin1Char(' '))));
    QApplication::sendEvent(this, &prompt);
}

void CCorvelEditView::ReportCharactersNotInserted(const QStringList& missing) {
    AfxMessageBox(
        QString::fromUtf8(EditString(kCharactersNotInserted)).arg(missing.join(QLatin1Char(' '))),
        MB_OK | MB_ICONEXCLAMATION);
}

void CCorvelEditView::TypeCharacter(unsigned char character) {
    if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton))
        return;
    if (buffer == nullptr)
        return;
    int endLine, endCharacter;
    if (character == kEnter) {
        if (overwriteMode && caretPosition.y < LineTotal() - 1) {
            CollapseAt({0, caretPosition.y + 1});
            return;
        }
        buffer->OpenUndoGroup(false);
        bool inserted = false;
        if (IsEditable()) {
            RemoveSelection();
            if (buffer->InsertAt(this, caretPosition.y, caretPosition.x, "\r\n", endLine,
                                 endCharacter, EditAction::Typing)) {
                CollapseAt({endCharacter, endLine});
                inserted = true;
            }
        }
        lineBreakTyped = inserted;
        buffer->CloseUndoGroup(this);
        lineBreakTyped = false;
        return;
    }
    if (character < 32)
        return;
    if (character < 0x80 || encoding == TextEncoding::Windows1251) {
        TypeEncoded(std::string(1, static_cast<char>(character)), character != ' ');
        return;
    }
    // A letter of the code page, written as the document writes it.
    const char32_t unicode = Windows1251::ToUnicode(character);
    TypeEncoded(TextCodec::Encode(encoding, QString::fromUcs4(&unicode, 1)), true);
}

void CCorvelEditView::TypeEncoded(const std::string& bytes, bool joinsStep) {
    if (bytes.empty() || !IsEditable())
        return;
    if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton))
        return;
    // Letters join the step before; a space starts a new one.
    buffer->OpenUndoGroup(joinsStep);
    TextPosition at = caretPosition;
    if (HasSelection()) {
        TextPosition end;
        SelectionBounds(at, end);
        RemoveSelection();
    } else if (overwriteMode && at.x < LineLength(at.y)) {
        // Overwrite replaces the whole character under the caret, never the line break.
        int next = TextCodec::NextCharacter(encoding, LineText(at.y), LineLength(at.y), at.x);
        buffer->DeleteRange(this, at.y, at.x, at.y, next, EditAction::Typing);
    }
    int endLine, endCharacter;
    if (buffer->InsertAt(this, at.y, at.x, bytes.c_str(), endLine, endCharacter,
                         EditAction::Typing))
        CollapseAt({endCharacter, endLine});
    buffer->CloseUndoGroup(this);
}

void CCorvelEditView::AfterEditAction(EditAction action, const char* text) {
    // Any group that closes reports the last record of the history, which may be a line break
    // typed long before (a drag that ended without a drop records nothing): only the break
    // Enter has just inserted is indented after.
    bool indentDue = lineBreakTyped;
    lineBreakTyped = false;
    if (!indentDue || !autoIndent || action != EditAction::Typing ||
        std::strcmp(text, "\r\n") != 0 || overwriteMode || buffer == nullptr) {
        return;
    }
    int line = caretPosition.y;
    if (line <= 0 || line >= LineTotal())
        return;
    const char* above = LineText(line - 1);
    int count = 0;
    while (count < LineLength(line - 1) && IsAsciiWhiteSpace(above[count]))
        ++count;
    if (count == 0)
        return;
    std::string indentation(above, count);
    int endLine, endCharacter;
    if (buffer->InsertAt(nullptr, line, caretPosition.x, indentation.c_str(), endLine, endCharacter,
                         EditAction::AutoIndent)) {
        CollapseAt({endCharacter, endLine});
    }
}

// --- Deleting

void CCorvelEditView::OnEditDelete() {
    if (!IsEditable())
        return;
    TextPosition start, end;
    if (HasSelection()) {
        SelectionBounds(start, end);
    } else {
        // One whole character, or the line break; nothing at the text's end.
        start = caretPosition;
        end = NextCharacterPosition(start);
        if (end == start)
            return;
    }
    CollapseAt(start);
    buffer->DeleteRange(this, start.y, start.x, end.y, end.x, EditAction::Delete);
}

void CCorvelEditView::OnEditDeleteBack() {
    if (HasSelection()) {
        OnEditDelete();
        return;
    }
    if (!IsEditable())
        return;
    TextPosition end = caretPosition;
    TextPosition start = PreviousCharacterPosition(end);
    if (start == end) {
        CollapseAt(end);
        return;
    }
    CollapseAt(start);
    buffer->DeleteRange(this, start.y, start.x, end.y, end.x, EditAction::Backspace);
}

// --- Indenting

bool CCorvelEditView::BlockLines(int& first, int& last) {
    TextPosition start, end;
    SelectionBounds(start, end);
    if (!HasSelection() || start.y == end.y)
        return false;
    first = start.y;
    start.x = 0;
    if (end.x == 0) {
        last = end.y - 1;
    } else {
        last = end.y;
        end = end.y == LineTotal() - 1 ? TextPosition{LineLength(end.y), end.y}
                                       : TextPosition{0, end.y + 1};
    }
    SelectRange(start, end);
    PlaceCursor(end);
    BringIntoView(end);
    return true;
}

void CCorvelEditView::ForEachBlockLine(const std::function<void(int line)>& change) {
    // One undo step; the horizontal bar is brought up to date once, after all the lines.
    buffer->OpenUndoGroup(false);
    int first = 0, last = -1;
    BlockLines(first, last);
    horizontalUpdatesSuspended = true;
    for (int line = first; line <= last; ++line)
        change(line);
    horizontalUpdatesSuspended = false;
    UpdateHorizontalScrollBar(false);
    buffer->CloseUndoGroup(this);
}

void CCorvelEditView::OnEditTab() {
    if (!IsEditable())
        return;
    int endLine, endCharacter;
    NormalizeSelection();
    if (HasSelection() && orderedStart.y != orderedEnd.y) {
        ForEachBlockLine([&](int line) {
            buffer->InsertAt(this, line, 0, "\t", endLine, endCharacter, EditAction::Indent);
        });
        return;
    }
    if (overwriteMode && caretPosition.x < LineLength(caretPosition.y)) {
        // Overwrite mode moves to the next tab stop instead of inserting; a selection within
        // one line only collapses there.
        int steps = TabSize() - ColumnOfChar(caretPosition.y, caretPosition.x) % TabSize();
        const char* text = LineText(caretPosition.y);
        int length = LineLength(caretPosition.y);
        int index = caretPosition.x;
        for (int moved = 0; moved < steps && index < length; ++moved) {
            bool tab = text[index] == '\t';
            index = TextCodec::NextCharacter(encoding, text, length, index);
            if (tab)
                break;
        }
        CollapseAt({index, caretPosition.y});
        return;
    }
    buffer->OpenUndoGroup(false);
    RemoveSelection();
    if (buffer->InsertAt(this, caretPosition.y, caretPosition.x, "\t", endLine, endCharacter,
                         EditAction::Typing)) {
        CollapseAt({endCharacter, endLine});
    }
    buffer->CloseUndoGroup(this);
}

void CCorvelEditView::OnEditUntab() {
    if (!IsEditable())
        return;
    NormalizeSelection();
    if (HasSelection() && orderedStart.y != orderedEnd.y) {
        ForEachBlockLine([&](int line) {
            // One tab, or up to a tab's width of spaces, or fewer spaces and one tab.
            const char* text = LineText(line);
            int length = LineLength(line);
            int count = 0;
            while (count < TabSize() && count < length) {
                if (text[count] == ' ') {
                    ++count;
                } else if (text[count] == '\t') {
                    ++count;
                    break;
                } else {
                    break;
                }
            }
            if (count > 0)
                buffer->DeleteRange(this, line, 0, line, count, EditAction::Indent);
        });
        return;
    }
    // Back to the previous tab stop, moving the caret only.
    if (caretPosition.x == 0)
        return;
    int column = ColumnOfChar(caretPosition.y, caretPosition.x);
    int tab = TabSize();
    int target = column % tab == 0 ? column - tab : column / tab * tab;
    const char* text = LineText(caretPosition.y);
    int length = LineLength(caretPosition.y);
    int index = 0;
    int reached = 0;
    while (reached < target && index < length) {
        reached = text[index] == '\t' ? reached + tab - reached % tab : reached + 1;
        index = TextCodec::NextCharacter(encoding, text, length, index);
    }
    CollapseAt({index, caretPosition.y});
}

// --- Clipboard

void CCorvelEditView::OnEditCut() {
    if (!IsEditable() || !HasSelection())
        return;
    TextPosition start, end;
    SelectionBounds(start, end);
    CopyToClipboard(TextOfRange(start, end));
    CollapseAt(start);
    buffer->DeleteRange(this, start.y, start.x, end.y, end.x, EditAction::Cut);
}

void CCorvelEditView::OnEditPaste() {
    if (!IsEditable())
        return;
    std::string text;
    QStringList missing;
    if (ClipboardHasText())
        text = TextFromClipboard(&missing);
    // Text made only of characters the code page lacks changes nothing, not even the selection:
    // the user is told, and the text is not marked modified by an empty step.
    if (!missing.isEmpty() && text.empty()) {
        ReportCharactersNotInserted(missing);
        return;
    }
    buffer->OpenUndoGroup(false);
    RemoveSelection();
    int endLine, endCharacter;
    if (!text.empty() && buffer->InsertAt(this, caretPosition.y, caretPosition.x, text.c_str(),
                                          endLine, endCharacter, EditAction::Paste)) {
        CollapseAt({endCharacter, endLine});
    }
    buffer->CloseUndoGroup(this);
    if (!missing.isEmpty())
        ReportCharactersNotInserted(missing);
}

void CCorvelEditView::OnUpdateEditCut(CCmdUI& ui) {
    ui.Enable(HasSelection());
}

void CCorvelEditView::OnUpdateEditPaste(CCmdUI& ui) {
    ui.Enable(ClipboardHasText());
}

// --- Modes, undo and redo, indicators

void CCorvelEditView::OnEditSwitchOverwrite() {
    overwriteMode = !overwriteMode;
}

void CCorvelEditView::OnUpdateEditSwitchOverwrite(CCmdUI& ui) {
    ui.SetCheck(overwriteMode ? CCmdUI::Checked : CCmdUI::Unchecked);
}

void CCorvelEditView::OnEditUndo() {
    TextPosition position;
    if (buffer != nullptr && buffer->CanStepBack() && buffer->StepBack(position))
        CollapseAt(position);
}

void CCorvelEditView::OnEditRedo() {
    TextPosition position;
    if (buffer != nullptr && buffer->CanStepForward() && buffer->StepForward(position))
        CollapseAt(position);
}

void CCorvelEditView::OnUpdateEditUndo(CCmdUI& ui) {
    bool possible = buffer != nullptr && buffer->CanStepBack();
    ui.Enable(possible);
    // The label holds no place for the action's name, so it reads the same either way.
    ui.SetText(possible ? EditString(kUndoLabel) : EditString(kUndoLabelDisabled));
}

void CCorvelEditView::OnUpdateEditRedo(CCmdUI& ui) {
    bool possible = buffer != nullptr && buffer->CanStepForward();
    ui.Enable(possible);
    ui.SetText(possible ? EditString(kRedoLabel) : EditString(kRedoLabelDisabled));
}

void CCorvelEditView::OnUpdateIndicatorOverwrite(CCmdUI& ui) {
    ui.Enable(overwriteMode);
}

void CCorvelEditView::OnUpdateIndicatorRead(CCmdUI& ui) {
    ui.Enable(buffer != nullptr && buffer->IsReadOnly());
}

void CCorvelEditView::OnUpdateIndicatorBlank(CCmdUI& ui) {
    ui.Enable(false);
}

void CCorvelEditView::OnUpdateIndicatorEncoding(CCmdUI& ui) {
    ui.SetText(TextCodec::Indicator(encoding));
    ui.Enable(buffer != nullptr);
}
