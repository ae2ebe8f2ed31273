#pragma once

#include <functional>
#include <memory>
#include <string>

#include "CorvelTextView.h"

class CEditDropTargetImpl;

// The editing layer over the text view: typing with automatic indentation and an overwrite mode,
// deletion, block indent and unindent, the clipboard, undo and redo, and dropping text. Every
// change goes through the buffer's InsertAt and DeleteRange, tagged with its EditAction.
class CCorvelEditView : public CCorvelTextView {
public:
    explicit CCorvelEditView(QWidget* parent = nullptr);
    ~CCorvelEditView() override;

    void ResetLayout() override;
    Qt::DropActions AllowedDragEffects() const override;
    void DragFinished(Qt::DropAction effect) override;
    void RefreshAfterChange(CTextBufferObserver* source, const CUpdateContext* context,
                            unsigned hint, int line) override;
    void AfterEditAction(EditAction action, const char* text) override;
    // A buffer is attached and it is not read-only.
    virtual bool IsEditable() const;

    bool OverwriteMode() const { return overwriteMode; }
    bool AutoIndent() const { return autoIndent; }

    // Types one Windows-1251 character (13 is Enter), as a key press would, written in the
    // view's encoding.
    void TypeCharacter(unsigned char character);
    bool RemoveSelection();
    // Replaces the selection by the text, which then becomes the selection with the caret at its
    // end: the deletion and the insertion are two undo steps. False, changing nothing, when the
    // selection is empty.
    bool ReplaceSelection(const char* text);
    // Around a run of many edits (Replace all): while suspended the window is not repainted nor
    // its horizontal bar brought up to date; both happen once when the run ends.
    void SuspendViewUpdates(bool suspend);

    void OnEditDelete();
    void OnEditDeleteBack();
    void OnEditTab();
    void OnEditUntab();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSwitchOverwrite();
    void OnEditUndo();
    void OnEditRedo();
    // The Replace dialog; nothing unless the text can be edited.
    void OnEditReplace();

    // The drop side of drag and drop.
    void ShowDropCaret(QPoint point);
    void HideDropCaret();
    void ScrollForDrag(QPoint point);
    bool InsertDroppedText(const QMimeData* data, QPoint point);
    CEditDropTargetImpl* DropTarget() const { return dropTarget.get(); }
    TextPosition DropPosition() const { return dropPosition; }
    bool DropCaretShown() const { return dropCaretShown; }

    static const CCommandTable& ClassCommands();
    // The keys of the editing commands, added to those of the text view.
    static CKeyTable EditViewKeyTable();

protected:
    const CCommandTable& Commands() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    bool overwriteMode = false;
    bool dropCaretShown = false;
    TextPosition savedCaret;
    TextPosition dropPosition;
    bool selectionSaved = false;
    TextPosition savedSelectionStart;
    TextPosition savedSelectionEnd;
    bool autoIndent = true;
    // Set while the group of a typed Enter that inserted its line break closes.
    bool lineBreakTyped = false;
    // The characters the last drop left out, for the answer to its source.
    QStringList dropLeftOut;
    std::unique_ptr<CEditDropTargetImpl> dropTarget;

private:
    // Collapses the selection at p, with the caret there, in view.
    void CollapseAt(TextPosition p);
    // Types text that arrived as Unicode in the view's encoding; in a Windows-1251 view the
    // characters without a byte are left out and named in the status bar.
    void TypeText(const QString& text);
    // Types the bytes of one character: over the selection, or in overwrite mode over the
    // character under the caret. joinsStep: the undo step goes on (false for a space).
    void TypeEncoded(const std::string& bytes, bool joinsStep);
    // The message box naming the characters of a paste or drop that the code page lacks.
    static void ReportCharactersNotInserted(const QStringList& missing);
    // The lines a block command works on, with the selection adjusted to whole lines; false when
    // the selection does not span lines.
    bool BlockLines(int& first, int& last);
    // Runs a block command: the change for each line of the block, as one undo step.
    void ForEachBlockLine(const std::function<void(int line)>& change);
    void OnUpdateEditCut(CCmdUI& ui);
    void OnUpdateEditPaste(CCmdUI& ui);
    void OnUpdateEditSwitchOverwrite(CCmdUI& ui);
    void OnUpdateEditUndo(CCmdUI& ui);
    void OnUpdateEditRedo(CCmdUI& ui);
    void OnUpdateIndicatorOverwrite(CCmdUI& ui);
    void OnUpdateIndicatorRead(CCmdUI& ui);
    void OnUpdateIndicatorBlank(CCmdUI& ui);
    // The encoding the text is shown in, beside the line-ending style.
    void OnUpdateIndicatorEncoding(CCmdUI& ui);
};
