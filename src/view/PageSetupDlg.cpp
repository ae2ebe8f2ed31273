#include "PageSetupDlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Wider than any sheet a desktop printer takes.
constexpr double kLargestMarginMillimetres = 500.0;

QDoubleSpinBox* MarginEdit(QWidget* parent) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setDecimals(2);
    edit->setRange(0.0, kLargestMarginMillimetres);
    edit->setSingleStep(1.0);
    edit->setSuffix(QStringLiteral(" мм"));
    return edit;
}

int Hundredths(const QDoubleSpinBox* edit) {
    return static_cast<int>(std::lround(edit->value() * 100.0));
}

}  // namespace

CPageSetupDlg::CPageSetupDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Параметры страницы"));
    auto* marginsBox = new QGroupBox(QStringLiteral("Поля"), this);
    leftEdit = MarginEdit(marginsBox);
    rightEdit = MarginEdit(marginsBox);
    topEdit = MarginEdit(marginsBox);
    bottomEdit = MarginEdit(marginsBox);
    auto* form = new QFormLayout(marginsBox);
    form->addRow(QStringLiteral("&Левое:"), leftEdit);
    form->addRow(QStringLiteral("&Правое:"), rightEdit);
    form->addRow(QStringLiteral("&Верхнее:"), topEdit);
    form->addRow(QStringLiteral("&Нижнее:"), bottomEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(marginsBox);
    layout->addWidget(buttons);
}

void CPageSetupDlg::SetMargins(const QMargins& margins) {
    leftEdit->setValue(margins.left() / 100.0);
    topEdit->setValue(margins.top() / 100.0);
    rightEdit->setValue(margins.right() / 100.0);
    bottomEdit->setValue(margins.bottom() / 100.0);
}

QMargins CPageSetupDlg::Margins() const {
    return {Hundredths(leftEdit), Hundredths(topEdit), Hundredths(rightEdit),
            Hundredths(bottomEdit)};
}
