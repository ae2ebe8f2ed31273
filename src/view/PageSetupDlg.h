#pragma once

#include <QDialog>
#include <QMargins>

class QDoubleSpinBox;

// "Параметры страницы": the four page margins in millimetres. Paper and orientation are not
// offered. The margins go in and come out in hundredths of a millimetre, as they are stored.
class CPageSetupDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPageSetupDlg(QWidget* parent = nullptr);

    // Left, top, right and bottom, in hundredths of a millimetre.
    void SetMargins(const QMargins& margins);
    QMargins Margins() const;

    QDoubleSpinBox* LeftEdit() const { return leftEdit; }
    QDoubleSpinBox* TopEdit() const { return topEdit; }
    QDoubleSpinBox* RightEdit() const { return rightEdit; }
    QDoubleSpinBox* BottomEdit() const { return bottomEdit; }

private:
    QDoubleSpinBox* leftEdit = nullptr;
    QDoubleSpinBox* topEdit = nullptr;
    QDoubleSpinBox* rightEdit = nullptr;
    QDoubleSpinBox* bottomEdit = nullptr;
};
