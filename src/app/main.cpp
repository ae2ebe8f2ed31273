// Kivra's entry point. Until the application shell is in place the window shows the netlist named
// on the command line, loaded through the text buffer, read-only.

#include <QApplication>
#include <QFontDatabase>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "CorvelTextBuffer.h"

namespace {

QString BufferText(const CCorvelTextBuffer& buffer) {
    QString text;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        if (line > 0)
            text += QLatin1Char('\n');
        text += QString::fromLatin1(buffer.LineText(line), buffer.LineLength(line));
    }
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivra"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kivra"));
    auto* view = new QPlainTextEdit(&window);
    view->setReadOnly(true);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    window.setCentralWidget(view);

    QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        CCorvelTextBuffer buffer;
        QByteArray path = arguments.at(1).toLocal8Bit();
        if (buffer.LoadFile(path.constData(), LineEndingStyle::Detect)) {
            view->setPlainText(BufferText(buffer));
            window.setWindowTitle(QStringLiteral("%1 - Kivra").arg(arguments.at(1)));
            window.statusBar()->showMessage(
                QStringLiteral("%1 lines, %2")
                    .arg(buffer.LineTotal())
                    .arg(QLatin1String(LineEndingIndicator(buffer.CurrentLineEnding()))));
            buffer.Clear();
        } else {
            QMessageBox::warning(&window, QStringLiteral("Kivra"),
                                 QStringLiteral("Cannot open %1").arg(arguments.at(1)));
        }
    }
    window.resize(900, 600);
    window.show();
    return QApplication::exec();
}
