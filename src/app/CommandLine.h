#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the program.
struct CommandLine {
    enum class Action {
        Run,      // start the window with the files
        Help,     // print the usage and exit
        Version,  // print the version and exit
        Error,    // print what is wrong and the usage on the error stream, exit with 2
        ExportPlot,  // draw a plot of a raw file into a picture and exit, without a window
        Check,       // check the netlists in files, print what is found and exit, without a window
    };
    Action action = Action::Run;
    // The files to open, in their order on the line; the last one ends up active.
    QStringList files;
    // For an error, what is wrong with the line.
    QString error;

    // For --export-plot: the raw file, the picture, the plot (from 1), the vectors and the size.
    QString rawFile;
    QString picture;
    int plot = 1;
    QStringList vectors;
    int width = 1200;
    int height = 800;
};

// Reads the arguments after the program's name. Options may stand among the files; the first of
// --help, --version or an unknown option (anything else beginning with "-") decides at once.
// After "--" every argument is a file, whatever it begins with.
CommandLine ParseCommandLine(const QStringList& arguments);

// What "kivra --help" prints.
QString CommandLineUsage();
