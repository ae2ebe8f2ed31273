#include "EditReplaceDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "CorvelEditView.h"
#include "CorvelTextBuffer.h"
#include "FindTextDlg.h"
#include "ModalHost.h"
#include "SearchTextCheck.h"
#include "TextEncoding.h"

namespace {

class CViewUpdatesSuspended {
public:
    explicit CViewUpdatesSuspended(CCorvelEditView& view) : view(view) {
        view.SuspendViewUpdates(true);
    }
    ~CViewUpdatesSuspended() { view.SuspendViewUpdates(false); }
    CViewUpdatesSuspended(const CViewUpdatesSuspended&) = delete;
    CViewUpdatesSuspended& operator=(const CViewUpdatesSuspended&) = delete;

private:
    CCorvelEditView& view;
};

// Replace all is one undo step however many matches it replaces, even past the history's limit;
// the group closes however the run ends.
class CReplaceAllGroup {
public:
    explicit CReplaceAllGroup(CCorvelEditView& view) : view(view) {
        view.Buffer()->OpenUndoGroup(false, true);
    }
    ~CReplaceAllGroup() { view.Buffer()->CloseUndoGroup(&view); }
    CReplaceAllGroup(const CReplaceAllGroup&) = delete;
    CReplaceAllGroup& operator=(const CReplaceAllGroup&) = delete;

private:
    CCorvelEditView& view;
};

}  // namespace

CEditReplaceDlg::CEditReplaceDlg(CCorvelEditView& owner, QWidget* parent)
    : QDialog(parent), owner(owner) {
    setWindowTitle(QStringLiteral("Заменить"));
    auto* findLabel = new QLabel(QStringLiteral("Найти"), this);
    findWhatEdit = new QLineEdit(this);
    findLabel->setBuddy(findWhatEdit);
    auto* replaceLabel = new QLabel(QStringLiteral("Заменить на"), this);
    replaceWithEdit = new QLineEdit(this);
    replaceLabel->setBuddy(replaceWithEdit);
    wholeWordCheck = new QCheckBox(QStringLiteral("Только целые слова"), this);
    matchCaseCheck = new QCheckBox(QStringLiteral("Учитывать регистр"), this);

    auto* scopeBox = new QGroupBox(QStringLiteral("Заменить"), this);
    inSelectionRadio = new QRadioButton(QStringLiteral("В выделенном"), scopeBox);
    inFileRadio = new QRadioButton(QStringLiteral("В файле"), scopeBox);
    auto* scopeLayout = new QVBoxLayout(scopeBox);
    scopeLayout->addWidget(inSelectionRadio);
    scopeLayout->addWidget(inFileRadio);

    findNextButton = new QPushButton(QStringLiteral("Искать далее"), this);
    findNextButton->setDefault(true);
    replaceButton = new QPushButton(QStringLiteral("Заменить"), this);
    replaceAllButton = new QPushButton(QStringLiteral("Заменить все"), this);
    closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    for (QPushButton* button : {replaceButton, replaceAllButton, closeButton})
        button->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(findLabel, 0, 0);
    layout->addWidget(findWhatEdit, 0, 1, 1, 2);
    layout->addWidget(findNextButton, 0, 3);
    layout->addWidget(replaceLabel, 1, 0);
    layout->addWidget(replaceWithEdit, 1, 1, 1, 2);
    layout->addWidget(replaceButton, 1, 3);
    layout->addWidget(wholeWordCheck, 2, 0, 1, 2);
    layout->addWidget(scopeBox, 2, 2, 2, 1);
    layout->addWidget(replaceAllButton, 2, 3);
    layout->addWidget(matchCaseCheck, 3, 0, 1, 2);
    layout->addWidget(closeButton, 3, 3);
    layout->setColumnStretch(1, 1);

    connect(findWhatEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNextButton->setEnabled(!text.isEmpty()); });
    connect(findNextButton, &QPushButton::clicked, this, [this] { OnFindNext(); });
    connect(replaceButton, &QPushButton::clicked, this, [this] { OnReplace(); });
    connect(replaceAllButton, &QPushButton::clicked, this, [this] { OnReplaceAll(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { reject(); });
}

int CEditReplaceDlg::DoModal() {
    UpdateControls();
    findWhatEdit->setFocus();
    findWhatEdit->selectAll();
    return ModalHost().RunModal(*this);
}

void CEditReplaceDlg::UpdateControls() {
    findWhatEdit->setText(findWhat);
    replaceWithEdit->setText(replaceWith);
    wholeWordCheck->setChecked(wholeWord);
    matchCaseCheck->setChecked(matchCase);
    (scope == 0 ? inSelectionRadio : inFileRadio)->setChecked(true);
    findNextButton->setEnabled(!findWhat.isEmpty());
    inSelectionRadio->setEnabled(selectionScopeAllowed);
    matchSelected = false;
    TakeControls();
}

void CEditReplaceDlg::TakeControls() {
    findWhat = findWhatEdit->text();
    replaceWith = replaceWithEdit->text();
    wholeWord = wholeWordCheck->isChecked();
    matchCase = matchCaseCheck->isChecked();
    scope = inSelectionRadio->isChecked() ? 0 : 1;
    // Both end at their first NUL, as the search and the insertion read them.
    findBytes = SearchTextBytes(owner.Encoding(), findWhat);
    findBytes.resize(std::strlen(findBytes.c_str()));
    replaceBytes = SearchTextBytes(owner.Encoding(), replaceWith);
    replaceBytes.resize(std::strlen(replaceBytes.c_str()));
}

void CEditReplaceDlg::done(int result) {
    TakeControls();
    QDialog::done(result);
}

bool CEditReplaceDlg::FindNextMatch() {
    if (SearchNextMatch())
        return true;
    ReportNotFound();
    return false;
}

bool CEditReplaceDlg::SearchNextMatch() {
    // A search for nothing finds nothing: empty matches would replace nothing and never end.
    if (findBytes.empty())
        return false;
    FindFlags flags{};
    if (matchCase)
        flags |= CaseSensitive;
    if (wholeWord)
        flags |= WholeWordOnly;
    TextPosition found;
    bool success = scope == 1
                       ? owner.FindInText(findBytes.c_str(), currentPosition, flags, false, found)
                       : owner.FindInBlock(findBytes.c_str(), currentPosition, blockBegin, blockEnd,
                                           flags, false, found);
    if (!success)
        return false;
    currentPosition = found;
    owner.SelectFound(currentPosition, static_cast<int>(findBytes.size()));
    return true;
}

void CEditReplaceDlg::ReportNotFound() {
    AfxMessageBox(CFindTextDlg::NotFoundMessage(findWhat), MB_OK);
    startPosition = scope == 1 ? TextPosition{0, 0} : blockBegin;
}

bool CEditReplaceDlg::TextsEncode() {
    return SearchTextEncodes(owner.Encoding(), findWhat, SearchTextKind::Pattern) &&
           SearchTextEncodes(owner.Encoding(), replaceWith, SearchTextKind::Replacement);
}

bool CEditReplaceDlg::ReplaceSelectionInGroup() {
    if (!owner.HasSelection() || !owner.IsEditable())
        return false;
    CCorvelTextBuffer& buffer = *owner.Buffer();
    TextPosition start, end;
    owner.SelectionBounds(start, end);
    buffer.DeleteRange(&owner, start.y, start.x, end.y, end.x, EditAction::Replace);
    TextPosition insertedEnd = start;
    int endLine, endCharacter;
    if (buffer.InsertAt(&owner, start.y, start.x, replaceBytes.c_str(), endLine, endCharacter,
                        EditAction::Replace))
        insertedEnd = {endCharacter, endLine};
    owner.SetAnchorPoint(insertedEnd);
    owner.SelectRange(start, insertedEnd);
    owner.PlaceCursor(insertedEnd);
    owner.BringIntoView(insertedEnd);
    return true;
}

bool CEditReplaceDlg::ReplaceSelectedMatch(bool inReplaceAll) {
    // A match lies within one line; the block bounds right of it move with the text after it.
    TextPosition start, end;
    owner.SelectionBounds(start, end);
    int removed = end.x - start.x;
    if (!(inReplaceAll ? ReplaceSelectionInGroup() : owner.ReplaceSelection(replaceBytes.c_str())))
        return false;
    int inserted = static_cast<int>(replaceBytes.size());
    if (selectionScopeAllowed) {
        for (TextPosition* bound : {&blockBegin, &blockEnd}) {
            if (bound->y == currentPosition.y && bound->x > currentPosition.x)
                bound->x = std::max(currentPosition.x, bound->x + inserted - removed);
        }
    }
    // Past the inserted text, so that a replacement is never searched again.
    currentPosition.x += inserted;
    return true;
}

void CEditReplaceDlg::OnFindNext() {
    TakeControls();
    if (!SearchTextEncodes(owner.Encoding(), findWhat, SearchTextKind::Pattern))
        return;
    if (matchSelected)  // overlapping matches are found too: on from the match's second character
        currentPosition.x =
            TextCodec::NextCharacter(owner.Encoding(), owner.LineText(currentPosition.y),
                                     owner.LineLength(currentPosition.y), currentPosition.x);
    else
        currentPosition = startPosition;
    matchSelected = FindNextMatch();
}

void CEditReplaceDlg::OnReplace() {
    TakeControls();
    if (!TextsEncode())
        return;
    if (findBytes.empty()) {
        matchSelected = FindNextMatch();
        return;
    }
    if (matchSelected) {
        if (!ReplaceSelectedMatch(false))
            return;
    } else {
        // The first press only finds the match to replace.
        currentPosition = startPosition;
    }
    matchSelected = FindNextMatch();
}

void CEditReplaceDlg::OnReplaceAll() {
    TakeControls();
    if (!TextsEncode())
        return;
    if (findBytes.empty()) {
        matchSelected = FindNextMatch();
        return;
    }
    if (!matchSelected) {
        currentPosition = startPosition;
        matchSelected = FindNextMatch();
        if (!matchSelected)
            return;
    }
    {
        // The view shows the result once, before the message says that the search has ended.
        CViewUpdatesSuspended suspended(owner);
        CReplaceAllGroup group(owner);
        // Every replacement moves the search past it, so this ends at the end of the file or
        // block.
        while (matchSelected) {
            if (!ReplaceSelectedMatch(true))
                return;
            matchSelected = SearchNextMatch();
        }
    }
    ReportNotFound();
}
