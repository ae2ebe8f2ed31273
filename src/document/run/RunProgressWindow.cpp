#include "RunProgressWindow.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "SimulationRun.h"

CRunProgressWindow::CRunProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), decoder(QStringDecoder::System) {
    setWindowTitle(QStringLiteral("ИДЕТ РАСЧЕТ..."));
    setAttribute(Qt::WA_ShowWithoutActivating);

    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 128));
    blue.setColor(QPalette::Base, QColor(0, 0, 128));
    blue.setColor(QPalette::Text, Qt::white);
    blue.setColor(QPalette::WindowText, Qt::white);
    setPalette(blue);
    setAutoFillBackground(true);

    output = new QPlainTextEdit(this);
    output->setReadOnly(true);
    output->setFrameShape(QFrame::NoFrame);
    output->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output->setPalette(blue);
    stopButton = new QPushButton(QStringLiteral("Стоп"), this);
    connect(stopButton, &QPushButton::clicked, this, &CRunProgressWindow::StopRequested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(output, 1);
    layout->addWidget(stopButton, 0, Qt::AlignHCenter);

    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    RunWindowPlace place = RunWindowPlaceOn(area.width(), area.height());
    // The start settings give no height; a little more than half the width keeps a few lines in
    // view without covering the lower part of the screen.
    setGeometry(area.x() + place.x, area.y() + place.y, place.width,
                std::max(place.width * 3 / 5, stopButton->sizeHint().height() * 4));
}

void CRunProgressWindow::AppendOutput(const QByteArray& bytes) {
    QString text = decoder.decode(bytes);
    if (text.isEmpty())
        return;
    QScrollBar* bar = output->verticalScrollBar();
    bool atEnd = bar->value() == bar->maximum();
    QTextCursor end = output->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

QString CRunProgressWindow::Output() const {
    return output->toPlainText();
}

void CRunProgressWindow::closeEvent(QCloseEvent* event) {
    // Closing a program's console window ends the program; the window goes when the run does.
    event->ignore();
    emit StopRequested();
}
