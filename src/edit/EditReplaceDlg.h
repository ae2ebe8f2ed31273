#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "FindFlags.h"
#include "TextPosition.h"

class CCorvelEditView;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Заменить": finds a text forward in the whole file or inside the selection the dialog opened
// with, and replaces the selected match or every remaining one. Searches never wrap: one that
// reaches the end of the file or block says so, and the next one starts over from the beginning.
// However the dialog closes, its members hold what the controls showed.
class CEditReplaceDlg : public QDialog {
    Q_OBJECT

public:
    explicit CEditReplaceDlg(CCorvelEditView& owner, QWidget* parent = nullptr);

    // Shows the members in the controls, as the dialog's initialisation does, and runs it modally
    // through the modal host; the dialog's result.
    int DoModal();
    // Finds the next match from currentPosition and selects it; says so when there is none, and
    // then starts the next search from the beginning of the file or block.
    bool FindNextMatch();

    // The members; the owner sets the positions and the scope before running the dialog.
    bool matchSelected = false;          // the last search found the match now selected
    TextPosition currentPosition;        // the selected match's start, or where to search next
    bool selectionScopeAllowed = false;  // a selection existed when the dialog opened
    TextPosition startPosition;          // where a search starts when no match is selected
    TextPosition blockBegin;             // the block searched in selection scope
    TextPosition blockEnd;
    bool matchCase = false;
    bool wholeWord = false;
    QString findWhat;
    QString replaceWith;
    int scope = 1;  // 0 in the selection, 1 in the file

    QLineEdit* FindWhatEdit() const { return findWhatEdit; }
    QLineEdit* ReplaceWithEdit() const { return replaceWithEdit; }
    QCheckBox* WholeWordCheck() const { return wholeWordCheck; }
    QCheckBox* MatchCaseCheck() const { return matchCaseCheck; }
    QRadioButton* InSelectionRadio() const { return inSelectionRadio; }
    QRadioButton* InFileRadio() const { return inFileRadio; }
    QPushButton* FindNextButton() const { return findNextButton; }
    QPushButton* ReplaceButton() const { return replaceButton; }
    QPushButton* ReplaceAllButton() const { return replaceAllButton; }
    QPushButton* CloseButton() const { return closeButton; }

    // Every way of closing takes the controls' values first.
    void done(int result) override;

private:
    void UpdateControls();
    void TakeControls();
    // FindNextMatch without the message: finds and selects the next match.
    bool SearchNextMatch();
    // The end of the file or block: says so, and the next search starts from its beginning.
    void ReportNotFound();
    // Neither text holds a character without a byte; else says so and is false.
    bool TextsEncode();
    // ReplaceSelection within Replace all's group: the deletion is recorded as a replacement too,
    // so that the group, captioned by its first record, undoes as "Replace".
    bool ReplaceSelectionInGroup();
    // Replaces the selected match and moves the block bounds and currentPosition past it; false
    // when nothing could be replaced.
    bool ReplaceSelectedMatch(bool inReplaceAll);
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();

    CCorvelEditView& owner;
    // findWhat and replaceWith in the code page of the text, as last taken from the controls.
    std::string findBytes;
    std::string replaceBytes;
    QLineEdit* findWhatEdit = nullptr;
    QLineEdit* replaceWithEdit = nullptr;
    QCheckBox* wholeWordCheck = nullptr;
    QCheckBox* matchCaseCheck = nullptr;
    QRadioButton* inSelectionRadio = nullptr;
    QRadioButton* inFileRadio = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* replaceButton = nullptr;
    QPushButton* replaceAllButton = nullptr;
    QPushButton* closeButton = nullptr;
};
