#pragma once

#include <QSize>
#include <QString>

class CWaveformChart;

// Writes the chart as a picture of the given size, PNG, SVG or PDF by the file's ending; false
// with the reason when it cannot.
bool ExportChartPicture(CWaveformChart& chart, const QString& path, QSize size, QString& error);
// Writes the samples within the view as CSV.
bool ExportVisibleSamples(const CWaveformChart& chart, const QString& path, QString& error);
