#include "AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ShellIcons.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе Kivra"));
    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationPixmap(32));
    auto* version = new QLabel(QStringLiteral("Kivra Версия 2.0"), this);
    version->setTextFormat(Qt::PlainText);
    auto* about = new QLabel(QStringLiteral("Редактор схем SPICE с расчетом в ngspice"), this);
    about->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(20);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(about, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    setFixedSize(sizeHint());
}
