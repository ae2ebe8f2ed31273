#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// "kivra --export-plot FILE.raw OUT.png [--plot N] [--vectors v(out),v(in)] [--size WxH]": the
// first view of a plot of a raw file (the plot's family overlaid, as the window shows it) drawn
// into a picture, without a window.
struct SExportPlotRequest {
    QString rawFile;
    QString output;
    int plot = 1;         // from 1, in the order of the file
    QStringList vectors;  // empty: those the window would show first
    QSize size{1200, 800};
};

// 0 when the picture is written; otherwise 1, with the reason in one line.
int RunExportPlot(const SExportPlotRequest& request, QString& error);
