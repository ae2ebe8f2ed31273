// Kivra: an editor of SPICE netlists that runs a circuit simulator on them.

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "KivraApplication.h"
#include "ProgramDirectory.h"
#include "SampleApp.h"

namespace {

// "kivra --version" prints the version and the folder the program takes its files from, and
// needs no display: installers and packaging tests call it.
int PrintVersion(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::printf("Kivra %s\nProgram directory: %s\n", KIVRA_VERSION,
                ProgramDirectory().toLocal8Bit().constData());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
        return PrintVersion(argc, argv);
    CKivraApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivra"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    CSampleApp kivra(arguments);
    if (!kivra.InitInstance())
        return 1;
    return QApplication::exec();
}
