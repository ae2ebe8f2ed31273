#pragma once

#include <QStringDecoder>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The small window that stands for the first program while it runs: titled "ИДЕТ РАСЧЕТ...",
// white on blue, its right edge at the screen's horizontal centre and its top edge at the
// vertical centre. It shows what the program prints as it comes; "Стоп", like closing the
// window, asks for the program to be ended.
class CRunProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit CRunProgressWindow(QWidget* owner = nullptr);

    // Adds the program's output, decoded from the locale's encoding; a character split between
    // two pieces is put together.
    void AppendOutput(const QByteArray& bytes);
    QString Output() const;
    QPushButton* StopButton() const { return stopButton; }

signals:
    void StopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* output;
    QPushButton* stopButton;
    QStringDecoder decoder;
};
