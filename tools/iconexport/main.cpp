// Writes the application icon as PNG files for the desktop's icon theme:
// kivra-iconexport FOLDER writes FOLDER/<size>x<size>/apps/kivra.png for every size drawn.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "ShellIcons.h"

int main(int argc, char* argv[]) {
    // No display is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: kivra-iconexport FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : ApplicationIconSizes()) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) ||
            !ApplicationPixmap(size).save(folder + QStringLiteral("/kivra.png"), "PNG")) {
            std::fprintf(stderr, "kivra-iconexport: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
