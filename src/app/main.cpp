// Kivra: an editor of SPICE netlists that runs a circuit simulator on them.

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>
#include <optional>

#include "CommandLine.h"
#include "ExportPlotCommand.h"
#include "KivraApplication.h"
#include "NetlistCheckCommand.h"
#include "ProgramDirectory.h"
#include "QtTranslations.h"
#include "SampleApp.h"

namespace {

// "kivra --version" prints the version and the folder the program takes its files from.
// Installers and packaging tests read it.
void PrintVersion() {
    std::printf("Kivra %s\nProgram directory: %s\n", KIVRA_VERSION,
                ProgramDirectory().toLocal8Bit().constData());
}

void PrintUsage(std::FILE* stream) {
    std::fputs(CommandLineUsage().toLocal8Bit().constData(), stream);
}

// Help, the version and a wrong option end the program at once: their exit code, or nothing when
// the window is to start.
std::optional<int> Answer(const CommandLine& line) {
    switch (line.action) {
        case CommandLine::Action::Help:
            PrintUsage(stdout);
            return 0;
        case CommandLine::Action::Version:
            PrintVersion();
            return 0;
        case CommandLine::Action::Error:
            std::fprintf(stderr, "kivra: %s\n\n", line.error.toLocal8Bit().constData());
            PrintUsage(stderr);
            return 2;
        case CommandLine::Action::Run:
        case CommandLine::Action::ExportPlot:
        case CommandLine::Action::Check:
            break;
    }
    return std::nullopt;
}

QStringList ArgumentsAfterName(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Whether Qt can reach a window system: only then can it start and take its own options.
bool WindowSystemNamed(const QStringList& arguments) {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    }
    return arguments.contains(QStringLiteral("-platform")) ||
           arguments.contains(QStringLiteral("--platform"));
}

// Draws the picture without a window or a display: Qt's offscreen platform needs neither.
int ExportPlot(int argc, char* argv[], const CommandLine& line) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The reason for a failure is the one line on the error stream: Qt's notes stay out of it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "kivra: %s\n", message.toLocal8Bit().constData());
    });
    QApplication application(argc, argv);
    SExportPlotRequest request;
    request.rawFile = line.rawFile;
    request.output = line.picture;
    request.plot = line.plot;
    request.vectors = line.vectors;
    request.size = QSize(line.width, line.height);
    QString error;
    const int exitCode = RunExportPlot(request, error);
    if (exitCode != 0)
        std::fprintf(stderr, "kivra: %s\n", error.toLocal8Bit().constData());
    return exitCode;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help and the version need no display, so they are looked for before the window system is
    // reached. An unknown option may yet be one of Qt's, but not where Qt could not start.
    QStringList raw = ArgumentsAfterName(argc, argv);
    CommandLine early = ParseCommandLine(raw);
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version ||
        (early.action == CommandLine::Action::Error && !WindowSystemNamed(raw))) {
        QCoreApplication application(argc, argv);
        return *Answer(early);
    }
    if (early.action == CommandLine::Action::ExportPlot)
        return ExportPlot(argc, argv, early);
    if (early.action == CommandLine::Action::Check) {
        std::vector<std::string> files;
        for (const QString& file : early.files)
            files.push_back(file.toLocal8Bit().toStdString());
        return RunNetlistCheck(files, std::cout, std::cerr);
    }
    CKivraApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivra"));
    if (!InstallQtTranslations(application))
        qWarning("Qt's Russian texts are not installed: its own buttons and dialogs stay English");
    // Qt has taken its own options (-style, -platform, ...) out of the arguments by now: only
    // what is left is the program's.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    CommandLine line = ParseCommandLine(arguments);
    if (std::optional<int> exitCode = Answer(line))
        return *exitCode;
    CSampleApp kivra(line.files);
    if (!kivra.InitInstance())
        return 1;
    return QApplication::exec();
}
