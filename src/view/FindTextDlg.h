#pragma once

#include <QDialog>
#include <QString>

#include "FindFlags.h"
#include "TextPosition.h"

class CCorvelTextView;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Найти": finds a text in its owner view, forward or upward, wrapping once around the text. A
// successful search selects the match and closes the dialog; a failed one says so and stays open,
// the next search starting from the top. However the dialog closes, its members hold what the
// controls showed, so that the owner can remember the search.
class CFindTextDlg : public QDialog {
    Q_OBJECT

public:
    explicit CFindTextDlg(CCorvelTextView& owner, QWidget* parent = nullptr);

    // Shows the members in the controls, as the dialog's initialisation does, and runs it modally
    // through the modal host; the dialog's result.
    int DoModal();
    // The options as search flags.
    FindFlags Flags() const;
    // The message of a search that found nothing.
    static QString NotFoundMessage(const QString& text);

    // The members, read by the owner after the dialog closes.
    TextPosition startPosition;  // where the next search starts
    int direction = 1;           // 0 up, 1 down
    bool matchCase = false;
    QString findWhat;
    bool wholeWord = false;

    QLineEdit* FindWhatEdit() const { return findWhatEdit; }
    QCheckBox* WholeWordCheck() const { return wholeWordCheck; }
    QCheckBox* MatchCaseCheck() const { return matchCaseCheck; }
    QRadioButton* UpRadio() const { return upRadio; }
    QRadioButton* DownRadio() const { return downRadio; }
    QPushButton* FindNextButton() const { return findNextButton; }
    QPushButton* CloseButton() const { return closeButton; }

    // Every way of closing takes the controls' values first.
    void done(int result) override;

private:
    void UpdateControls();
    void TakeControls();
    void OnFindNext();

    CCorvelTextView& owner;
    QLineEdit* findWhatEdit = nullptr;
    QCheckBox* wholeWordCheck = nullptr;
    QCheckBox* matchCaseCheck = nullptr;
    QRadioButton* upRadio = nullptr;
    QRadioButton* downRadio = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* closeButton = nullptr;
};
