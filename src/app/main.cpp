// Kivra: an editor of SPICE netlists that runs a circuit simulator on them.

#include <QApplication>

#include "SampleApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivra"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    CSampleApp kivra(arguments);
    if (!kivra.InitInstance())
        return 1;
    return QApplication::exec();
}
