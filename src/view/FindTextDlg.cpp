#include "FindTextDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>
#include <string>

#include "CorvelTextView.h"
#include "ModalHost.h"
#include "SearchTextCheck.h"

CFindTextDlg::CFindTextDlg(CCorvelTextView& owner, QWidget* parent)
    : QDialog(parent), owner(owner) {
    setWindowTitle(QStringLiteral("Найти"));
    auto* label = new QLabel(QStringLiteral("Найти"), this);
    findWhatEdit = new QLineEdit(this);
    label->setBuddy(findWhatEdit);
    wholeWordCheck = new QCheckBox(QStringLiteral("Только целые слова"), this);
    matchCaseCheck = new QCheckBox(QStringLiteral("Учитывать регистр"), this);

    auto* directionBox = new QGroupBox(QStringLiteral("Направление"), this);
    upRadio = new QRadioButton(QStringLiteral("Вверх"), directionBox);
    downRadio = new QRadioButton(QStringLiteral("Вниз"), directionBox);
    auto* directionLayout = new QHBoxLayout(directionBox);
    directionLayout->addWidget(upRadio);
    directionLayout->addWidget(downRadio);

    findNextButton = new QPushButton(QStringLiteral("Искать далее"), this);
    findNextButton->setDefault(true);
    closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(findWhatEdit, 0, 1, 1, 2);
    layout->addWidget(findNextButton, 0, 3);
    layout->addWidget(wholeWordCheck, 1, 0, 1, 2);
    layout->addWidget(directionBox, 1, 2, 2, 1);
    layout->addWidget(closeButton, 1, 3);
    layout->addWidget(matchCaseCheck, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(findWhatEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNextButton->setEnabled(!text.isEmpty()); });
    connect(findNextButton, &QPushButton::clicked, this, [this] { OnFindNext(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { reject(); });
}

QString CFindTextDlg::NotFoundMessage(const QString& text) {
    return QStringLiteral("Не могу найти строку \"") + text + QStringLiteral("\"");
}

int CFindTextDlg::DoModal() {
    UpdateControls();
    findWhatEdit->setFocus();
    findWhatEdit->selectAll();
    return ModalHost().RunModal(*this);
}

FindFlags CFindTextDlg::Flags() const {
    FindFlags flags{};
    if (matchCase)
        flags |= CaseSensitive;
    if (wholeWord)
        flags |= WholeWordOnly;
    if (direction == 0)
        flags |= SearchUp;
    return flags;
}

void CFindTextDlg::UpdateControls() {
    findWhatEdit->setText(findWhat);
    wholeWordCheck->setChecked(wholeWord);
    matchCaseCheck->setChecked(matchCase);
    (direction == 0 ? upRadio : downRadio)->setChecked(true);
    findNextButton->setEnabled(!findWhat.isEmpty());
}

void CFindTextDlg::TakeControls() {
    findWhat = findWhatEdit->text();
    wholeWord = wholeWordCheck->isChecked();
    matchCase = matchCaseCheck->isChecked();
    direction = upRadio->isChecked() ? 0 : 1;
}

void CFindTextDlg::done(int result) {
    TakeControls();
    QDialog::done(result);
}

void CFindTextDlg::OnFindNext() {
    TakeControls();
    if (!SearchTextEncodes(owner.Encoding(), findWhat, SearchTextKind::Pattern))
        return;
    std::string pattern = SearchTextBytes(owner.Encoding(), findWhat);
    FindFlags flags = Flags();
    TextPosition found;
    if (owner.FindInText(pattern.c_str(), owner.SearchStartFrom(startPosition, flags), flags, true,
                         found)) {
        owner.SelectFound(found, static_cast<int>(std::strlen(pattern.c_str())));
        accept();
        return;
    }
    AfxMessageBox(NotFoundMessage(findWhat), MB_OK);
    startPosition = {0, 0};
}
