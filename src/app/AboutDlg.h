#pragma once

#include <QDialog>

// "О программе Kivra": the program's icon, its name and version, and one line about it.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
